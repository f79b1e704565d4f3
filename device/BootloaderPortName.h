#pragma once

#include "device/MidiPortSystem.h"

// How the keyboard's bootloader appears among the ports: in update mode the keyboard is
// another USB device, "USB A" (or "USB Audio Device" on Windows XP).

/** The name the keyboard's bootloader port has on this system. */
juce::String updatePortName (const juce::String& requestedName = "USB A");

/** True for the bootloader's port: its exact name (as Windows names it), or, as ALSA
    names a USB device's ports, that name followed by " MIDI" and a port number
    ("USB A MIDI 1"), or that ALSA name as Wine shows it ("USB A - USB A MIDI 1"). */
bool isUpdatePortName (const juce::String& portName, const juce::String& requestedName = "USB A");

/** The first output that is the bootloader's; empty when no keyboard is in update mode. */
juce::String findBootloaderOutput (const juce::StringArray& outputNames, const juce::String& requestedName = "USB A");
