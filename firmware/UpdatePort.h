#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

class LumManager49;

/** The name the keyboard's bootloader port has on this system ("USB Audio Device" on Windows XP). */
juce::String updatePortName (const juce::String& requestedName);

/** True for the bootloader's port: its exact name, or, as ALSA names a USB device's
    ports, that name followed by " MIDI" and a port number ("USB A MIDI 1"). */
bool isUpdatePortName (const juce::String& portName, const juce::String& requestedName);

/** With a callback: stops a running search (its probes would reach the bootloader and
    its last tick would close the update's inputs), then moves the manager's link to
    the update port and lets the callback see every incoming message; false when no
    output has that name (the inputs then stay closed and there is no keyboard
    output). With a null callback: detaches. */
bool attachUpdatePort (juce::MidiInputCallback* callback, const juce::String& portName, LumManager49& manager);
