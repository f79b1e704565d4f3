#include "device/KeyboardReadThread.h"

KeyboardReadThread::KeyboardReadThread (LumManager49& manager, Listener& l)
    : juce::Thread ("keyboard read"), reader (manager), listener (l)
{
    startThread();
}

KeyboardReadThread::~KeyboardReadThread()
{
    signalThreadShouldExit();
    readAsked.signal();
    stopThread (KeyboardReader::answerTimeoutMs * 2);
}

void KeyboardReadThread::startRead()
{
    cancelled = false;
    restart = true;
    readAsked.signal();
}

void KeyboardReadThread::cancel()
{
    cancelled = true;
    restart = false;
}

bool KeyboardReadThread::isReading() const
{
    return busy.load() || restart.load();
}

bool KeyboardReadThread::restartOrCancelAsked()
{
    return restart.load() || cancelled.load() || threadShouldExit();
}

void KeyboardReadThread::run()
{
    while (! threadShouldExit())
    {
        readAsked.wait (-1);

        for (;;)
        {
            busy = true;

            if (threadShouldExit() || ! restart.exchange (false))
                break;

            const auto result = reader.read ([this] { return restartOrCancelAsked(); });

            if (restart.load())
                continue;   // asked again meanwhile: from the first request

            if (! cancelled.load() && ! threadShouldExit())
                listener.keyboardReadEnded (result);
        }

        busy = false;
    }
}

bool KeyboardReadThread::waitUntilIdle (int timeoutMs) const
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (isReading())
    {
        if (juce::Time::getMillisecondCounter() >= deadline)
            return false;

        juce::Thread::sleep (5);
    }

    return true;
}
