#pragma once

#include "device/KeyboardReader.h"

/** One edit sent to the keyboard on its own and checked there: its set frame and the
    end of transfer, each paced as every frame is, then the one request whose answer
    carries the value. */
struct FieldSendReport
{
    enum class Outcome
    {
        checked,       // the keyboard answered the value sent
        differs,       // it answered another value
        noAnswer,      // it did not answer the request in time
        noKeyboard,    // no keyboard output: nothing was sent
        keyboardGone,  // its output went away before the answer
        notSendable    // no frame carries this value: nothing was sent
    };

    Outcome outcome = Outcome::noKeyboard;
    ModelField field;
    int sent = 0;
    std::optional<int> keyboardHolds;

    bool checked() const noexcept   { return outcome == Outcome::checked; }

    /** The status line: "Sent and checked: Bnk1:P1 - Cutoff, CC number", or what went wrong. */
    juce::String describe() const;
};

/** Blocks the calling thread (never the MIDI input thread) until the answer or its timeout. */
FieldSendReport sendFieldAndCheck (LumManager49& manager, KeyboardReader& reader, const ModelField& field, int value);

/** "Bnk1:P1 - Cutoff, CC number" or "Split point". */
juce::String fieldSendName (const ModelField& field);
