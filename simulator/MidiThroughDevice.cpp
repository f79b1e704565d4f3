#include "simulator/MidiThroughDevice.h"

MidiThroughDevice::MidiThroughDevice (VirtualMidiPortSystem& portSystem, const juce::String& name)
    : ports (portSystem),
      source (ports.addSource (name)),
      sink (ports.addSink (name, [this] (const juce::MidiMessage& message) { postIncoming (message); }))
{
    startDevice();
}

MidiThroughDevice::~MidiThroughDevice()
{
    sink->disconnect();
    ports.removeSink (sink);
    ports.removeSource (source);
    stopDevice();
}

void MidiThroughDevice::handleIncoming (const juce::MidiMessage& message)  { postOutgoing (message); }
void MidiThroughDevice::sendOutgoing (const juce::MidiMessage& message)    { source->deliver (message); }
