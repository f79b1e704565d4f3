#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** Hears what the keyboard sends as it is played: every message from the linked
    keyboard's input that is no SysEx frame, on the MIDI input thread. */
class LiveMessageListener
{
public:
    virtual ~LiveMessageListener() = default;
    virtual void liveMessageArrived (const juce::MidiMessage& message) = 0;
};
