#include "device/ForwardReceiverSlot.h"

void ForwardReceiverSlot::set (juce::MidiInputCallback* receiver)
{
    std::unique_lock<std::mutex> lock (mutex);
    current = receiver;
    drained.wait (lock, [this] { return callsRunning == 0; });
}

bool ForwardReceiverSlot::isSet()
{
    const std::lock_guard<std::mutex> lock (mutex);
    return current != nullptr;
}

void ForwardReceiverSlot::deliver (juce::MidiInput* source, const juce::MidiMessage& message)
{
    juce::MidiInputCallback* target = nullptr;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        target = current;

        if (target == nullptr)
            return;

        ++callsRunning;
    }

    target->handleIncomingMidiMessage (source, message);

    {
        const std::lock_guard<std::mutex> lock (mutex);
        --callsRunning;
    }
    drained.notify_all();
}
