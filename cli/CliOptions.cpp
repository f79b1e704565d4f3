#include "cli/CliOptions.h"

const std::vector<CliOptionHelp>& cliOptionTable()
{
    static const std::vector<CliOptionHelp> table {
        { "--simulate", "[=FAULT]", "the simulated keyboard and bootloader instead of MIDI ports; FAULT makes it "
                                    "absent, drop-answer, vanish-mid-send, refuse-block, busy (another program holds its input), "
                                    "update-mode (it starts in its bootloader) or no-return (it stays there after an update)" },
        { "--keyboard-state", "FILE", "with --simulate: keep the simulated keyboard's configuration in FILE between runs" },
        { "--commands", "FIFO", "with --simulate: play the simulated keyboard from the named pipe FIFO (\"play 1 64\")" },
        { "--input", "NAME", "the keyboard's input port, without the search (give --output too)" },
        { "--output", "NAME", "the keyboard's output port, without the search (give --input too)" },
        { "--json", "", "results as JSON on standard output (monitor: one object a line)" },
        { "--yes", "", "flash without asking for confirmation" },
        { "--verbose", "", "the firmware transfer's diagnostic lines on standard error" },
        { "--backup", "FILE", "flash: keep the keyboard's configuration in FILE (default: beside the image)" },
        { "--restore", "", "flash: send the kept configuration back, and check it, once the keyboard is back" },
        { "--wait", "SECONDS", "flash: how long to wait for the keyboard to come back (default 30)" },
        { "--help", "", "this help" },
        { "--version", "", "the version" },
    };
    return table;
}

std::optional<juce::String> CliOptions::parse (const juce::StringArray& arguments, CliOptions& options)
{
    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& word = arguments[i];

        const auto nextValue = [&]() -> std::optional<juce::String> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };

        if (word == "--simulate" || word.startsWith ("--simulate="))
        {
            options.simulate = true;
            options.simulatedFault = word.fromFirstOccurrenceOf ("=", false, false);

            if (! juce::StringArray ({ "", "absent", "drop-answer", "vanish-mid-send", "refuse-block", "busy", "update-mode",
                                     "no-return" })
                      .contains (options.simulatedFault))
                return "unknown simulated fault \"" + options.simulatedFault + "\"";
        }
        else if (word == "--wait")
        {
            const auto value = nextValue();

            if (! value.has_value() || ! value->containsOnly ("0123456789") || value->getIntValue() < 1)
                return juce::String ("--wait needs a number of seconds");

            options.waitSeconds = value->getIntValue();
        }
        else if (word == "--keyboard-state" || word == "--input" || word == "--output" || word == "--backup"
                 || word == "--commands")
        {
            const auto value = nextValue();

            if (! value.has_value())
                return word + " needs a value";

            if (word == "--keyboard-state")
                options.keyboardState = juce::File::getCurrentWorkingDirectory().getChildFile (*value);
            else if (word == "--commands")
                options.commandFifo = *value;
            else if (word == "--backup")
                options.backupFile = juce::File::getCurrentWorkingDirectory().getChildFile (*value);
            else
                (word == "--input" ? options.inputPort : options.outputPort) = *value;
        }
        else if (word == "--json")              options.json = true;
        else if (word == "--yes")               options.yes = true;
        else if (word == "--verbose")           options.verbose = true;
        else if (word == "--restore")           options.restore = true;
        else if (word == "--help" || word == "-h") options.help = true;
        else if (word == "--version")           options.version = true;
        else if (word == "--bash-completion")   options.bashCompletion = true;
        else if (word.startsWith ("-") && word != "-")
            return "unknown option " + word;
        else
            options.words.add (word);
    }

    if (options.inputPort.isEmpty() != options.outputPort.isEmpty())
        return "--input and --output go together";

    return std::nullopt;
}
