#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <memory>

// The small seam through which the device manager reaches MIDI ports: the
// product uses the operating system's ports through JUCE, the tests and the
// simulator an in-process port system with a simulated keyboard. The seam
// promises what JUCE 7's ALSA backend gives, and no more.

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
    /** Waits for a delivery of this port still running on another thread. Never
        delete a port from inside one of its own deliveries. */
    virtual ~MidiInputPort() = default;

    virtual void start() = 0;

    /** No new delivery starts; one already running may still be running when this
        returns (JUCE's ALSA input does not wait for it). */
    virtual void stop() = 0;

    virtual juce::String getName() const = 0;

    /** False once the device this input was opened on has gone, even when a device plugged
        in again took back its name and address: such an input never delivers again. */
    virtual bool isStillConnected() const = 0;
};

class MidiOutputPort
{
public:
    virtual ~MidiOutputPort() = default;

    /** Sends at once; a port whose device has gone drops the message. Safe from any
        thread: sends of the whole process go one at a time, because JUCE's ALSA port
        encodes through one parser per port without a lock and alsa-lib copies every
        SysEx through one buffer of the sequencer handle that all ports share, so two
        sends in flight tear both frames. */
    void sendMessageNow (const juce::MidiMessage& message);

    virtual juce::String getName() const = 0;

protected:
    /** Hands one message to the device; called with the process's send lock held. */
    virtual void transmit (const juce::MidiMessage& message) = 0;
};

class MidiPortSystem
{
public:
    /** JUCE's ALSA input thread ends up to this long after the last started input
        stops; an input started meanwhile does not restart it and stays silent. */
    static constexpr int inputThreadStopMs = 100;

    virtual ~MidiPortSystem() = default;

    /** The ports as the system lists them now: each with its name and an identifier
        that changes when its device is plugged in again. */
    virtual juce::Array<juce::MidiDeviceInfo> getInputDevices() = 0;
    virtual juce::Array<juce::MidiDeviceInfo> getOutputDevices() = 0;

    juce::StringArray getInputNames();
    juce::StringArray getOutputNames();

    /** Opens a port by the identifier the lists give it. Null when it cannot be opened:
        its device has gone (an identifier that has gone opens nothing, even when a device
        of the same name came meanwhile), or another program holds it so that it would
        never deliver. */
    virtual std::unique_ptr<MidiInputPort> openInput (const juce::String& identifier, MidiPortReceiver& receiver) = 0;
    virtual std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier) = 0;

    /** The identifier of the first port of this name listed now; empty when there is none. */
    juce::String inputIdentifierOf (const juce::String& name);
    juce::String outputIdentifierOf (const juce::String& name);
};
