#include "cli/CliCommands.h"

#include "cli/CliExitCode.h"
#include "cli/CliHandlers.h"

#include <cstdio>

namespace
{
    void printError (const juce::String& text)
    {
        std::fprintf (stderr, "konsolion-cli: %s\n", text.toRawUTF8());
    }
}

juce::StringArray CliCommand::argumentWords() const
{
    return juce::StringArray::fromTokens (arguments, " ", "");
}

const std::vector<CliCommand>& cliCommandTable()
{
    static const std::vector<CliCommand> table {
        { "ports", "", "list the MIDI inputs and outputs, and which of them answer as the keyboard", runPorts },
        { "backup", "FILE.vr49", "read the keyboard's whole configuration into a settings file", runBackup },
        { "restore", "FILE.vr49", "send a settings file to the keyboard, read it back and compare", runRestore },
        { "verify", "FILE.vr49", "compare what the keyboard holds with a settings file, sending nothing", runVerify },
        { "diff", "A.vr49 B.vr49", "compare two settings files", runDiff },
        { "chart", "FILE.vr49 OUT.html", "write the MIDI chart of a settings file", runChart },
        { "clashes", "FILE.vr49", "list the controls of a settings file that send the same message", runClashes },
        { "monitor", "", "print what the keyboard sends as it is played, naming each control; Ctrl+C ends", runMonitor },
        { "flash", "IMAGE.bin", "keep the configuration, upgrade the firmware, wait for the keyboard to return", runFlash },
    };
    return table;
}

juce::String cliUsageText()
{
    juce::String text;
    text << "Usage: konsolion-cli [options] COMMAND [ARGUMENTS]\n"
            "Backs up, restores, verifies, compares and flashes the Vantor 49/61 keyboard.\n\nCommands:\n";

    for (const auto& command : cliCommandTable())
        text << "  " << (juce::String (command.name) + " " + command.arguments).paddedRight (' ', 26) << command.help << "\n";

    text << "\nOptions:\n";

    for (const auto& option : cliOptionTable())
    {
        const auto argument = juce::String (option.argument);
        const auto shown = juce::String (option.name) + (argument.startsWith ("[") || argument.isEmpty() ? "" : " ") + argument;
        text << "  " << shown.paddedRight (' ', 26) << option.help << "\n";
    }

    text << "\nExit status: 0 done, no differences; 1 differences found; 2 usage; 3 no keyboard;\n"
            "4 file error; 5 transfer failed; 6 cancelled.\n";
    return text;
}

juce::String cliBashCompletion()
{
    juce::StringArray commands, options;

    for (const auto& command : cliCommandTable())
        commands.add (command.name);

    for (const auto& option : cliOptionTable())
        options.add (option.name);

    juce::String text;
    text << "# bash completion for konsolion-cli, made by konsolion-cli --bash-completion\n"
            "_konsolion_cli()\n{\n"
            "    local cur prev words cword\n"
            "    _init_completion || return\n"
            "    case \"$prev\" in\n"
            "        --keyboard-state|--backup) _filedir; return ;;\n"
            "        --input|--output) return ;;\n"
            "    esac\n"
            "    if [[ \"$cur\" == -* ]]; then\n"
            "        COMPREPLY=( $(compgen -W \"" << options.joinIntoString (" ") << "\" -- \"$cur\") )\n"
            "        return\n"
            "    fi\n"
            "    local i command=\n"
            "    for (( i = 1; i < cword; i++ )); do\n"
            "        case \"${words[i]}\" in\n"
            "            --keyboard-state|--input|--output) (( i++ )) ;;\n"
            "            -*) ;;\n"
            "            *) command=${words[i]}; break ;;\n"
            "        esac\n"
            "    done\n"
            "    case \"$command\" in\n"
            "        \"\") COMPREPLY=( $(compgen -W \"" << commands.joinIntoString (" ") << "\" -- \"$cur\") ) ;;\n";

    for (const auto& command : cliCommandTable())
    {
        juce::StringArray extensions;

        for (const auto& word : command.argumentWords())
            extensions.addIfNotAlreadyThere (word.fromLastOccurrenceOf (".", false, false));

        if (! extensions.isEmpty())
            text << "        " << command.name << ") _filedir '@(" << extensions.joinIntoString ("|") << ")' ;;\n";
    }

    text << "    esac\n}\ncomplete -F _konsolion_cli konsolion-cli\n";
    return text;
}

int runCommandLine (const juce::StringArray& arguments)
{
    CliOptions options;

    if (const auto problem = CliOptions::parse (arguments, options))
    {
        printError (*problem + " (konsolion-cli --help lists what there is)");
        return exitUsage;
    }

    if (options.help)          { std::printf ("%s", cliUsageText().toRawUTF8()); return exitDone; }
    if (options.version)       { std::printf ("konsolion-cli %s\n", KONSOLION_VERSION); return exitDone; }
    if (options.bashCompletion) { std::printf ("%s", cliBashCompletion().toRawUTF8()); return exitDone; }

    if (options.words.isEmpty())
    {
        std::fprintf (stderr, "%s", cliUsageText().toRawUTF8());
        return exitUsage;
    }

    for (const auto& command : cliCommandTable())
    {
        if (options.words[0] != command.name)
            continue;

        const auto given = juce::StringArray (options.words.begin() + 1, options.words.size() - 1);

        if (given.size() != command.argumentWords().size())
        {
            printError (juce::String ("usage: konsolion-cli ") + command.name + " " + command.arguments);
            return exitUsage;
        }

        return command.run (options, given);
    }

    printError ("no command \"" + options.words[0] + "\" (konsolion-cli --help lists them)");
    return exitUsage;
}
