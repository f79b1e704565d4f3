#include "device/DeviceFrames.h"
#include "device/LumMidiMessage49.h"
#include "tests/support/TestSupport.h"

using Bytes = std::vector<int>;

namespace
{
    const Bytes header { 0xF0, 0x00, 0x6D, 0x3A, 0x7F, 0x42 };

    Bytes withHeader (Bytes tail)
    {
        auto bytes = header;
        bytes.insert (bytes.end(), tail.begin(), tail.end());
        return bytes;
    }

    juce::MidiMessage frame (const Bytes& bytes)
    {
        std::vector<juce::uint8> raw (bytes.begin(), bytes.end());
        return juce::MidiMessage (raw.data(), (int) raw.size(), 0.0);
    }
}

TEST (DeviceFrames, BuildersProduceTheExactBytes)
{
    EXPECT_EQ (bytesOf (*buildRequestItemNumbers (0)), withHeader ({ 0x01, 0x00, 0x03, 0x00, 0xF7 }));
    EXPECT_EQ (bytesOf (*buildRequestItemParam (2)), withHeader ({ 0x01, 0x00, 0x02, 0x00, 0xF7 }));
    EXPECT_EQ (bytesOf (buildRequestMidiChannel()), withHeader ({ 0x01, 0x00, 0x40, 0x06, 0xF7 }));
    EXPECT_EQ (bytesOf (buildRequestKnobMode()), withHeader ({ 0x01, 0x00, 0x40, 0x02, 0xF7 }));
    EXPECT_EQ (bytesOf (buildRequestOctaveShift()), withHeader ({ 0x01, 0x00, 0x40, 0x03, 0xF7 }));
    EXPECT_EQ (bytesOf (*buildRequestGlobal (8)), withHeader ({ 0x01, 0x00, 0x40, 0x08, 0xF7 }));
    EXPECT_EQ (bytesOf (*buildSetItemParam (3, 0x70, 36)), withHeader ({ 0x02, 0x00, 0x03, 0x70, 0x24, 0xF7 }));
    EXPECT_EQ (bytesOf (*buildSetItemValue (99, 0)), withHeader ({ 0x02, 0x00, 0x00, 0x63, 0x00, 0xF7 }));
    EXPECT_EQ (bytesOf (*buildSetMidiChannel (15)), withHeader ({ 0x02, 0x00, 0x40, 0x06, 0x0F, 0xF7 }));
    EXPECT_EQ (bytesOf (*buildSetCurve (4, 100)), withHeader ({ 0x02, 0x00, 0x41, 0x04, 0x64, 0xF7 }));
    EXPECT_EQ (bytesOf (buildEndOfTransfer()), withHeader ({ 0x06, 0x00, 0xF7 }));
    EXPECT_EQ (bytesOf (buildIdentityRequest()), (Bytes { 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7 }));
    EXPECT_EQ (buildEndOfTransfer().getTimeStamp(), 0.0);
}

TEST (DeviceFrames, ValuesADataByteCannotCarryAreNeverBuilt)
{
    EXPECT_FALSE (buildSetItemParam (3, 99, -1).has_value());   // the hidden items' number
    EXPECT_FALSE (buildSetItemParam (3, 1, 128).has_value());
    EXPECT_FALSE (buildSetItemParam (1, 200, 1).has_value());
    EXPECT_FALSE (buildSetItemParam (-1, 1, 1).has_value());
    EXPECT_FALSE (buildSetMidiChannel (-3).has_value());
    EXPECT_FALSE (buildSetCurve (4, 300).has_value());
    EXPECT_FALSE (buildSetItemValue (128, 0).has_value());
    EXPECT_FALSE (buildRequestGlobal (0x80).has_value());
    EXPECT_TRUE (buildSetItemParam (6, 127, 127).has_value());
    EXPECT_TRUE (buildSetItemParam (1, 0, 0).has_value());
}

TEST (DeviceFrames, PairListsOfElevenTwelveAndThirteenBytes)
{
    const LumMidiMessage49 none (frame (withHeader ({ 0x02, 0x00, 0x03, 0x05, 0xF7 })));
    const LumMidiMessage49 one (frame (withHeader ({ 0x02, 0x00, 0x03, 0x05, 0x14, 0xF7 })));
    const LumMidiMessage49 oneAndSpare (frame (withHeader ({ 0x02, 0x00, 0x03, 0x05, 0x14, 0x09, 0xF7 })));
    const LumMidiMessage49 two (frame (withHeader ({ 0x02, 0x00, 0x03, 0x05, 0x14, 0x01, 0x7F, 0xF7 })));

    EXPECT_TRUE (none.isItemConfigResponse());
    EXPECT_TRUE (none.getItemConfigPairs().empty());
    EXPECT_EQ (one.getItemConfigPairs(), (std::vector<int> { 5, 20 }));
    EXPECT_EQ (oneAndSpare.getItemConfigPairs(), (std::vector<int> { 5, 20 }));
    EXPECT_EQ (two.getItemConfigPairs(), (std::vector<int> { 5, 20, 1, 127 }));
}

TEST (DeviceFrames, QueriesOnShortFramesAnswerFalseAndZero)
{
    const LumMidiMessage49 tenBytes (frame (withHeader ({ 0x02, 0x00, 0x40, 0xF7 })));
    EXPECT_FALSE (tenBytes.isItemConfigResponse());
    EXPECT_FALSE (tenBytes.isItemValueResponse());
    EXPECT_EQ (tenBytes.getItemConfigItem(), 0);
    EXPECT_TRUE (tenBytes.getItemConfigPairs().empty());

    // Eleven bytes: queries that test b work, getters of v answer 0.
    const LumMidiMessage49 noValue (frame (withHeader ({ 0x02, 0x00, 0x40, 0x06, 0xF7 })));
    EXPECT_TRUE (noValue.isMidiChannelResponse());
    EXPECT_EQ (noValue.getMidiChannel(), 0);
    EXPECT_FALSE (noValue.isKnobRelative());
    EXPECT_EQ (frameByte9 (noValue), 6);
    EXPECT_EQ (frameByte10 (noValue), 0);

    const LumMidiMessage49 notSysEx (juce::MidiMessage::controllerEvent (1, 74, 3));
    EXPECT_FALSE (notSysEx.isItemConfigResponse());
    EXPECT_EQ (notSysEx.getItemValue(), 0);
    EXPECT_FALSE (notSysEx.isOwnSysEx());
}

TEST (DeviceFrames, GlobalQueriesReadIndexAndValue)
{
    const LumMidiMessage49 knob (frame (withHeader ({ 0x02, 0x00, 0x40, 0x02, 0x7F, 0xF7 })));
    EXPECT_TRUE (knob.isKnobModeResponse());
    EXPECT_TRUE (knob.isKnobRelative());
    EXPECT_FALSE (knob.isKnobModeRequest());
    EXPECT_FALSE (knob.isMidiChannelResponse());

    const LumMidiMessage49 octave (frame (withHeader ({ 0x02, 0x00, 0x40, 0x03, 0x7E, 0xF7 })));
    EXPECT_TRUE (octave.isOctaveShiftResponse());
    EXPECT_EQ (octave.getOctaveShift(), 126);
    EXPECT_EQ (decodeSevenBitSigned (octave.getOctaveShift()), -2);
    EXPECT_EQ (decodeSevenBitSigned (0x7F), -1);
    EXPECT_EQ (decodeSevenBitSigned (0x40), -64);
    EXPECT_EQ (decodeSevenBitSigned (0x3F), 63);

    const LumMidiMessage49 led (frame (withHeader ({ 0x02, 0x00, 0x00, 0x63, 0x01, 0xF7 })));
    EXPECT_TRUE (led.isLedStateResponse());
    EXPECT_TRUE (led.isItemValueResponse());
    EXPECT_EQ (led.getLedStateItem(), 0x63);
    EXPECT_EQ (led.getLedState(), 1);

    EXPECT_TRUE (LumMidiMessage49 (*buildRequestItemNumbers (0)).isItemConfigRequest());
    EXPECT_TRUE (LumMidiMessage49 (buildRequestOctaveShift()).isOctaveShiftRequest());
    EXPECT_TRUE (isGlobalResponse (frame (withHeader ({ 0x02, 0x00, 0x40, 0x08, 0x3C, 0xF7 }))));
    EXPECT_TRUE (isCurveResponse (frame (withHeader ({ 0x02, 0x00, 0x41, 0x04, 0x3C, 0xF7 }))));
    EXPECT_TRUE (isItemParamResponse (frame (withHeader ({ 0x02, 0x00, 0x06, 0x01, 0xF7 }))));
    EXPECT_FALSE (isItemParamResponse (frame (withHeader ({ 0x02, 0x00, 0x06, 0xF7 }))));   // ten bytes
    EXPECT_FALSE (isItemParamResponse (frame (withHeader ({ 0x02, 0x00, 0x07, 0x01, 0xF7 }))));
    EXPECT_FALSE (isItemParamResponse (frame (withHeader ({ 0x01, 0x00, 0x02, 0x01, 0xF7 }))));
}

TEST (DeviceFrames, OwnSysExNeedsTheMakerAndEitherTheFamilyOrTheModelByte)
{
    EXPECT_TRUE (isOwnSysEx (frame ({ 0xF0, 0x00, 0x6D, 0x3A, 0x02, 0x11, 0x22, 0xF7 })));
    EXPECT_TRUE (isOwnSysEx (frame ({ 0xF0, 0x00, 0x6D, 0x3A, 0x10, 0x42, 0x02, 0xF7 })));
    EXPECT_FALSE (isOwnSysEx (frame ({ 0xF0, 0x00, 0x6D, 0x3A, 0x7F, 0x41, 0x02, 0x00, 0xF7 })));
    EXPECT_FALSE (isOwnSysEx (frame ({ 0xF0, 0x00, 0x20, 0x6B, 0x7F, 0x42, 0x02, 0x00, 0xF7 })));
    EXPECT_FALSE (isOwnSysEx (frame ({ 0xF0, 0x00, 0x6D, 0x3A, 0x02, 0xF7 })));   // too short
}

TEST (DeviceFrames, IdentityRepliesAreAcceptedByMakerFamilyAndMember)
{
    const auto reply = [] (int m1, int m2, int size)
    {
        Bytes bytes { 0xF0, 0x7E, 0x05, 0x06, 0x02, 0x00, 0x6D, 0x3A, 0x02, 0x00, m1, m2, 0, 1, 0, 5 };
        bytes.resize ((size_t) size - 1);
        bytes.push_back (0xF7);
        return frame (bytes);
    };

    for (int member = 1; member <= 4; ++member)
        EXPECT_TRUE (isIdentityReply (reply (member, 0, 17))) << member;

    EXPECT_TRUE (isIdentityReply (reply (5, 0, 17)));
    EXPECT_TRUE (isIdentityReply (reply (5, 2, 17)));
    EXPECT_TRUE (isIdentityReply (reply (5, 4, 17)));
    EXPECT_FALSE (isIdentityReply (reply (5, 1, 17)));
    EXPECT_FALSE (isIdentityReply (reply (1, 1, 17)));
    EXPECT_FALSE (isIdentityReply (reply (6, 0, 17)));

    EXPECT_TRUE (isIdentityReply (reply (1, 0, 14)));
    EXPECT_FALSE (isIdentityReply (reply (1, 0, 13)));
    EXPECT_FALSE (identityRevision (reply (1, 0, 16)).has_value());
    EXPECT_EQ (*identityRevision (reply (1, 0, 17)), (std::array<juce::uint8, 4> { 0, 1, 0, 5 }));

    auto foreign = bytesOf (reply (1, 0, 17));
    foreign[6] = 0x20;
    EXPECT_FALSE (isIdentityReply (frame (foreign)));
    auto otherFamily = bytesOf (reply (1, 0, 17));
    otherFamily[8] = 0x03;
    EXPECT_FALSE (isIdentityReply (frame (otherFamily)));
}

TEST (DeviceFrames, EncodersSendSignAndMagnitude)
{
    EXPECT_EQ (decodeSignMagnitude (0x01), 1);
    EXPECT_EQ (decodeSignMagnitude (0x41), -1);
    EXPECT_EQ (decodeSignMagnitude (0x42), -2);
    EXPECT_EQ (decodeSignMagnitude (0x40), 0);
    EXPECT_EQ (decodeSignMagnitude (0x3F), 63);
}

TEST (DeviceFrames, HexTextAndDescription)
{
    const LumMidiMessage49 end (buildEndOfTransfer());
    EXPECT_EQ (end.toHexString(), "F0 00 6D 3A 7F 42 06 00 F7 \n");
    EXPECT_TRUE (end.describe().contains ("keyboard"));
    EXPECT_TRUE (LumMidiMessage49 (keyboardIdentityReply()).describe().startsWith ("identity reply"));
}
