#pragma once

#include "device/LiveMessageListener.h"

#include <functional>
#include <mutex>
#include <vector>

/** What the keyboard sends as it is played, queued on the MIDI input thread and taken
    all at once by another thread. Beyond `limit` messages the older half is dropped:
    whoever shows them wants the latest values. */
class LiveMessageQueue : public LiveMessageListener
{
public:
    /** `firstArrived` runs on the MIDI input thread when a message finds the queue empty. */
    explicit LiveMessageQueue (size_t limit, std::function<void()> firstArrived = {});

    void liveMessageArrived (const juce::MidiMessage& message) override;

    std::vector<juce::MidiMessage> take();
    bool hasMessages() const;

private:
    const size_t limit;
    const std::function<void()> firstArrived;
    mutable std::mutex mutex;
    std::vector<juce::MidiMessage> messages;   // guarded by mutex
};
