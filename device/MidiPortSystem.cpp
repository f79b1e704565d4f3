#include "device/MidiPortSystem.h"

#include <mutex>

namespace
{
    std::mutex& processSendLock()
    {
        static std::mutex lock;
        return lock;
    }
}

void MidiOutputPort::sendMessageNow (const juce::MidiMessage& message)
{
    const std::lock_guard<std::mutex> lock (processSendLock());
    transmit (message);
}
