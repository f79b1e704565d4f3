#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** What an updater sends and reports through. */
class IFWHelper
{
public:
    virtual ~IFWHelper() = default;

    /** Sends one message to the keyboard's update port. */
    virtual void sendMidiMessage (const juce::MidiMessage& message) = 0;

    /** Progress of the transfer, 0 to 1. */
    virtual void reportProgress (double fraction) = 0;
};

/** A firmware updater: reads a firmware file and transfers it to the bootloader. */
class IFWUpdater
{
public:
    virtual ~IFWUpdater() = default;

    virtual void setHelper (IFWHelper* helper) = 0;

    /** Called after burn, whatever its outcome. */
    virtual void finish() = 0;

    virtual bool setFirmwareFile (const juce::String& path) = 0;

    /** True when the whole image was acknowledged. */
    virtual bool burn() = 0;

    /** Examines one message from the keyboard for an acknowledgement (MIDI input thread). */
    virtual void handleMidiMessage (const juce::MidiMessage& message) = 0;
};
