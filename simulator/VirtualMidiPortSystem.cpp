#include "simulator/VirtualMidiPortSystem.h"

#include <algorithm>

namespace
{
    class VirtualInputPort : public MidiInputPort
    {
    public:
        VirtualInputPort (std::shared_ptr<VirtualMidiPortSystem::Source> src, MidiPortReceiver& receiver)
            : source (std::move (src)),
              connection (std::make_shared<VirtualConnection> (source->getName(), receiver))
        {
            source->attach (connection);
        }

        ~VirtualInputPort() override
        {
            connection->stop();
            source->detach (connection);
        }

        void start() override                   { connection->start(); }
        void stop() override                    { connection->stop(); }
        juce::String getName() const override   { return source->getName(); }

    private:
        std::shared_ptr<VirtualMidiPortSystem::Source> source;
        std::shared_ptr<VirtualConnection> connection;
    };

    class VirtualOutputPort : public MidiOutputPort
    {
    public:
        explicit VirtualOutputPort (std::shared_ptr<VirtualMidiPortSystem::Sink> s) : sink (std::move (s)) {}

        void sendMessageNow (const juce::MidiMessage& message) override   { sink->receive (message); }
        juce::String getName() const override                              { return sink->getName(); }

    private:
        std::shared_ptr<VirtualMidiPortSystem::Sink> sink;
    };

    template <typename Port>
    juce::StringArray namesOf (const std::vector<std::shared_ptr<Port>>& ports)
    {
        juce::StringArray names;

        for (const auto& port : ports)
            names.add (port->getName());

        return names;
    }

    template <typename Port>
    void erase (std::vector<std::shared_ptr<Port>>& ports, const std::shared_ptr<Port>& port)
    {
        ports.erase (std::remove (ports.begin(), ports.end(), port), ports.end());
    }
}

//==============================================================================
VirtualConnection::VirtualConnection (juce::String name, MidiPortReceiver& r)
    : portName (std::move (name)), receiver (r)
{
}

void VirtualConnection::start()
{
    const std::lock_guard<std::mutex> lock (mutex);
    started = true;
}

void VirtualConnection::stop()
{
    std::unique_lock<std::mutex> lock (mutex);
    started = false;

    const auto self = std::this_thread::get_id();

    if (std::find (delivering.begin(), delivering.end(), self) != delivering.end())
        return;   // stopped from inside its own delivery: that one finishes on return

    idle.wait (lock, [this] { return delivering.empty(); });
}

void VirtualConnection::deliver (const juce::MidiMessage& message)
{
    const auto self = std::this_thread::get_id();
    {
        const std::lock_guard<std::mutex> lock (mutex);

        if (! started)
            return;

        delivering.push_back (self);
    }

    receiver.handleIncomingPortMessage (portName, message);

    {
        const std::lock_guard<std::mutex> lock (mutex);
        delivering.erase (std::find (delivering.begin(), delivering.end(), self));
    }
    idle.notify_all();
}

//==============================================================================
VirtualMidiPortSystem::Source::Source (juce::String n) : name (std::move (n)) {}

void VirtualMidiPortSystem::Source::deliver (const juce::MidiMessage& message)
{
    std::vector<std::shared_ptr<VirtualConnection>> receivers;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        receivers = connections;
    }

    for (auto& connection : receivers)
        connection->deliver (message);
}

void VirtualMidiPortSystem::Source::attach (const std::shared_ptr<VirtualConnection>& connection)
{
    const std::lock_guard<std::mutex> lock (mutex);
    connections.push_back (connection);
}

void VirtualMidiPortSystem::Source::detach (const std::shared_ptr<VirtualConnection>& connection)
{
    const std::lock_guard<std::mutex> lock (mutex);
    erase (connections, connection);
}

//==============================================================================
VirtualMidiPortSystem::Sink::Sink (juce::String n, std::function<void (const juce::MidiMessage&)> r)
    : name (std::move (n)), receiver (std::move (r))
{
}

void VirtualMidiPortSystem::Sink::receive (const juce::MidiMessage& message)
{
    const std::lock_guard<std::mutex> lock (mutex);

    if (receiver)
        receiver (message);
}

void VirtualMidiPortSystem::Sink::disconnect()
{
    const std::lock_guard<std::mutex> lock (mutex);
    receiver = nullptr;
}

//==============================================================================
VirtualMidiPortSystem::VirtualMidiPortSystem() = default;
VirtualMidiPortSystem::~VirtualMidiPortSystem() = default;

std::shared_ptr<VirtualMidiPortSystem::Source> VirtualMidiPortSystem::addSource (const juce::String& name)
{
    auto source = std::make_shared<Source> (name);
    const std::lock_guard<std::mutex> lock (mutex);
    sources.push_back (source);
    return source;
}

std::shared_ptr<VirtualMidiPortSystem::Sink> VirtualMidiPortSystem::addSink (
    const juce::String& name, std::function<void (const juce::MidiMessage&)> receiver)
{
    auto sink = std::make_shared<Sink> (name, std::move (receiver));
    const std::lock_guard<std::mutex> lock (mutex);
    sinks.push_back (sink);
    return sink;
}

void VirtualMidiPortSystem::removeSource (const std::shared_ptr<Source>& source)
{
    const std::lock_guard<std::mutex> lock (mutex);
    erase (sources, source);
}

void VirtualMidiPortSystem::removeSink (const std::shared_ptr<Sink>& sink)
{
    const std::lock_guard<std::mutex> lock (mutex);
    erase (sinks, sink);
}

juce::StringArray VirtualMidiPortSystem::getInputNames()
{
    const std::lock_guard<std::mutex> lock (mutex);
    return namesOf (sources);
}

juce::StringArray VirtualMidiPortSystem::getOutputNames()
{
    const std::lock_guard<std::mutex> lock (mutex);
    return namesOf (sinks);
}

std::unique_ptr<MidiInputPort> VirtualMidiPortSystem::openInput (int index, MidiPortReceiver& receiver)
{
    std::shared_ptr<Source> source;
    {
        const std::lock_guard<std::mutex> lock (mutex);

        if (! juce::isPositiveAndBelow (index, (int) sources.size()))
            return {};

        source = sources[(size_t) index];
    }

    return std::make_unique<VirtualInputPort> (std::move (source), receiver);
}

std::unique_ptr<MidiOutputPort> VirtualMidiPortSystem::openOutput (int index)
{
    const std::lock_guard<std::mutex> lock (mutex);

    if (! juce::isPositiveAndBelow (index, (int) sinks.size()))
        return {};

    return std::make_unique<VirtualOutputPort> (sinks[(size_t) index]);
}
