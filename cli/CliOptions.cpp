#include "cli/CliOptions.h"

const std::vector<CliOptionHelp>& cliOptionTable()
{
    static const std::vector<CliOptionHelp> table {
        { "--simulate", "[=FAULT]", "the simulated keyboard and bootloader instead of MIDI ports; FAULT makes it "
                                    "absent, drop-answer, vanish-mid-send, refuse-block or busy (another program holds its input)" },
        { "--keyboard-state", "FILE", "with --simulate: keep the simulated keyboard's configuration in FILE between runs" },
        { "--input", "NAME", "the keyboard's input port, without the search (give --output too)" },
        { "--output", "NAME", "the keyboard's output port, without the search (give --input too)" },
        { "--json", "", "differences as JSON on standard output" },
        { "--yes", "", "flash without asking for confirmation" },
        { "--verbose", "", "the firmware transfer's diagnostic lines on standard error" },
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

            if (! juce::StringArray ({ "", "absent", "drop-answer", "vanish-mid-send", "refuse-block", "busy" })
                      .contains (options.simulatedFault))
                return "unknown simulated fault \"" + options.simulatedFault + "\"";
        }
        else if (word == "--keyboard-state" || word == "--input" || word == "--output")
        {
            const auto value = nextValue();

            if (! value.has_value())
                return word + " needs a value";

            if (word == "--keyboard-state")
                options.keyboardState = juce::File::getCurrentWorkingDirectory().getChildFile (*value);
            else
                (word == "--input" ? options.inputPort : options.outputPort) = *value;
        }
        else if (word == "--json")              options.json = true;
        else if (word == "--yes")               options.yes = true;
        else if (word == "--verbose")           options.verbose = true;
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
