#pragma once

#include "device/MidiPortSystem.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

/** In-process MIDI ports that behave as JUCE 7's ALSA ports do where it matters:
    a device adds sources (which the program opens as inputs) and sinks (which it
    opens as outputs); deliveries hold one callback lock that opening and deleting
    ports also take; stop() does not wait for a delivery in flight; an input started
    while the input thread is still stopping stays silent; and sends that overlap
    tear their frames. What the program does wrong with them is recorded as a
    violation instead of being forgiven. */
class VirtualMidiPortSystem : public MidiPortSystem
{
public:
    class Source;
    class Sink;
    struct SharedState;

    VirtualMidiPortSystem();
    ~VirtualMidiPortSystem() override;

    /** A new port; it gets a new identifier unless one is given (ALSA gives a USB device
        plugged in again the same client and port numbers when its card number comes back). */
    std::shared_ptr<Source> addSource (const juce::String& name, const juce::String& identifier = {});
    std::shared_ptr<Sink> addSink (const juce::String& name, std::function<void (const juce::MidiMessage&)> receiver,
                                   const juce::String& identifier = {});

    /** The port disappears from the lists; opened ports stay valid but dead. */
    void removeSource (const std::shared_ptr<Source>& source);

    /** Another program holds (or lets go of) the device of the source of this name. */
    void holdSourceElsewhere (const juce::String& name, bool held);
    void removeSink (const std::shared_ptr<Sink>& sink);

    juce::Array<juce::MidiDeviceInfo> getInputDevices() override;
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override;
    std::unique_ptr<MidiInputPort> openInput (const juce::String& identifier, MidiPortReceiver& receiver) override;
    std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier) override;

    /** How long one send keeps the sequencer busy; longer makes overlapping sends easy to catch. */
    void setTransmitTime (std::chrono::microseconds time);

    /** Every misuse seen so far: overlapping sends, an input deleted inside its own delivery. */
    std::vector<juce::String> getViolations() const;

    int getOverlappingSendCount() const;

    /** True while the modelled input thread is dead: inputs started too soon after the
        last one stopped, and nothing reaches any input until all stop and start again. */
    bool isInputThreadDead() const;

private:
    std::shared_ptr<SharedState> state;
    std::mutex mutex;
    std::vector<std::shared_ptr<Source>> sources;
    std::vector<std::shared_ptr<Sink>> sinks;
    int nextPortNumber = 0;   // every port added gets a new identifier, as a replugged device does
};

/** One receiver of a source. */
class VirtualConnection
{
public:
    VirtualConnection (std::shared_ptr<VirtualMidiPortSystem::SharedState> state, juce::String portName,
                       MidiPortReceiver& receiver);

    void start();
    void stop();
    bool isStarted() const noexcept   { return started.load(); }

    /** Called with the callback lock held. */
    void deliver (const juce::MidiMessage& message);

    /** The port is being deleted: waits for a delivery on another thread, and records a
        violation when called from inside this connection's own delivery. */
    void close();

private:
    std::shared_ptr<VirtualMidiPortSystem::SharedState> state;
    const juce::String portName;
    MidiPortReceiver& receiver;
    std::atomic<bool> started { false };
    bool closed = false;   // guarded by the callback lock
};

class VirtualMidiPortSystem::Source : public std::enable_shared_from_this<VirtualMidiPortSystem::Source>
{
public:
    Source (std::shared_ptr<SharedState> state, juce::String name, juce::String identifier);

    const juce::String& getName() const noexcept         { return name; }
    const juce::String& getIdentifier() const noexcept   { return identifier; }

    /** Hands the message to every started receiver, on the calling thread, holding
        the callback lock as JUCE's input thread does. */
    void deliver (const juce::MidiMessage& message);

    void attach (const std::shared_ptr<VirtualConnection>& connection);
    void detach (const std::shared_ptr<VirtualConnection>& connection);

    /** Taken off the port list: whoever opened it hears nothing more, even from a port
        added again under the same name and identifier. */
    void markRemoved()                                   { removed = true; }
    bool isRemoved() const noexcept                      { return removed.load(); }

    /** Another program holds the device: opening it fails. */
    void setHeldElsewhere (bool held)                    { heldElsewhere = held; }
    bool isHeldElsewhere() const noexcept                { return heldElsewhere.load(); }

    /** A USB device keeps what it sends while no program reads it, and hands the last few
        messages over once one does. */
    void setKeepsUnreadMessages (bool keeps)             { keepsUnread = keeps; }

    /** A connection has started: what was kept for it, if anything. */
    void deliverKept();

    static constexpr size_t keptMessagesAtMost = 16;

private:
    bool anyStarted() const;

    std::shared_ptr<SharedState> state;
    const juce::String name, identifier;
    std::vector<std::shared_ptr<VirtualConnection>> connections;   // guarded by the callback lock
    std::vector<juce::MidiMessage> kept;                           // guarded by the callback lock
    std::atomic<bool> removed { false }, heldElsewhere { false }, keepsUnread { false };
};

class VirtualMidiPortSystem::Sink
{
public:
    Sink (juce::String name, juce::String identifier, std::function<void (const juce::MidiMessage&)> receiver);

    const juce::String& getName() const noexcept         { return name; }
    const juce::String& getIdentifier() const noexcept   { return identifier; }

    /** Passes the message to the device, unless the device has gone. */
    void receive (const juce::MidiMessage& message);

    /** The device has gone: later messages are dropped. */
    void disconnect();

private:
    const juce::String name, identifier;
    std::mutex mutex;
    std::function<void (const juce::MidiMessage&)> receiver;
};
