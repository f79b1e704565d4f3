#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <condition_variable>
#include <mutex>

/** One optional receiver that sees every incoming message before the device manager
    does (the firmware update's, while it borrows the link). Replacing it waits until
    no call into the previous receiver is still running, so that receiver may be
    destroyed as soon as it has been replaced. */
class ForwardReceiverSlot
{
public:
    /** Replaces the receiver (null: none). Never from inside a delivery. */
    void set (juce::MidiInputCallback* receiver);

    bool isSet();

    /** Hands the message to the receiver, if there is one; any thread. */
    void deliver (juce::MidiInput* source, const juce::MidiMessage& message);

private:
    std::mutex mutex;
    std::condition_variable drained;
    juce::MidiInputCallback* current = nullptr;
    int callsRunning = 0;
};
