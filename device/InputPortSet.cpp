#include "device/InputPortSet.h"

#include <algorithm>
#include <thread>

namespace
{
    bool isOnMessageThread()
    {
        auto* mm = juce::MessageManager::getInstanceWithoutCreating();
        return mm != nullptr && mm->isThisTheMessageThread();
    }
}

void InputPortSet::deleteAll()
{
    InputList closing;
    {
        const juce::ScopedLock sl (lock);
        closing.swap (open);
        std::move (retired.begin(), retired.end(), std::back_inserter (closing));
        retired.clear();
    }
    stopAndDelete (std::move (closing));
}

void InputPortSet::openAll (MidiPortSystem& ports, MidiPortReceiver& receiver)
{
    waitForInputThreadToSettle();
    const auto devices = ports.getInputDevices();

    for (int i = 0; i < devices.size(); ++i)
    {
        auto input = ports.openInput (devices[i].identifier, receiver);

        if (input != nullptr)
            input->start();

        const juce::ScopedLock sl (lock);
        const auto position = std::min ((size_t) i, open.size());
        open.insert (open.begin() + (std::ptrdiff_t) position, std::move (input));
    }
}

bool InputPortSet::openOne (MidiPortSystem& ports, const juce::String& identifier, MidiPortReceiver& receiver)
{
    waitForInputThreadToSettle();
    auto input = ports.openInput (identifier, receiver);

    if (input == nullptr)
        return false;

    input->start();
    const juce::ScopedLock sl (lock);
    open.push_back (std::move (input));
    return true;
}

void InputPortSet::waitForInputThreadToSettle()
{
    std::chrono::steady_clock::time_point settled;
    {
        const juce::ScopedLock sl (lock);
        settled = mayStartAgainAt;
    }

    // JUCE's input thread, stopped when the last input closed, must really have ended
    // before an input starts again, or it is not restarted and every input stays silent.
    if (std::chrono::steady_clock::now() < settled)
        std::this_thread::sleep_until (settled);
}

void InputPortSet::closeAllExcept (const juce::String& keptInputName)
{
    InputList closing;
    bool noneLeft = false;
    {
        const juce::ScopedLock sl (lock);

        for (auto& input : open)
            if (input != nullptr && (keptInputName.isEmpty() || input->getName() != keptInputName))
                closing.push_back (std::move (input));

        noneLeft = std::none_of (open.begin(), open.end(), [] (const auto& in) { return in != nullptr; });

        if (noneLeft)
            open.clear();
    }

    const bool stoppedTheLast = noneLeft && ! closing.empty();
    retireOrDelete (std::move (closing));

    // Counted from when the last input has really stopped (deleting waits for a delivery in flight).
    if (stoppedTheLast)
    {
        const juce::ScopedLock sl (lock);
        mayStartAgainAt = std::chrono::steady_clock::now()
                          + std::chrono::milliseconds (MidiPortSystem::inputThreadStopMs + 50);
    }
}

void InputPortSet::retireOrDelete (InputList closing)
{
    if (isOnMessageThread())
    {
        InputList retiredEarlier;
        {
            const juce::ScopedLock sl (lock);
            retiredEarlier.swap (retired);
        }
        stopAndDelete (std::move (retiredEarlier));
        stopAndDelete (std::move (closing));
        return;
    }

    // Called from inside a delivery: an input cannot be deleted from its own callback,
    // so it is stopped now and deleted later on the message thread.
    for (auto& input : closing)
        input->stop();

    const juce::ScopedLock sl (lock);

    for (auto& input : closing)
        retired.push_back (std::move (input));
}

bool InputPortSet::hasDeadInput (const juce::String& name) const
{
    const juce::ScopedLock sl (lock);
    return std::any_of (open.begin(), open.end(), [&name] (const auto& input) {
        return input != nullptr && input->getName() == name && ! input->isStillConnected();
    });
}

int InputPortSet::countOpen() const
{
    const juce::ScopedLock sl (lock);
    return (int) std::count_if (open.begin(), open.end(), [] (const auto& in) { return in != nullptr; });
}

void InputPortSet::stopAndDelete (InputList inputs)
{
    for (auto& input : inputs)
        if (input != nullptr)
            input->stop();

    inputs.clear();   // deleting waits for a delivery still running
}
