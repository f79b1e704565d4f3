#include "device/LiveMessageQueue.h"

LiveMessageQueue::LiveMessageQueue (size_t l, std::function<void()> first)
    : limit (std::max<size_t> (2, l)), firstArrived (std::move (first)) {}

void LiveMessageQueue::liveMessageArrived (const juce::MidiMessage& message)
{
    bool first = false;
    {
        const std::lock_guard<std::mutex> lock (mutex);

        if (messages.size() >= limit)
            messages.erase (messages.begin(), messages.begin() + (std::ptrdiff_t) (limit / 2));

        first = messages.empty();
        messages.push_back (message);
    }

    if (first && firstArrived)
        firstArrived();
}

std::vector<juce::MidiMessage> LiveMessageQueue::take()
{
    const std::lock_guard<std::mutex> lock (mutex);
    return std::exchange (messages, {});
}

bool LiveMessageQueue::hasMessages() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return ! messages.empty();
}
