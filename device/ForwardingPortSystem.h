#pragma once

#include "device/MidiPortSystem.h"

/** Another port system's ports, lent: for an owner that must outlive its users (the
    simulator's studio, the command line's), or a test that looks in between. */
class ForwardingPortSystem : public MidiPortSystem
{
public:
    explicit ForwardingPortSystem (MidiPortSystem& lender) : ports (lender) {}

    juce::Array<juce::MidiDeviceInfo> getInputDevices() override    { return ports.getInputDevices(); }
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override   { return ports.getOutputDevices(); }

    std::unique_ptr<MidiInputPort> openInput (const juce::String& identifier, MidiPortReceiver& receiver) override
    {
        return ports.openInput (identifier, receiver);
    }

    std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier) override
    {
        return ports.openOutput (identifier);
    }

private:
    MidiPortSystem& ports;
};
