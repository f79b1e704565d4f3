#pragma once

#include "firmware/IFWUpdater.h"

#include <functional>

/** What every updater shares: its helper, its file and its trace output. */
class FWUpdaterBase : public IFWUpdater
{
public:
    using TraceSink = std::function<void (const juce::String&)>;

    FWUpdaterBase();

    void setHelper (IFWHelper* newHelper) override;
    void finish() override;
    bool setFirmwareFile (const juce::String& path) override;

    /** Trace lines go to the platform's debug output unless redirected here. */
    void setTraceSink (TraceSink sink);

protected:
    void trace (const juce::String& line) const;
    void send (const juce::MidiMessage& message) const;
    void report (double fraction) const;

    IFWHelper* helper = nullptr;
    juce::String firmwarePath;

private:
    TraceSink traceSink;
};
