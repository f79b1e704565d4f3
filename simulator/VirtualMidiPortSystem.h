#pragma once

#include "device/MidiPortSystem.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

/** In-process MIDI ports. A device adds sources (which the program opens as inputs)
    and sinks (which it opens as outputs). A source delivers on whichever thread the
    device calls it from, as the operating system's MIDI thread would. */
class VirtualMidiPortSystem : public MidiPortSystem
{
public:
    class Source;
    class Sink;

    VirtualMidiPortSystem();
    ~VirtualMidiPortSystem() override;

    std::shared_ptr<Source> addSource (const juce::String& name);
    std::shared_ptr<Sink> addSink (const juce::String& name, std::function<void (const juce::MidiMessage&)> receiver);

    /** The port disappears from the lists; opened ports stay valid but dead. */
    void removeSource (const std::shared_ptr<Source>& source);
    void removeSink (const std::shared_ptr<Sink>& sink);

    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    std::unique_ptr<MidiInputPort> openInput (int index, MidiPortReceiver& receiver) override;
    std::unique_ptr<MidiOutputPort> openOutput (int index) override;

private:
    std::mutex mutex;
    std::vector<std::shared_ptr<Source>> sources;
    std::vector<std::shared_ptr<Sink>> sinks;
};

/** One receiver of a source: started, stopped, and waited for when stopped. */
class VirtualConnection
{
public:
    VirtualConnection (juce::String portName, MidiPortReceiver& receiver);

    void start();

    /** Afterwards no delivery runs, unless stop was called from inside one. */
    void stop();

    void deliver (const juce::MidiMessage& message);

private:
    const juce::String portName;
    MidiPortReceiver& receiver;
    std::mutex mutex;
    std::condition_variable idle;
    bool started = false;
    std::vector<std::thread::id> delivering;
};

class VirtualMidiPortSystem::Source
{
public:
    explicit Source (juce::String name);

    const juce::String& getName() const noexcept   { return name; }

    /** Hands the message to every started receiver, on the calling thread. */
    void deliver (const juce::MidiMessage& message);

    void attach (const std::shared_ptr<VirtualConnection>& connection);
    void detach (const std::shared_ptr<VirtualConnection>& connection);

private:
    const juce::String name;
    std::mutex mutex;
    std::vector<std::shared_ptr<VirtualConnection>> connections;
};

class VirtualMidiPortSystem::Sink
{
public:
    Sink (juce::String name, std::function<void (const juce::MidiMessage&)> receiver);

    const juce::String& getName() const noexcept   { return name; }

    /** Passes the message to the device, unless the device has gone. */
    void receive (const juce::MidiMessage& message);

    /** The device has gone: later messages are dropped. */
    void disconnect();

private:
    const juce::String name;
    std::mutex mutex;
    std::function<void (const juce::MidiMessage&)> receiver;
};
