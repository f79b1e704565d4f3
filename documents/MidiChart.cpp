#include "documents/MidiChart.h"

#include "device/LumManager49.h"
#include "documents/DocumentWriter.h"

namespace
{
    const char* const title = "Atelion Midi Chart";

    const std::map<int, juce::String>& chartNames()
    {
        static const std::map<int, juce::String> names = []
        {
            std::map<int, juce::String> table;
            const auto addRun = [&table] (int first, std::initializer_list<const char*> runNames)
            {
                for (auto* name : runNames)
                    table[first++] = name;
            };
            const auto addNumbered = [&table] (int first, const char* stem, int count)
            {
                for (int i = 1; i <= count; ++i)
                    table[first + i - 1] = juce::String (stem) + juce::String (i);
            };

            addRun (1, { "C2 - Cutoff", "C3 - Resonance", "C10 - Param 1", "C11 - Param 2", "C13 - Param 4",
                         "C14 - Delay Amt", "C15 - Sustain", "C16 - Release", "C4 - LFO Rate ", "C12 - Param 3",
                         "C5 - LFO Amt", "C6 - Chorus Amt", "C7 - Attack", "C8 - Decay" });
            addNumbered (18, "Snapshot #", 10);
            addRun (28, { "Lower Panel", "Upper Panel", "Sound Mode", "Scene Mode" });
            addRun (48, { "C1 - Volume", "Category Adjust", "Category Select", "C9 - Preset", "Preset Select" });
            addRun (64, { "Modulation Wheel", "Pitch Wheel", "Joystick Down / Extra Wheel" });
            addRun (75, { "Envelope #2 A", "Envelope #2 D", "Envelope #2 S", "Envelope #2 R", "Tempo" });
            addRun (80, { "Sustain Pedal", "Expression Pedal", "Breath Control", "Aux Pedal" });
            addNumbered (88, "Host Control #", 6);
            addNumbered (112, "Pad #", 16);
            return table;
        }();

        return names;
    }

    juce::String hexByte (int value)
    {
        const auto byte = (juce::uint8) (value & 0xFF);
        return "0x" + juce::String::toHexString (&byte, 1).toUpperCase();
    }

    void addRow (juce::XmlElement& table, const char* cellTag, const juce::StringArray& cells)
    {
        auto* row = table.createNewChildElement ("tr");

        for (const auto& text : cells)
            row->createNewChildElement (cellTag)->addTextElement (text);
    }

    std::unique_ptr<juce::XmlElement> createTable()
    {
        auto table = std::make_unique<juce::XmlElement> ("table");
        table->setAttribute ("border", "1");
        return table;
    }

    int valueOr (const std::map<ItemId, int>& table, ItemId item, int fallback)
    {
        const auto found = table.find (item);
        return found != table.end() ? found->second : fallback;
    }

    bool isBankTwoKnobOrFader (int item)
    {
        return ((item & 0xFF) & 0xF0) == 0x20;   // items 32..47 are left out
    }

    std::unique_ptr<juce::XmlElement> createItemTable (const SettingsModel& model)
    {
        auto table = createTable();
        addRow (*table, "th", { "Item", "Name", "Mode", "Channel", "Number", "Min/LSB", "Max/MSB", "Option" });

        const auto& params = model.itemParams;

        for (const auto& [item, number] : params[ItemParam::Number])
        {
            if (isBankTwoKnobOrFader (item))
                continue;

            addRow (*table, "td", { hexByte (item),
                                    chartItemName (item),
                                    chartModeText (valueOr (params[ItemParam::Mode], item, 0)),
                                    chartChannelText (valueOr (params[ItemParam::Channel], item, 0)),
                                    juce::String (number),
                                    juce::String (valueOr (params[ItemParam::MinLsb], item, 0)),
                                    juce::String (valueOr (params[ItemParam::MaxMsb], item, 127)),
                                    juce::String (valueOr (params[ItemParam::Option], item, 0)) });
        }

        return table;
    }

    std::unique_ptr<juce::XmlElement> createGlobalTable (const SettingsModel& model)
    {
        auto table = createTable();
        const auto& globals = model.globals;

        addRow (*table, "th", { "Param", "Name", "Value" });
        addRow (*table, "td", { "2", "Knob relative mode", juce::String (globals[GlobalIndex::KnobMode]) });
        addRow (*table, "td", { "3", "Octave transposition", juce::String (globals[GlobalIndex::OctaveShift]) });
        addRow (*table, "td", { "6", "Global MIDI Channel", chartChannelText (globals[GlobalIndex::UpperChannel]) });
        return table;
    }
}

juce::String chartModeText (int mode)
{
    static const char* const texts[] {
        "Off - 0", "Control - 1", "Rel. Control - 2", "RPN - 3", "NRPN - 4", "Duration Ctl - 5",
        "Kbd Preset - 6", "MMC - 7", "Ctl Toggle - 8", "Midi Note - 9", "Midi Note Gated - 10",
        "Patch Chg - 11", "Pitch Bend - 12", "??? - 13", "Aftertouch - 14"
    };

    return juce::isPositiveAndBelow (mode, (int) std::size (texts)) ? juce::String (texts[mode]) : juce::String ("Err");
}

juce::String chartChannelText (int channel)
{
    if (channel < 16)
        return juce::String (channel + 1) + " - " + hexByte (channel);

    switch (channel)
    {
        case ChannelLower: return "Lwr - 0x40";
        case ChannelUpper: return "Master - 0x41";
        case ChannelAll:   return "All - 0x7E";
        case ChannelPanel: return "Pnl - 0x7F";
        default:           return "Err";
    }
}

juce::String chartItemName (int item)
{
    const auto& names = chartNames();
    const auto found = names.find (item);
    return found != names.end() ? found->second : juce::String (item);
}

std::unique_ptr<juce::XmlElement> createMidiChartDocument (const SettingsModel& model)
{
    auto html = std::make_unique<juce::XmlElement> ("html");
    html->createNewChildElement ("head")->createNewChildElement ("title")->addTextElement (title);

    auto* body = html->createNewChildElement ("body");
    body->createNewChildElement ("h1")->addTextElement (title);
    body->addChildElement (createItemTable (model).release());
    body->createNewChildElement ("br");
    body->addChildElement (createGlobalTable (model).release());
    return html;
}

juce::Result exportMidiChart (const SettingsModel& model, const juce::File& file)
{
    return writeXmlDocument (file, *createMidiChartDocument (model));
}

juce::Result exportMidiChart (LumManager49& manager, const juce::File& file)
{
    return exportMidiChart (manager.getModel(), file);
}
