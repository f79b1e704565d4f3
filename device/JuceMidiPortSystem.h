#pragma once

#include "device/MidiPortSystem.h"

/** The operating system's MIDI ports, through juce::MidiInput and juce::MidiOutput. */
class JuceMidiPortSystem : public MidiPortSystem
{
public:
    JuceMidiPortSystem();

    juce::Array<juce::MidiDeviceInfo> getInputDevices() override;
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override;
    std::unique_ptr<MidiInputPort> openInput (const juce::String& identifier, MidiPortReceiver& receiver) override;
    std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier) override;
};
