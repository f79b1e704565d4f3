#pragma once

#include "device/BootloaderPortName.h"

#include <juce_audio_devices/juce_audio_devices.h>

class LumManager49;


/** With a callback: stops a running search (its probes would reach the bootloader and
    its last tick would close the update's inputs), then moves the manager's link to
    the update port and lets the callback see every incoming message; false when no
    output has that name (the inputs then stay closed and there is no keyboard
    output). With a null callback: detaches. */
bool attachUpdatePort (juce::MidiInputCallback* callback, const juce::String& portName, LumManager49& manager);
