#pragma once

#include "device/LumManager49.h"

#include <condition_variable>
#include <mutex>

/** Reads the keyboard's configuration, each answer releasing the next request: the
    numbers, the lists of modes, channels, minima and maxima, the MIDI channel, the
    knob mode, globals 5, 1, 7 and 8, the octave shift, then the hidden items' value
    resets. There are no acknowledgements: when an answer does not come the read
    stops there, until it is started again, aborted or waited out.

    Into the manager's own model (the read after each identification, as the manager's
    dispatch stores it), or into a model of its own for comparing, backing up or
    verifying: then the manager's model is left alone, and what the keyboard is never
    asked for (options, curves, the other globals) keeps the catalogue's defaults.

    Its owner feeds it the manager's events; they come on the MIDI input thread, where
    the next request is sent at once. Only the answer to the request last sent moves the
    read on: an answer to an earlier read (started again meanwhile) cannot. */
class ConfigurationReader
{
public:
    enum class Target { managerModel, ownModel };
    enum class Outcome { none, reading, completed, noAnswer, aborted };

    struct Listener
    {
        virtual ~Listener() = default;
        virtual void readReachedTheGlobals() {}      // the last global the editor shows has come
        virtual void readDeliveredItemValues() {}    // a list of item values came
        virtual void readEnded (Outcome) {}          // completed, or stopped by abort or a wait
    };

    ConfigurationReader (LumManager49& manager, Target target);
    ~ConfigurationReader();

    void setListener (Listener* listener)   { this->listener = listener; }

    /** Starts the read from its first request, whatever state it was in. Any thread. */
    void start();

    /** The next step of the read, if one is running. */
    void handleManagerEvent (int event, int first);

    /** Ends a running read; the answers that still come are ignored. */
    void abort();

    /** Blocks until the read ends, or until no answer came for this long (the read is
        then ended as unanswered). Answers the outcome. */
    Outcome waitUntilEnded (int answerTimeoutMs);

    bool isReading() const                  { return readingBack.load(); }
    Outcome getOutcome() const;

    /** What a read into its own model took in (the catalogue's defaults before the
        keyboard's answers). */
    SettingsModel getReadModel() const;

private:
    /** Which answer the read waits for now: its event, and its `first` (-1: any). */
    struct Expected
    {
        int event;
        int first;
    };

    bool takeAnswer (int event, int first, int& step);
    void ask (int step);
    void end (Outcome outcome);

    LumManager49& manager;
    const Target target;
    Listener* listener = nullptr;

    std::atomic<bool> readingBack { false };
    mutable std::mutex mutex;
    std::condition_variable changed;
    Outcome outcome = Outcome::none;
    int step = 0;                 // the request last sent; its answer is the one taken
    juce::uint32 lastRequestMs = 0;
    SettingsModel readModel;      // guarded by the manager's model lock
};
