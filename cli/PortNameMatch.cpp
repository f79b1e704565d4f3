#include "cli/PortNameMatch.h"

#include "cli/CliExitCode.h"

PortNameMatch matchPortName (const juce::StringArray& listed, const juce::String& text, const juce::String& kind)
{
    if (listed.contains (text))
        return { text, std::nullopt };

    juce::StringArray matching;

    for (const auto& name : listed)
        if (name.containsIgnoreCase (text))
            matching.addIfNotAlreadyThere (name);

    if (matching.size() == 1)
        return { matching[0], std::nullopt };

    if (matching.isEmpty())
        return { {}, CliFailure { exitNoKeyboard, "no MIDI " + kind + " is named \"" + text
                                                      + "\" or has it in its name (konsolion-cli ports lists them)" } };

    return { {}, CliFailure { exitUsage, "--" + kind + " \"" + text + "\" matches more than one MIDI " + kind + ": \""
                                             + matching.joinIntoString ("\", \"") + "\"; give more of the name" } };
}
