#pragma once

#include "device/MidiPortSystem.h"

#include <atomic>
#include <map>

/** Which ports answer the identity request as the keyboard: every input is opened, each
    output is sent the request in turn and given half a second, as the search does it. */
struct IdentityAnswers
{
    std::map<juce::String, juce::String> revisionByInput;    // input name -> "1.05"
    std::map<juce::String, juce::String> revisionByOutput;   // output probed when it answered

    /** "   <- the keyboard, firmware 1.05", or nothing. */
    juce::String describeInput (const juce::String& name) const;
    juce::String describeOutput (const juce::String& name) const;
};

IdentityAnswers probeEveryOutput (MidiPortSystem& ports, const std::atomic<bool>& interrupted);
