#include "simulator/KeyboardCommands.h"

namespace
{
    using Arguments = std::vector<int>;

    struct Command
    {
        const char* name;
        const char* arguments;
        std::vector<std::pair<int, int>> ranges;   // of each number it takes
        // What is wrong when the keyboard cannot do it; nothing when it did.
        std::function<std::optional<juce::String> (SimulatedKeyboard&, const KeyboardCommands::Actions&, const Arguments&)> run;
    };

    const std::pair<int, int> channel { 1, 16 }, dataByte { 0, 127 };

    const std::vector<Command>& commandTable()
    {
        using K = SimulatedKeyboard;
        using A = KeyboardCommands::Actions;
        static const std::vector<Command> table {
            { "cc", "CHANNEL CONTROLLER VALUE", { channel, dataByte, dataByte },
              [] (K& k, const A&, const Arguments& a) { k.playControlChange (a[0], a[1], a[2]); return std::nullopt; } },
            { "bend", "CHANNEL VALUE", { channel, { 0, 16383 } },
              [] (K& k, const A&, const Arguments& a) { k.playPitchBend (a[0], a[1]); return std::nullopt; } },
            { "note", "CHANNEL NOTE VELOCITY", { channel, dataByte, dataByte },
              [] (K& k, const A&, const Arguments& a) { k.playNoteOn (a[0], a[1], a[2]); return std::nullopt; } },
            { "pressure", "CHANNEL VALUE", { channel, dataByte },
              [] (K& k, const A&, const Arguments& a) { k.playChannelPressure (a[0], a[1]); return std::nullopt; } },
            { "play", "ITEM VALUE", { { 1, 127 }, { -63, 16383 } },
              [] (K& k, const A&, const Arguments& a) -> std::optional<juce::String> {
                  if (k.playControl (a[0], a[1])) return std::nullopt;
                  return "the keyboard has no control " + juce::String (a[0]) + " that plays";
              } },
            { "flood", "COUNT CONTROLLER", { { 1, 100000 }, dataByte },
              [] (K& k, const A&, const Arguments& a) { k.floodControlChanges (a[0], a[1]); return std::nullopt; } },
            { "unplug", "", {}, [] (K& k, const A&, const Arguments&) { k.vanish(); return std::nullopt; } },
            { "plug", "", {}, [] (K& k, const A&, const Arguments&) { k.reappear(); return std::nullopt; } },
            { "update-mode", "", {}, [] (K& k, const A&, const Arguments&) { k.restartInUpdateMode(); return std::nullopt; } },
            { "normal-mode", "", {}, [] (K& k, const A&, const Arguments&) { k.restartInNormalMode(); return std::nullopt; } },
            { "save", "", {}, [] (K&, const A& actions, const Arguments&) -> std::optional<juce::String> { if (actions.saveState) actions.saveState(); return std::nullopt; } },
            { "quit", "", {}, [] (K&, const A& actions, const Arguments&) -> std::optional<juce::String> { if (actions.quit) actions.quit(); return std::nullopt; } },
        };
        return table;
    }

    std::optional<int> numberIn (const juce::String& word, std::pair<int, int> range)
    {
        const auto digits = word.startsWithChar ('-') ? word.substring (1) : word;

        if (digits.isEmpty() || digits.length() > 6 || ! digits.containsOnly ("0123456789"))
            return std::nullopt;

        const auto number = word.getIntValue();
        return number >= range.first && number <= range.second ? std::optional<int> (number) : std::nullopt;
    }

    /** "raw F0 7E 7F 06 01 F7": bytes the keyboard sends as one message. */
    std::optional<std::vector<juce::uint8>> bytesOf (const juce::StringArray& words)
    {
        std::vector<juce::uint8> bytes;

        for (int i = 1; i < words.size(); ++i)
        {
            if (words[i].length() != 2 || ! words[i].containsOnly ("0123456789abcdefABCDEF"))
                return std::nullopt;

            bytes.push_back ((juce::uint8) words[i].getHexValue32());
        }

        if (bytes.empty() || bytes.front() < 0x80)
            return std::nullopt;

        return bytes;
    }
}

KeyboardCommands::KeyboardCommands (SimulatedKeyboard& k, Actions a) : keyboard (k), actions (std::move (a)) {}

std::optional<juce::String> KeyboardCommands::run (const juce::String& line)
{
    const auto words = juce::StringArray::fromTokens (line.trim(), " \t", {});

    if (words.isEmpty() || words[0].startsWith ("#"))
        return std::nullopt;

    if (words[0] == "raw")
    {
        const auto bytes = bytesOf (words);

        if (! bytes.has_value())
            return juce::String ("raw takes hex bytes that start with a status byte: raw 90 3C 64");

        keyboard.sendRaw (*bytes);
        return std::nullopt;
    }

    for (const auto& command : commandTable())
    {
        if (words[0] != command.name)
            continue;

        const auto usage = juce::String (command.name) + " " + command.arguments;

        if ((size_t) words.size() != command.ranges.size() + 1)
            return "usage: " + usage.trim();

        Arguments arguments;

        for (size_t i = 0; i < command.ranges.size(); ++i)
        {
            const auto number = numberIn (words[(int) i + 1], command.ranges[i]);

            if (! number.has_value())
                return "usage: " + usage + " (" + words[(int) i + 1] + " is out of range)";

            arguments.push_back (*number);
        }

        return command.run (keyboard, actions, arguments);
    }

    return "no command \"" + words[0] + "\"";
}

juce::String KeyboardCommands::help()
{
    juce::String text;

    for (const auto& command : commandTable())
        text << (juce::String (command.name) + " " + command.arguments).trim() << "\n";

    return text << "raw HEX...\n";
}
