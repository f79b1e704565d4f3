#pragma once

#include "device/MidiPortSystem.h"

/** The operating system's MIDI ports, through juce::MidiInput and juce::MidiOutput. */
class JuceMidiPortSystem : public MidiPortSystem
{
public:
    JuceMidiPortSystem();

    juce::Array<juce::MidiDeviceInfo> getInputDevices() override;
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override;
    std::unique_ptr<MidiInputPort> openInput (int index, MidiPortReceiver& receiver) override;
    std::unique_ptr<MidiOutputPort> openOutput (int index) override;
};
