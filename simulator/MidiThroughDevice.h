#pragma once

#include "simulator/VirtualDevice.h"
#include "simulator/VirtualMidiPortSystem.h"

/** Like ALSA's "Midi Through": whatever reaches its output comes back on its input,
    from its own thread. */
class MidiThroughDevice : public VirtualDevice
{
public:
    MidiThroughDevice (VirtualMidiPortSystem& ports, const juce::String& name);
    ~MidiThroughDevice() override;

private:
    void handleIncoming (const juce::MidiMessage& message) override;
    void sendOutgoing (const juce::MidiMessage& message) override;

    VirtualMidiPortSystem& ports;
    std::shared_ptr<VirtualMidiPortSystem::Source> source;
    std::shared_ptr<VirtualMidiPortSystem::Sink> sink;
};
