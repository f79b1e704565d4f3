// Arbitrary messages into the frame queries and the device manager's dispatch.
// Input: a sequence of [length byte][that many bytes] messages; the first byte of
// the input picks the source port's name.

#include "device/DeviceFrames.h"
#include "device/LumManager49.h"
#include "device/LumMidiMessage49.h"
#include "fuzz/FuzzSupport.h"
#include "simulator/VirtualMidiPortSystem.h"

namespace
{
    /** Notes whether an input changed the model: only lists and curves are stored. */
    struct ChangeListener : LumManagerListener
    {
        void managerEvent (int event, int, int, int) override
        {
            if (event == ManagerEvent::NumbersArrived || event == ManagerEvent::ParameterListArrived
                || event == ManagerEvent::CurveAnswer)
                modelChanged = true;
        }

        bool modelChanged = true;
    };

    volatile unsigned observed = 0;   // keeps the queries from being optimised away (wraps, never overflows)

    /** Every query; the two texts only when asked, as they cost most and vary least. */
    void queryEverything (const juce::MidiMessage& message, bool withTexts)
    {
        const LumMidiMessage49 frame (message);
        int sink = 0;
        sink += frame.isItemConfigRequest() + frame.isItemConfigResponse() + frame.getItemConfigItem();
        const auto pairs = frame.getItemConfigPairs();
        sink += (int) pairs.size() + frame.isItemValueRequest() + frame.isItemValueResponse();
        sink += frame.getItemValueItem() + frame.getItemValue() + frame.isMidiChannelRequest();
        sink += frame.isMidiChannelResponse() + frame.getMidiChannel() + frame.isKnobModeRequest();
        sink += frame.isKnobModeResponse() + frame.isKnobRelative() + frame.isOctaveShiftRequest();
        sink += frame.isOctaveShiftResponse() + frame.getOctaveShift() + frame.isLedStateRequest();
        sink += frame.isLedStateResponse() + frame.getLedStateItem() + frame.getLedState() + frame.isOwnSysEx();
        if (withTexts)
            sink += frame.toHexString().length() + frame.describe().length();
        sink += isIdentityReply (message) + isItemParamResponse (message) + isGlobalResponse (message);
        sink += isCurveResponse (message) + frameByte9 (message) + frameByte10 (message);
        observed = observed + (unsigned) sink;

        for (auto value : pairs)
            FUZZ_CHECK (value >= 0 && value <= 255);
    }
}

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    initialiseJuceOnce();
    return 0;
}

namespace
{
    /** One manager linked to a keyboard input for the whole run; each input starts
        from the same model. */
    struct Link
    {
        Link()
        {
            manager.addListener (&listener);
            manager.connectDirectly ("Keyboard", "Keyboard");
        }

        VirtualMidiPortSystem ports;
        std::shared_ptr<VirtualMidiPortSystem::Source> input = ports.addSource ("Keyboard");
        std::shared_ptr<VirtualMidiPortSystem::Sink> output = ports.addSink ("Keyboard", {});
        LumManager49 manager { ports };
        ChangeListener listener;
        const SettingsModel defaults = SettingsModel::catalogueDefaults();
    };

    Link& link()
    {
        static auto* shared = new Link();   // lives for the whole run
        return *shared;
    }

    /** Whatever arrived, a send of what the dispatch stored carries only data bytes:
        checked for the values the input changed (the others are the defaults). */
    void checkWhatWouldBeSent (const SettingsModel& model, const SettingsModel& defaults)
    {
        for (int p = ItemParam::firstStored; p <= ItemParam::lastStored; ++p)
            for (const auto& [item, value] : model.itemParams[(size_t) p])
            {
                const auto unchanged = defaults.itemParams[(size_t) p].find (item);

                if (unchanged != defaults.itemParams[(size_t) p].end() && unchanged->second == value)
                    continue;

                if (const auto frame = buildSetItemParam (p, item, value))
                    FUZZ_CHECK (hasOnlyDataBytes (*frame));
            }

        for (int curve = 0; curve < curveCount; ++curve)
            if (const auto frame = buildSetCurve (curve, model.curves[(size_t) curve]))
                FUZZ_CHECK (hasOnlyDataBytes (*frame));
    }
}

extern "C" int LLVMFuzzerTestOneInput (const juce::uint8* data, size_t size)
{
    if (size == 0)
        return 0;

    auto& manager = link().manager;
    auto& changes = link().listener;

    // Each input starts from the same model; only one that changed it costs a reset.
    if (changes.modelChanged)
    {
        manager.setModel (link().defaults);
        manager.rebuildNumberToItem();
        changes.modelChanged = false;
    }

    const juce::String source = (data[0] & 1) != 0 ? "Keyboard" : "Elsewhere";

    size_t position = 1;
    bool firstMessage = true;

    while (position < size)
    {
        const size_t announced = data[position];
        ++position;
        const auto length = std::min (announced, size - position);

        if (length == 0)
            continue;

        const juce::MidiMessage message (data + position, (int) length, 0.0);
        position += length;

        queryEverything (message, std::exchange (firstMessage, false));   // the texts of the first message
        manager.handleIncomingPortMessage (source, message);
    }

    if (changes.modelChanged)
        checkWhatWouldBeSent (manager.getModel(), link().defaults);

    return 0;
}
