#include "simulator/app/SimulatorOptions.h"

std::optional<juce::String> SimulatorOptions::parse (const juce::StringArray& arguments, SimulatorOptions& options)
{
    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& word = arguments[i];

        if (word == "--state-file")
        {
            if (i + 1 >= arguments.size())
                return juce::String ("--state-file needs a file");

            options.stateFile = arguments[++i].unquoted();
        }
        else if (word == "--commands")
        {
            if (i + 1 >= arguments.size())
                return juce::String ("--commands needs a named pipe");

            options.commandFifo = arguments[++i].unquoted();
        }
        else if (word == "--no-monitor")               options.noMonitor = true;
        else if (word == "--unplugged")                options.unplugged = true;
        else if (word == "--help" || word == "-h")     options.help = true;
        else if (word.isNotEmpty())
            return "unknown option " + word;
    }

    return std::nullopt;
}

juce::String SimulatorOptions::usage()
{
    return "Usage: konsolion-sim [options]\n"
           "The Konsolion editor against a simulated Vantor 49 on virtual MIDI ports.\n\n"
           "Options:\n"
           "  --state-file PATH   write what the editor's fields show and what the simulated\n"
           "                      keyboard holds to PATH, a few times a second\n"
           "  --commands FIFO     read commands for the simulated keyboard from the named pipe\n"
           "                      FIFO, one a line (\"play 33 100\" turns the bank-2 Cutoff knob)\n"
           "  --no-monitor        do not open the monitor window\n"
           "  --unplugged         start with the keyboard unplugged (the monitor window plugs it in)\n"
           "  --help              this help\n";
}
