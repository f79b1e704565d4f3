#pragma once

#include "device/KeyboardReader.h"
#include "device/ModelComparison.h"

#include <optional>

/** The keyboard's configuration read before a firmware update and kept for the rest of
    the run (an update may reset it to the factory's), and how the keyboard differs from
    it once it is back. Used by the editor's "Upgrade firmware..." and by `konsolion-cli
    flash` alike. */
class ConfigurationKeeper
{
public:
    /** How the keyboard read after the update differs from what was kept. */
    struct Changes
    {
        int controls = 0;
        int globals = 0;
        std::vector<ModelDifference> values;

        bool any() const noexcept   { return ! values.empty(); }

        /** "84 controls and 4 globals". */
        juce::String describe() const;
    };

    /** Reads the linked keyboard and keeps what it holds; false (nothing kept) when the
        read did not complete. */
    bool keepFrom (KeyboardReader& reader, const std::function<bool()>& shouldStop = {});

    void keep (const SettingsModel& model)          { kept = model; }
    void forget()                                   { kept.reset(); }
    bool hasKept() const noexcept                   { return kept.has_value(); }
    const SettingsModel& getKept() const            { return *kept; }

    /** The keyboard now against what was kept, on what a read covers. */
    Changes compareWith (const SettingsModel& keyboardNow) const;

    /** Where a copy of the kept configuration goes by default: beside `folder`, named
        after the keyboard and the time ("Vantor 49 before the update 2026-12-10 16-30.vr49"). */
    static juce::File defaultCopyIn (const juce::File& folder, juce::Time when);

private:
    std::optional<SettingsModel> kept;
};
