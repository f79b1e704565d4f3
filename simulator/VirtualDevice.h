#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <queue>
#include <thread>
#include <vector>

/** A device of the in-process port system with a thread of its own: what the
    program sends it is handled there, and what it sends arrives from there, as
    from the operating system's MIDI thread. */
class VirtualDevice
{
public:
    using Clock = std::chrono::steady_clock;

    VirtualDevice();
    virtual ~VirtualDevice();

protected:
    /** Starts the thread; call at the end of the derived constructor. */
    void startDevice();

    /** Stops the thread; call at the start of the derived destructor. */
    void stopDevice();

    /** Queues a message from the program, handled on the device thread when due (any thread). */
    void postIncoming (const juce::MidiMessage& message, Clock::duration delay = {});

    /** Queues a message to the program, sent from the device thread when due (any thread). */
    void postOutgoing (const juce::MidiMessage& message, Clock::duration delay = {});

    /** Runs something on the device thread once the delay has passed (any thread). */
    void postAction (std::function<void()> action, Clock::duration delay);

    /** Device thread: a message the program sent. */
    virtual void handleIncoming (const juce::MidiMessage& message) = 0;

    /** Device thread: a queued message is due to go to the program. */
    virtual void sendOutgoing (const juce::MidiMessage& message) = 0;

private:
    struct Event
    {
        Clock::time_point due;
        juce::uint64 sequence;
        bool incoming;
        juce::MidiMessage message;
        std::function<void()> action;

        bool operator> (const Event& other) const
        {
            return due != other.due ? due > other.due : sequence > other.sequence;
        }
    };

    void post (Event event);
    void runDevice();

    std::mutex mutex;
    std::condition_variable wakeUp;
    std::priority_queue<Event, std::vector<Event>, std::greater<Event>> events;
    juce::uint64 nextSequence = 0;
    bool stopping = false;
    std::thread thread;
};
