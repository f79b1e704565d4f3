#pragma once

#include "device/LumManager49.h"

#include <condition_variable>
#include <functional>
#include <mutex>

/** Reads the keyboard's whole configuration into a model of its own, each answer
    releasing the next request: the numbers, the lists of modes, channels, minima and
    maxima, the MIDI channel, the knob mode, globals 5, 1, 7 and 8, the octave shift,
    then the hidden items' value resets. Then it asks for what the keyboard is not known
    to answer: the options and the curves a send writes, all at once and with a short
    wait. What the keyboard does not tell stays unknown in the model (see
    SettingsModel::unknown), so that a send leaves it as the keyboard holds it.

    The model is handed over only when the read is complete; the manager's own model is
    never touched, nor the model of another read running at the same time.

    Its owner passes it the manager's events (MIDI input thread); the read itself blocks
    the thread that calls it, which may be the message thread (the answers come on the
    MIDI input thread) but never the MIDI input thread. */
class KeyboardReader
{
public:
    enum class Outcome
    {
        completed,
        noKeyboard,     // no keyboard output to ask
        noAnswer,       // a request the keyboard always answers got no answer in time
        keyboardGone,   // its ports went away during the read
        stopped         // the caller asked it to stop
    };

    struct Result
    {
        Outcome outcome = Outcome::noKeyboard;
        SettingsModel model;   // what the keyboard told; complete only when the read completed

        bool completed() const noexcept   { return outcome == Outcome::completed; }
    };

    /** How many messages a whole read sends: twelve requests, eight resets of the hidden
        items' values, four requests of what the keyboard may not answer. */
    static constexpr int messagesSent = 12 + 8 + 4;

    /** How long an answer the keyboard always gives may take. */
    static constexpr int answerTimeoutMs = 1000;

    /** The shortest wait for the answers the keyboard is not known to give. */
    static constexpr int optionalAnswerWaitMs = 100;

    explicit KeyboardReader (LumManager49& manager);
    ~KeyboardReader();

    /** The whole read. `shouldStop` is asked while it waits; `progress` hears 0..1 as the
        answers come. */
    Result read (const std::function<bool()>& shouldStop = {},
                 const std::function<void (double)>& progress = {});

    /** Asks the keyboard for one value (one request, its answer): nothing when it did not
        answer in time or the caller stopped it, or for a field no request answers. */
    std::optional<int> readField (const ModelField& field, const std::function<bool()>& shouldStop = {});

    /** One of the manager's events (MIDI input thread). */
    void handleManagerEvent (int event, int first);

    bool isReading() const;

private:
    struct Step;
    struct Answer
    {
        int event;
        int first;   // -1: any

        bool matches (int e, int f) const noexcept   { return e == event && (first < 0 || f == first); }
    };

    static std::optional<Step> stepAnswering (const ModelField& field);
    void beginReading();
    SettingsModel endReading();
    Outcome runRequiredSteps (const std::function<bool()>& shouldStop, const std::function<void (double)>& progress);
    void askOptionalValues (const std::function<bool()>& shouldStop);
    /** Until every awaited answer has come (true), the time is up or the caller stops it. */
    bool awaitAnswers (int timeoutMs, const std::function<bool()>& shouldStop);
    static const std::vector<Step>& requiredSteps();
    void expect (const std::vector<Answer>& answers);
    int optionalWaitMs() const;

    LumManager49& manager;
    SettingsModel model;          // written by the manager under its model lock

    mutable std::mutex mutex;
    std::condition_variable answered;
    bool reading = false;
    std::vector<Answer> awaited;  // answers not yet come
    juce::uint32 slowestAnswerMs = 0;
};
