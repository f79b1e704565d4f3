#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <memory>

// The small seam through which the device manager reaches MIDI ports: the
// product uses the operating system's ports through JUCE, the tests and the
// simulator an in-process port system with a simulated keyboard.

/** Receives what an opened input delivers. JUCE inputs call handleIncomingMidiMessage
    with their juce::MidiInput; ports without one call handleIncomingPortMessage with
    their name. Either may be called on any thread but the message thread. */
class MidiPortReceiver : public juce::MidiInputCallback
{
public:
    virtual void handleIncomingPortMessage (const juce::String& sourceName, const juce::MidiMessage& message) = 0;
};

class MidiInputPort
{
public:
    virtual ~MidiInputPort() = default;

    virtual void start() = 0;

    /** After stop returns no delivery of this port is still running, unless stop was
        called from inside one of its own deliveries. */
    virtual void stop() = 0;

    virtual juce::String getName() const = 0;
};

class MidiOutputPort
{
public:
    virtual ~MidiOutputPort() = default;

    /** Sends at once; a port whose device has gone drops the message. Safe from any thread. */
    virtual void sendMessageNow (const juce::MidiMessage& message) = 0;

    virtual juce::String getName() const = 0;
};

class MidiPortSystem
{
public:
    virtual ~MidiPortSystem() = default;

    virtual juce::StringArray getInputNames() = 0;
    virtual juce::StringArray getOutputNames() = 0;

    /** Null when the port cannot be opened (or the index is out of range). */
    virtual std::unique_ptr<MidiInputPort> openInput (int index, MidiPortReceiver& receiver) = 0;
    virtual std::unique_ptr<MidiOutputPort> openOutput (int index) = 0;
};
