// Arbitrary bytes as a settings file. Loading must never fail badly; whatever it
// loads must stay off the wire when it cannot be carried, and must come back the
// same through a save and a load. Parsed from memory, as the loader does once it has
// read the file (reading, the size cap and the writer have tests of their own).

#include "device/DeviceFrames.h"
#include "documents/SettingsFile.h"
#include "fuzz/FuzzSupport.h"

namespace
{
    const SettingsModel& defaults()
    {
        static const auto model = SettingsModel::catalogueDefaults();
        return model;
    }

    /** What a send would make of every item value the file changed: a frame of data
        bytes, or nothing at all when item or value do not fit one. */
    void checkWhatWouldBeSent (const SettingsModel& model)
    {
        for (int p = ItemParam::firstStored; p <= ItemParam::lastStored; ++p)
            for (const auto& [item, value] : model.itemParams[(size_t) p])
            {
                const auto& before = defaults().itemParams[(size_t) p];
                const auto unchanged = before.find (item);

                if (unchanged != before.end() && unchanged->second == value)
                    continue;

                const auto frame = buildSetItemParam (p, item, value);
                FUZZ_CHECK (frame.has_value() == (isDataByte (item) && isDataByte (value)));

                if (frame.has_value())
                    FUZZ_CHECK (hasOnlyDataBytes (*frame));
            }
    }

    /** One document: loaded over the defaults, then saved and loaded again. */
    void checkDocument (const juce::uint8* data, size_t size)
    {
        // Assigned, not built anew: the maps keep their nodes from one input to the next.
        static SettingsModel loaded, reloaded;
        loaded = defaults();

        const auto text = settingsTextFromBytes (data, size);

        if (loadSettingsText (text, loaded).failed())
        {
            FUZZ_CHECK (loaded == defaults());   // a refused document leaves the model as it was
            return;
        }

        // A document that changed nothing round-trips as the defaults do (checked once, at the start).
        if (loaded == defaults())
            return;

        checkWhatWouldBeSent (loaded);

        reloaded = defaults();
        FUZZ_CHECK (loadSettingsText (settingsDocumentText (loaded), reloaded).wasOk());
        FUZZ_CHECK (reloaded == loaded);
    }
}

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    initialiseJuceOnce();

    auto reloaded = defaults();
    FUZZ_CHECK (loadSettingsText (settingsDocumentText (defaults()), reloaded).wasOk());
    FUZZ_CHECK (reloaded == defaults());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const juce::uint8* data, size_t size)
{
    checkDocument (data, size);

    // JUCE interns every attribute name it parses in one sorted pool and sweeps it only
    // every 30 s: fuzzed names would grow it without end, and every name left in it would
    // look to libFuzzer like memory this input leaked (each such input is then run again
    // to look for leaks). Swept now, after each input, the names it made go with it.
    juce::StringPool::getGlobalPool().garbageCollect();
    return 0;
}
