#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>
#include <thread>

/** Reads lines from a named pipe on a thread of its own and hands each to a handler.
    The pipe is opened for writing too, so it never reads an end of file when the
    last writer goes: `echo cc 1 74 64 > FIFO` can be run any number of times. */
class CommandFifo
{
public:
    using LineHandler = std::function<void (const juce::String&)>;

    /** Makes the FIFO if it is not there. */
    CommandFifo (const juce::String& path, LineHandler handler);
    ~CommandFifo();

    bool isOpen() const noexcept   { return descriptor >= 0; }

private:
    void run();

    LineHandler handler;
    int descriptor = -1;
    int wakePipe[2] { -1, -1 };
    std::thread thread;
};
