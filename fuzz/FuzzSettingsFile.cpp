// Arbitrary bytes as a settings file. Loading must never fail badly; whatever it
// loads must stay off the wire when it cannot be carried, and must come back the
// same through a save and a load.

#include "device/LumManager49.h"
#include "documents/SettingsFile.h"
#include "fuzz/FuzzSupport.h"
#include "simulator/VirtualMidiPortSystem.h"

namespace
{
    juce::File scratchFile (const char* name)
    {
        static const juce::File folder = []
        {
            auto f = juce::File::getSpecialLocation (juce::File::tempDirectory)
                         .getChildFile ("konsolion-fuzz-" + juce::String (juce::Time::currentTimeMillis()));
            f.createDirectory();
            return f;
        }();
        return folder.getChildFile (name);
    }

    bool sameModel (const LumManager49& a, const LumManager49& b)
    {
        return a.itemParams == b.itemParams && a.globals == b.globals && a.curves == b.curves;
    }
}

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    initialiseJuceOnce();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const juce::uint8* data, size_t size)
{
    static VirtualMidiPortSystem ports;

    const auto input = scratchFile ("input.vr49");
    input.replaceWithData (data, size);

    LumManager49 loaded (ports);
    const auto before = loaded.planSendAll().frames;

    if (! loadSettingsFile (loaded, input))
    {
        // A refused file leaves the model as it was.
        const auto after = loaded.planSendAll().frames;
        FUZZ_CHECK (after.size() == before.size());
        return 0;
    }

    for (const auto& frame : loaded.planSendAll().frames)
        FUZZ_CHECK (hasOnlyDataBytes (frame));

    const auto saved = scratchFile ("saved.vr49");
    FUZZ_CHECK (saveSettingsFile (loaded, saved));

    LumManager49 reloaded (ports);
    FUZZ_CHECK (loadSettingsFile (reloaded, saved));
    FUZZ_CHECK (sameModel (loaded, reloaded));
    return 0;
}
