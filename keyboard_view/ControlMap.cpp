#include "keyboard_view/ControlMap.h"

namespace
{
    using R = juce::Rectangle<int>;
    constexpr auto B = PickerKind::button;
    constexpr auto K = PickerKind::knob;
}

const std::vector<ControlMapRow>& controlMap()
{
    static const std::vector<ControlMapRow> rows {
        { B, "Modulation Wheel Setting", "0x40", R (97, 324, 20, 68) },
        { K, "Level Setting", "0x30", R (83, 67, 26, 24) },
        { K, "Cutoff Knob Setting", "0x01-0x21", R (344, 67, 24, 24) },
        { K, "Reso Knob Setting", "0x02-0x22", R (392, 67, 24, 24) },
        { K, "LFO Rate Knob Setting", "0x03-0x23", R (439, 67, 24, 24) },
        { K, "LFO Amount Knob Setting", "0x04-0x24", R (486, 67, 24, 24) },
        { K, "Key Parameter #1 Knob Setting", "0x05-0x25", R (344, 114, 24, 24) },
        { K, "Key Parameter #2 Knob Setting", "0x06-0x26", R (392, 114, 24, 24) },
        { K, "Key Parameter #3 Knob Setting", "0x07-0x27", R (439, 114, 24, 24) },
        { K, "Key Parameter #4 Knob Setting", "0x08-0x28", R (486, 114, 24, 24) },
        { K, "Chorus Mix Knob Setting", "0x09-0x29", R (533, 67, 24, 24) },
        { K, "Delay Mix Knob Setting", "0x0A-0x2A", R (534, 114, 24, 24) },
        { B, "Attack Envelope Slider Setting", "0x0B-0x2B", R (596, 63, 28, 81) },
        { B, "Delay Envelope Slider Setting", "0x0C-0x2C", R (637, 64, 28, 80) },
        { B, "Sustain Envelope Slider Setting", "0x0D-0x2D", R (677, 64, 28, 80) },
        { B, "Release Envelope Slider Setting", "0x0E-0x2E", R (719, 64, 28, 80) },
        { B, "Snapshot #1 Button Setting", "0x12", R (300, 179, 21, 13) },
        { B, "Snapshot #2 Button Setting", "0x13", R (333, 180, 21, 13) },
        { B, "Snapshot #3 Button Setting", "0x14", R (365, 180, 21, 13) },
        { B, "Snapshot #4 Button Setting", "0x15", R (398, 179, 21, 13) },
        { B, "Snapshot #5 Button Setting", "0x16", R (431, 179, 21, 13) },
        { B, "Snapshot #6 Button Setting", "0x17", R (463, 180, 21, 13) },
        { B, "Snapshot #7 Button Setting", "0x18", R (495, 180, 21, 13) },
        { B, "Snapshot #8 Button Setting", "0x19", R (528, 179, 21, 13) },
        { K, "Expression Pedal Setting", "0x51", R (340, 365, 19, 18) },
        { K, "Sustain Pedal Setting", "0x50", R (387, 364, 19, 18) },
        { B, "Attack Envelope #2 Slider Setting", "0x4B-0x6B", R (759, 64, 28, 80) },
        { B, "Delay Envelope #2 Slider Setting", "0x4C-0x6C", R (800, 64, 28, 80) },
        { B, "Sustain Envelope #2 Slider Setting", "0x4D-0x6D", R (840, 64, 28, 80) },
        { B, "Release Envelope #2 Slider Setting", "0x4E-0x6E", R (881, 64, 28, 80) },
        { B, "Tempo Slider", "0x4F-0x6F", R (922, 64, 28, 80) },
        { K, "Aux Pedal Setting", "0x53", R (435, 364, 19, 18) },
        { K, "Breath Control Setting", "0x52", R (470, 376, 11, 10) },
        { B, "Pad #1 Setting", "0x70", R (702, 415, 36, 29) },
        { B, "Pad #2 Setting", "0x71", R (755, 415, 36, 29) },
        { B, "Pad #3 Setting", "0x72", R (809, 415, 36, 29) },
        { B, "Pad #4 Setting", "0x73", R (863, 415, 36, 29) },
        { B, "Snapshot #9 Button Setting", "0x1A", R (561, 180, 21, 13) },
        { B, "Snapshot #10 Button Setting", "0x1B", R (593, 179, 21, 13) },
        { B, "Play/|| Button Setting", "0x58", R (862, 178, 19, 14) },
        { B, "Stop Button Setting", "0x59", R (830, 178, 19, 14) },
        { B, "Record Button Setting", "0x5A", R (894, 178, 19, 14) },
        { B, "Rewind Button Setting", "0x5B", R (764, 178, 19, 14) },
        { B, "Forward Button Setting", "0x5C", R (798, 178, 19, 14) },
        { B, "Loop Button Setting", "0x5D", R (927, 178, 19, 14) },
        { B, "Bank 1 Button Setting", "0x1D", R (303, 72, 16, 14) },
        { B, "Bank 2 Button Setting", "0x1C", R (303, 119, 16, 14) },
        { B, "Sound Mode Button Setting", "0x1E", R (144, 177, 27, 14) },
        { B, "Multi Mode Button Setting", "0x1F", R (186, 177, 27, 14) },
        { B, "Category Adjust Setting", "0x31", R (84, 120, 26, 12) },
        { B, "Category Select Setting", "0x32", R (84, 133, 26, 12) },
        { B, "Preset Adjust Setting", "0x33", R (83, 172, 26, 12) },
        { B, "Preset Select Setting", "0x34", R (83, 185, 26, 12) },
        { B, "Pad #5 Setting", "0x74", R (702, 370, 36, 29) },
        { B, "Pad #6 Setting", "0x75", R (756, 370, 36, 29) },
        { B, "Pad #7 Setting", "0x76", R (809, 369, 36, 29) },
        { B, "Pad #8 Setting", "0x77", R (863, 370, 36, 29) },
        { B, "Pad #9 Setting", "0x78", R (702, 324, 36, 29) },
        { B, "Pad #10 Setting", "0x79", R (755, 324, 36, 29) },
        { B, "Pad #11 Setting", "0x7A", R (810, 324, 36, 29) },
        { B, "Pad #12 Setting", "0x7B", R (863, 323, 36, 29) },
        { B, "Pad #13 Setting", "0x7C", R (702, 278, 36, 29) },
        { B, "Pad #14 Setting", "0x7D", R (755, 278, 36, 29) },
        { B, "Pad #15 Setting", "0x7E", R (809, 278, 36, 29) },
        { B, "Pad #16 Setting", "0x7F", R (863, 279, 36, 29) },
    };

    return rows;
}

const ControlMapRow& shiftButtonRow()
{
    static const ControlMapRow row { B, "Select Bank 2 editing", "Shift", R (294, 150, 32, 8) };
    return row;
}

juce::String idTextForBank (const juce::String& pickerText, bool bank2)
{
    const auto hyphen = pickerText.indexOfChar ('-');

    if (hyphen < 0)
        return pickerText;

    return bank2 ? pickerText.substring (hyphen + 1) : pickerText.substring (0, hyphen);
}
