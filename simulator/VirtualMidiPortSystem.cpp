#include "simulator/VirtualMidiPortSystem.h"

#include <algorithm>
#include <thread>

using Clock = std::chrono::steady_clock;

/** What every port of one system shares, as JUCE's ALSA client is shared by every
    port of a process. */
struct VirtualMidiPortSystem::SharedState
{
    // Held by every delivery, and by opening and deleting ports (JUCE's callbackLock).
    std::recursive_mutex callbackLock;

    // The input thread: it stops once no input is started, and an input started
    // before it has finished stopping does not restart it.
    std::mutex threadMutex;
    int startedInputs = 0;
    Clock::time_point threadStopsAt {};
    std::atomic<bool> threadDead { false };

    // Sends: one at a time, or both frames tear.
    std::atomic<int> sendsInFlight { 0 };
    std::atomic<int> overlappingSends { 0 };
    std::atomic<juce::int64> transmitMicros { 0 };

    mutable std::mutex violationMutex;
    std::vector<juce::String> violations;

    void addViolation (const juce::String& text)
    {
        const std::lock_guard<std::mutex> lock (violationMutex);

        if (violations.size() < 20)
            violations.push_back (text);
    }

    void inputStarted()
    {
        const std::lock_guard<std::mutex> lock (threadMutex);

        if (startedInputs++ == 0)
            threadDead = Clock::now() < threadStopsAt;
    }

    void inputStopped()
    {
        const std::lock_guard<std::mutex> lock (threadMutex);

        if (--startedInputs == 0)
        {
            const auto stoppedBy = threadDead ? Clock::now()
                                              : Clock::now() + std::chrono::milliseconds (inputThreadStopMs);
            threadStopsAt = std::max (threadStopsAt, stoppedBy);
        }
    }
};

namespace
{
    // The connection whose delivery runs on this thread, if any.
    thread_local const VirtualConnection* connectionDeliveringHere = nullptr;

    /** What the other end gets of a frame whose send overlapped another: its first
        half, then the end of the SysEx (a short message is lost whole). */
    std::optional<juce::MidiMessage> tear (const juce::MidiMessage& message)
    {
        if (! message.isSysEx() || message.getRawDataSize() < 4)
            return std::nullopt;

        std::vector<juce::uint8> bytes (message.getRawData(), message.getRawData() + message.getRawDataSize() / 2);
        bytes.push_back (0xF7);
        return juce::MidiMessage (bytes.data(), (int) bytes.size(), 0.0);
    }

    class VirtualInputPort : public MidiInputPort
    {
    public:
        VirtualInputPort (std::shared_ptr<VirtualMidiPortSystem::SharedState> sharedState,
                          std::shared_ptr<VirtualMidiPortSystem::Source> src, MidiPortReceiver& receiver)
            : state (std::move (sharedState)),
              source (std::move (src)),
              connection (std::make_shared<VirtualConnection> (state, source->getName(), receiver))
        {
            source->attach (connection);
        }

        ~VirtualInputPort() override
        {
            connection->stop();
            connection->close();
            source->detach (connection);
        }

        void start() override
        {
            connection->start();
            source->deliverKept();
        }

        void stop() override                    { connection->stop(); }
        juce::String getName() const override   { return source->getName(); }
        bool isStillConnected() const override  { return ! source->isRemoved(); }

    private:
        std::shared_ptr<VirtualMidiPortSystem::SharedState> state;
        std::shared_ptr<VirtualMidiPortSystem::Source> source;
        std::shared_ptr<VirtualConnection> connection;
    };

    class VirtualOutputPort : public MidiOutputPort
    {
    public:
        VirtualOutputPort (std::shared_ptr<VirtualMidiPortSystem::SharedState> sharedState,
                           std::shared_ptr<VirtualMidiPortSystem::Sink> s)
            : state (std::move (sharedState)), sink (std::move (s))
        {
            const std::lock_guard<std::recursive_mutex> lock (state->callbackLock);   // as JUCE creates its port
        }

        ~VirtualOutputPort() override
        {
            const std::lock_guard<std::recursive_mutex> lock (state->callbackLock);   // as JUCE deletes its port
        }

        juce::String getName() const override   { return sink->getName(); }

    private:
        void transmit (const juce::MidiMessage& message) override
        {
            const bool overlapping = state->sendsInFlight.fetch_add (1) > 0;
            const auto overlapsAtStart = state->overlappingSends.load();

            if (overlapping)
            {
                ++state->overlappingSends;
                state->addViolation ("two sends overlapped on the sequencer");
            }

            if (const auto micros = state->transmitMicros.load(); micros > 0)
                std::this_thread::sleep_for (std::chrono::microseconds (micros));

            const bool torn = overlapping || state->overlappingSends.load() != overlapsAtStart;

            if (! torn)
                sink->receive (message);
            else if (const auto remains = tear (message))
                sink->receive (*remains);

            --state->sendsInFlight;
        }

        std::shared_ptr<VirtualMidiPortSystem::SharedState> state;
        std::shared_ptr<VirtualMidiPortSystem::Sink> sink;
    };

    template <typename Port>
    juce::Array<juce::MidiDeviceInfo> devicesOf (const std::vector<std::shared_ptr<Port>>& ports)
    {
        juce::Array<juce::MidiDeviceInfo> devices;

        for (const auto& port : ports)
            devices.add ({ port->getName(), port->getIdentifier() });

        return devices;
    }

    template <typename Port>
    void erase (std::vector<std::shared_ptr<Port>>& ports, const std::shared_ptr<Port>& port)
    {
        ports.erase (std::remove (ports.begin(), ports.end(), port), ports.end());
    }
}

//==============================================================================
VirtualConnection::VirtualConnection (std::shared_ptr<VirtualMidiPortSystem::SharedState> s, juce::String name,
                                      MidiPortReceiver& r)
    : state (std::move (s)), portName (std::move (name)), receiver (r)
{
}

void VirtualConnection::start()
{
    if (! started.exchange (true))
        state->inputStarted();
}

void VirtualConnection::stop()
{
    if (started.exchange (false))
        state->inputStopped();
}

void VirtualConnection::deliver (const juce::MidiMessage& message)
{
    if (! started || closed || state->threadDead)
        return;

    const auto* outer = connectionDeliveringHere;
    connectionDeliveringHere = this;
    receiver.handleIncomingPortMessage (portName, message);
    connectionDeliveringHere = outer;
}

void VirtualConnection::close()
{
    const std::lock_guard<std::recursive_mutex> lock (state->callbackLock);

    if (connectionDeliveringHere == this)
        state->addViolation ("the input \"" + portName + "\" was deleted from inside its own delivery");

    closed = true;
}

//==============================================================================
VirtualMidiPortSystem::Source::Source (std::shared_ptr<SharedState> s, juce::String n, juce::String id)
    : state (std::move (s)), name (std::move (n)), identifier (std::move (id))
{
}

void VirtualMidiPortSystem::Source::deliver (const juce::MidiMessage& message)
{
    const std::lock_guard<std::recursive_mutex> lock (state->callbackLock);

    if (keepsUnread && ! anyStarted())
    {
        if (kept.size() == keptMessagesAtMost)
            kept.erase (kept.begin());

        kept.push_back (message);
        return;
    }

    const auto receivers = connections;   // a receiver may close its own port meanwhile

    for (auto& connection : receivers)
        connection->deliver (message);
}

bool VirtualMidiPortSystem::Source::anyStarted() const
{
    return std::any_of (connections.begin(), connections.end(), [] (const auto& c) { return c->isStarted(); });
}

void VirtualMidiPortSystem::Source::deliverKept()
{
    std::vector<juce::MidiMessage> due;
    {
        const std::lock_guard<std::recursive_mutex> lock (state->callbackLock);
        due.swap (kept);
    }

    // Delivered from a thread of their own, as any input delivers.
    if (! due.empty())
        std::thread ([self = shared_from_this(), due] {
            for (const auto& message : due)
                self->deliver (message);
        }).detach();
}

void VirtualMidiPortSystem::Source::attach (const std::shared_ptr<VirtualConnection>& connection)
{
    const std::lock_guard<std::recursive_mutex> lock (state->callbackLock);
    connections.push_back (connection);
}

void VirtualMidiPortSystem::Source::detach (const std::shared_ptr<VirtualConnection>& connection)
{
    const std::lock_guard<std::recursive_mutex> lock (state->callbackLock);
    erase (connections, connection);
}

//==============================================================================
VirtualMidiPortSystem::Sink::Sink (juce::String n, juce::String id, std::function<void (const juce::MidiMessage&)> r)
    : name (std::move (n)), identifier (std::move (id)), receiver (std::move (r))
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
VirtualMidiPortSystem::VirtualMidiPortSystem() : state (std::make_shared<SharedState>()) {}
VirtualMidiPortSystem::~VirtualMidiPortSystem() = default;

std::shared_ptr<VirtualMidiPortSystem::Source> VirtualMidiPortSystem::addSource (const juce::String& name,
                                                                                 const juce::String& identifier)
{
    const std::lock_guard<std::mutex> lock (mutex);
    auto source = std::make_shared<Source> (state, name, identifier.isNotEmpty() ? identifier
                                                                                 : "virtual-in-" + juce::String (++nextPortNumber));
    sources.push_back (source);
    return source;
}

std::shared_ptr<VirtualMidiPortSystem::Sink> VirtualMidiPortSystem::addSink (
    const juce::String& name, std::function<void (const juce::MidiMessage&)> receiver, const juce::String& identifier)
{
    const std::lock_guard<std::mutex> lock (mutex);
    auto sink = std::make_shared<Sink> (name, identifier.isNotEmpty() ? identifier
                                                                      : "virtual-out-" + juce::String (++nextPortNumber),
                                        std::move (receiver));
    sinks.push_back (sink);
    return sink;
}

void VirtualMidiPortSystem::removeSource (const std::shared_ptr<Source>& source)
{
    const std::lock_guard<std::mutex> lock (mutex);
    source->markRemoved();
    erase (sources, source);
}

void VirtualMidiPortSystem::holdSourceElsewhere (const juce::String& name, bool held)
{
    const std::lock_guard<std::mutex> lock (mutex);

    for (auto& source : sources)
        if (source->getName() == name)
            source->setHeldElsewhere (held);
}

void VirtualMidiPortSystem::removeSink (const std::shared_ptr<Sink>& sink)
{
    const std::lock_guard<std::mutex> lock (mutex);
    erase (sinks, sink);
}

juce::Array<juce::MidiDeviceInfo> VirtualMidiPortSystem::getInputDevices()
{
    const std::lock_guard<std::mutex> lock (mutex);
    return devicesOf (sources);
}

juce::Array<juce::MidiDeviceInfo> VirtualMidiPortSystem::getOutputDevices()
{
    const std::lock_guard<std::mutex> lock (mutex);
    return devicesOf (sinks);
}

namespace
{
    template <typename Port>
    std::shared_ptr<Port> listedWith (const std::vector<std::shared_ptr<Port>>& ports, const juce::String& identifier)
    {
        for (const auto& port : ports)
            if (port->getIdentifier() == identifier)
                return port;

        return {};
    }
}

std::unique_ptr<MidiInputPort> VirtualMidiPortSystem::openInput (const juce::String& identifier, MidiPortReceiver& receiver)
{
    std::shared_ptr<Source> source;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        source = listedWith (sources, identifier);

        if (source == nullptr)
            return {};
    }

    if (source->isHeldElsewhere())
        return {};   // as the real system answers: the device is busy

    return std::make_unique<VirtualInputPort> (state, std::move (source), receiver);
}

std::unique_ptr<MidiOutputPort> VirtualMidiPortSystem::openOutput (const juce::String& identifier)
{
    std::shared_ptr<Sink> sink;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        sink = listedWith (sinks, identifier);

        if (sink == nullptr)
            return {};
    }

    return std::make_unique<VirtualOutputPort> (state, std::move (sink));
}

void VirtualMidiPortSystem::setTransmitTime (std::chrono::microseconds time)
{
    state->transmitMicros = time.count();
}

std::vector<juce::String> VirtualMidiPortSystem::getViolations() const
{
    const std::lock_guard<std::mutex> lock (state->violationMutex);
    return state->violations;
}

int VirtualMidiPortSystem::getOverlappingSendCount() const   { return state->overlappingSends.load(); }
bool VirtualMidiPortSystem::isInputThreadDead() const         { return state->threadDead.load(); }
