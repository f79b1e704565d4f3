#pragma once

#include "simulator/SimulatedKeyboard.h"

#include <optional>

/** The command line of konsolion-keyboard, the keyboard on the far side of a USB cable. */
struct KeyboardProgramOptions
{
    juce::String rawMidiDevice { "hw:Gadget,0" };
    juce::File gadgetDirectory;
    juce::String controller;          // the USB device controller; empty: the one the gadget is on
    juce::String logPath;             // every frame received, one a line
    juce::File stateFile;             // what the keyboard holds, between runs
    juce::String commandFifo;         // commands, one a line (KeyboardCommands)
    SimulatedKeyboard::Faults faults;
    SimulatedBootloader::Faults bootloaderFaults;
    int bootloaderAnswerDelayMs = 0;
    juce::File firmwareOut;           // at the end, the last whole image the bootloader took
    juce::File sendPlanOf;            // only prints the frames "Send to Keyboard" sends for this settings file
    bool help = false;

    /** The options in `arguments`, or what is wrong with them. */
    static std::optional<juce::String> parse (const juce::StringArray& arguments, KeyboardProgramOptions& options);

    /** One fault, "name" or "name=value", as --fault takes it; false when it is none. */
    bool addFault (const juce::String& fault);

    static juce::String usage();
};
