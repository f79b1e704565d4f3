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
    struct IgnoringListener : LumManagerListener
    {
        void managerEvent (int, int, int, int) override {}
    };

    volatile int observed = 0;   // keeps the queries from being optimised away

    void queryEverything (const juce::MidiMessage& message)
    {
        const LumMidiMessage49 frame (message);
        int sink = 0;
        sink += frame.isItemConfigRequest() + frame.isItemConfigResponse() + frame.getItemConfigItem();
        sink += (int) frame.getItemConfigPairs().size() + frame.isItemValueRequest() + frame.isItemValueResponse();
        sink += frame.getItemValueItem() + frame.getItemValue() + frame.isMidiChannelRequest();
        sink += frame.isMidiChannelResponse() + frame.getMidiChannel() + frame.isKnobModeRequest();
        sink += frame.isKnobModeResponse() + frame.isKnobRelative() + frame.isOctaveShiftRequest();
        sink += frame.isOctaveShiftResponse() + frame.getOctaveShift() + frame.isLedStateRequest();
        sink += frame.isLedStateResponse() + frame.getLedStateItem() + frame.getLedState() + frame.isOwnSysEx();
        sink += frame.toHexString().length() + frame.describe().length();
        sink += isIdentityReply (message) + isItemParamResponse (message) + isGlobalResponse (message);
        sink += isCurveResponse (message) + frameByte9 (message) + frameByte10 (message);
        observed = observed + sink;

        for (auto value : frame.getItemConfigPairs())
            FUZZ_CHECK (value >= 0 && value <= 255);
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
    static IgnoringListener listener;

    if (size == 0)
        return 0;

    LumManager49 manager (ports);
    manager.addListener (&listener);
    const juce::String source = (data[0] & 1) != 0 ? "Keyboard" : "Elsewhere";
    manager.handleIncomingPortMessage ("Keyboard", keyboardIdentityReply());

    size_t position = 1;

    while (position < size)
    {
        const size_t announced = data[position];
        ++position;
        const auto length = std::min (announced, size - position);

        if (length == 0)
            continue;

        const juce::MidiMessage message (data + position, (int) length, 0.0);
        position += length;

        queryEverything (message);
        manager.handleIncomingPortMessage (source, message);
    }

    // Whatever arrived, nothing the editor would send may carry a byte of 0x80 or more.
    for (const auto& frame : manager.planSendAll().frames)
        FUZZ_CHECK (hasOnlyDataBytes (frame));

    return 0;
}
