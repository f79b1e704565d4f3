#pragma once

#include "simulator/SimulatedKeyboard.h"

#include <functional>
#include <optional>

/** What a check tells the keyboard program to do, one command a line: play its
    controls, pull its cable or plug it in again, restart it into its bootloader (as
    the user does holding "Sound", "Multi" and "Edit") or back, keep its state. */
class KeyboardCommands
{
public:
    struct Actions
    {
        std::function<void()> saveState;
        std::function<void()> quit;
    };

    KeyboardCommands (SimulatedKeyboard& keyboard, Actions actions);

    /** Runs one line; what is wrong with it when it is no command. Empty lines and
        lines starting with '#' do nothing. */
    std::optional<juce::String> run (const juce::String& line);

    /** One line per command. */
    static juce::String help();

private:
    SimulatedKeyboard& keyboard;
    Actions actions;
};
