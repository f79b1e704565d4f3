#include "device/FieldChoices.h"

namespace
{
    struct ModeChoiceGroup
    {
        std::vector<std::pair<int, int>> itemRanges;
        std::vector<int> enabledModes;
    };

    const std::vector<ModeChoiceGroup>& modeChoiceGroups()
    {
        static const std::vector<ModeChoiceGroup> groups {
            { { { 1, 10 }, { 33, 42 }, { 48, 49 }, { 51, 51 } }, { 0, 1, 2, 3, 4 } },          // knobs
            { { { 11, 14 }, { 43, 46 }, { 75, 79 }, { 107, 111 } }, { 0, 1, 3, 4 } },         // faders
            { { { 64, 66 }, { 81, 82 } }, { 0, 1, 3, 4 } },                                   // wheels, pedal, breath
            { { { 18, 27 } }, { 0, 1, 5, 6, 8, 9, 10, 11 } },                                 // snapshots
            { { { 28, 31 }, { 50, 50 }, { 52, 52 } }, { 0, 1, 8, 9, 10 } },                   // bank and mode buttons
            { { { 80, 80 }, { 83, 83 } }, { 0, 1, 8, 9, 10 } },                               // sustain and aux pedals
            { { { 88, 93 } }, { 0, 1, 6, 7, 8, 9, 10, 11 } },                                 // transport
            { { { 112, 127 } }, { 0, 1, 8, 9, 10, 11 } },                                     // pads
        };

        return groups;
    }

    constexpr int channelCodeForPosition[] { ChannelLower, ChannelUpper, ChannelPanel, ChannelAll };
}

juce::StringArray noteNameChoices()
{
    static const char* const pitches[] { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };
    juce::StringArray names;

    for (int note = 0; note < 128; ++note)
        names.add (juce::String (pitches[note % 12]) + juce::String (note / 12 - 2));

    return names;
}

juce::StringArray controllerNameChoices()
{
    std::array<const char*, 128> names {};
    names.fill ("Undefined");

    const std::pair<int, const char*> named[] {
        { 0, "Bank Select MSB" }, { 1, "Modulation Wheel" }, { 2, "Breath Controller" }, { 4, "Foot Controller" },
        { 5, "Portamento Time" }, { 6, "Data Entry MSB" }, { 7, "Channel Volume" }, { 8, "Balance" }, { 10, "Pan" },
        { 11, "Expression Controller" }, { 12, "Effect Control 1" }, { 13, "Effect Control 2" },
        { 16, "General Purpose Controller 1" }, { 17, "General Purpose Controller 2" },
        { 18, "General Purpose Controller 3" }, { 19, "General Purpose Controller 4" },
        { 32, "Bank Select LSB" }, { 33, "Modulation Wheel LSB" }, { 34, "Breath Controller LSB" },
        { 36, "Foot Controller LSB" }, { 37, "Portamento Time LSB" }, { 38, "Data Entry LSB" },
        { 39, "Channel Volume LSB" }, { 40, "Balance LSB" }, { 42, "Pan LSB" }, { 43, "Expression Controller LSB" },
        { 44, "Effect Control 1 LSB" }, { 45, "Effect Control 2 LSB" },
        { 48, "General Purpose Controller 1 LSB" }, { 49, "General Purpose Controller 2 LSB" },
        { 50, "General Purpose Controller 3 LSB" }, { 51, "General Purpose Controller 4 LSB" },
        { 64, "Sustain" }, { 65, "Portamento On/Off" }, { 66, "Sostenuto On/Off" }, { 67, "Soft Pedal On/Off" },
        { 68, "Legato Footswitch" }, { 69, "Hold 2" }, { 70, "Sound Variation" }, { 71, "Timbre/Harmonic Intens." },
        { 72, "Release Time" }, { 73, "Attack Time" }, { 74, "Brightness" }, { 75, "Decay Time" },
        { 76, "Vibrato Rate" }, { 77, "Vibrato Depth" }, { 78, "Vibrato Delay" }, { 79, "Sound Controller 10" },
        { 80, "General Purpose Controller 5" }, { 81, "General Purpose Controller 6" },
        { 82, "General Purpose Controller 7" }, { 83, "General Purpose Controller 8" }, { 84, "Portamento Control" },
        { 91, "Reverb Send Level" }, { 92, "Tremolo Depth" }, { 93, "Chorus Send Level" }, { 94, "Celeste Depth" },
        { 95, "Phaser Depth" }, { 96, "Data Increment" }, { 97, "Data Decrement" }, { 98, "NRPN - LSB" },
        { 99, "NRPN - MSB" }, { 100, "RPN - LSB" }, { 101, "RPN - MSB" }, { 120, "All Sound Off" },
        { 121, "Reset All Controllers" }, { 122, "Local Control On/Off" }, { 123, "All Notes Off" },
        { 124, "Omni Mode Off" }, { 125, "Omni Mode On" }, { 126, "Mono Mode On" }, { 127, "Poly Mode On" },
    };

    for (const auto& [number, name] : named)
        names[(size_t) number] = name;

    juce::StringArray choices;

    for (size_t n = 0; n < names.size(); ++n)
        choices.add (juce::String ((int) n) + " - " + names[n]);

    return choices;
}

juce::StringArray modeChoices()
{
    return { "Off-Disabled", "Control", "Relative Control", "RPN", "NRPN", "Duration Control",
             "Keyboard Preset", "MMC", "Control Toggle", "Note Toggle", "Midi Note", "Patch Change" };
}

juce::StringArray channelChoices()
{
    auto choices = decimalChoices (1, 16);
    choices.addArray ({ "Lower", "Upper", "Panel", "All" });
    return choices;
}

juce::StringArray decimalChoices (int first, int last)
{
    juce::StringArray choices;

    for (int n = first; n <= last; ++n)
        choices.add (juce::String (n));

    return choices;
}

std::optional<std::array<bool, editorModeCount>> enabledModesFor (ItemId item)
{
    for (const auto& group : modeChoiceGroups())
    {
        for (const auto& [first, last] : group.itemRanges)
        {
            if (item < first || item > last)
                continue;

            std::array<bool, editorModeCount> enabled {};

            for (auto mode : group.enabledModes)
                enabled[(size_t) mode] = true;

            return enabled;
        }
    }

    return std::nullopt;
}

int channelToPosition (int channel)
{
    for (int i = 0; i < 4; ++i)
        if (channelCodeForPosition[i] == channel)
            return 16 + i;

    return channel;
}

int positionToChannel (int position)
{
    return position >= 16 && position < 20 ? channelCodeForPosition[position - 16] : position;
}

int twoStateToPosition (int value)    { return value == 127 ? 1 : 0; }
int positionToTwoState (int position) { return position == 1 ? 127 : 1; }

juce::String firmwareRevisionText (const std::array<juce::uint8, 4>& revision)
{
    const auto number = [&revision] (size_t i) { return juce::String ((int) (juce::int8) revision[i]); };

    auto text = number (1) + "." + number (2) + number (3);
    return revision[0] != 0 ? number (0) + "." + text : text;
}
