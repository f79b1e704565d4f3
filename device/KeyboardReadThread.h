#pragma once

#include "device/KeyboardReader.h"

#include <juce_core/juce_core.h>

/** Reads the keyboard on a thread of its own, for a caller that must not wait: the
    editor after each identification. A read asked for while one runs starts again from
    its first request; a cancelled read hands nothing over. */
class KeyboardReadThread : private juce::Thread
{
public:
    struct Listener
    {
        virtual ~Listener() = default;

        /** A read has ended, completed or not (on the read's thread). */
        virtual void keyboardReadEnded (const KeyboardReader::Result& result) = 0;
    };

    KeyboardReadThread (LumManager49& manager, Listener& listener);
    ~KeyboardReadThread() override;

    /** Starts a read, or starts the running one again (any thread). */
    void startRead();

    /** Ends a running read without handing it over (any thread). */
    void cancel();

    bool isReading() const;

    /** Waits until no read runs; false when one still does after this long. */
    bool waitUntilIdle (int timeoutMs) const;

    /** One of the manager's events (MIDI input thread). */
    void handleManagerEvent (int event, int first)   { reader.handleManagerEvent (event, first); }

private:
    void run() override;
    bool restartOrCancelAsked();

    KeyboardReader reader;
    Listener& listener;
    juce::WaitableEvent readAsked;
    std::atomic<bool> restart { false }, cancelled { false }, busy { false };
};
