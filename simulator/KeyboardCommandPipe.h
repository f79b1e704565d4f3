#pragma once

#include "simulator/CommandFifo.h"
#include "simulator/KeyboardCommands.h"

/** A named pipe whose lines are commands for the simulated keyboard: each runs on the
    pipe's own thread as it comes; a line that is no command is reported, with why. */
class KeyboardCommandPipe
{
public:
    using Report = std::function<void (const juce::String& problem)>;

    KeyboardCommandPipe (const juce::String& path, SimulatedKeyboard& keyboard, KeyboardCommands::Actions actions,
                         Report report);

    bool isOpen() const noexcept   { return fifo.isOpen(); }

private:
    KeyboardCommands commands;
    Report report;
    CommandFifo fifo;   // last: its thread runs the commands, and stops before they go
};
