#pragma once

#include "device/ModelField.h"
#include "device/SettingsModel.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

/** A value the send leaves out because a data byte cannot carry it. */
struct LeftOutValue
{
    ModelField field;
    int value;
};

/** What "Send to Keyboard" sends: every existing item's stored parameters (never the
    pitch wheel), the globals the editor shows (the MIDI channel first), curves 4, 1, 3
    and the end of transfer, each frame followed by a 2 ms pause. A value the program
    does not know, or that a data byte cannot carry, has its frame left out: the
    keyboard keeps its own value there. */
struct SendAllPlan
{
    std::vector<juce::MidiMessage> frames;

    /** The values the frames set, in the order they are sent. */
    std::vector<ModelField> sentFields;

    /** How many values were left out because the keyboard never told them. */
    int unknownLeftOut = 0;

    /** The values left out that the user can see and change; the hidden items'
        number -1 ("none") is left out by design and not listed. */
    std::vector<LeftOutValue> leftOut;
};

SendAllPlan planSendAll (const SettingsModel& model);

/** The frame that sets one value on the keyboard; nothing for a value no data byte carries. */
std::optional<juce::MidiMessage> setFrameFor (const ModelField& field, int value);

/** How a send went. */
struct SendAllReport
{
    int framesPlanned = 0;
    int framesSent = 0;
    std::vector<LeftOutValue> leftOut;

    /** False when there was no keyboard output, it disappeared during the send, or the
        send was stopped. */
    bool completed = false;
    bool noKeyboardOutput = false;
    bool stopped = false;   // the caller's progress answered false

    /** The keyboard's output went away during the send. */
    bool keyboardWentAway() const noexcept   { return ! completed && ! noKeyboardOutput && ! stopped; }
};
