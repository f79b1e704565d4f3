#pragma once

#include <juce_core/juce_core.h>

/** Asks ALSA's sequencer how many subscriptions this process holds on a port, by the
    identifier JUCE gives it ("24-0", client and port). JUCE opens an input even when its
    subscription to the device is refused (another program holds the device's raw MIDI
    port), and such an input never delivers a byte; comparing the count before and after
    opening tells. Answers -1 where there is no sequencer to ask (another system, or no
    ALSA at all): nothing can be told then. */
int countSubscriptionsFromThisProcess (const juce::String& portIdentifier);
