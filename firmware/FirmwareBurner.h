#pragma once

#include "firmware/IFWUpdater.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <atomic>
#include <functional>
#include <mutex>

class HalvekFWUpdater;
class LumManager49;

/** One burn of a firmware image through the manager's link, on whichever thread calls
    burn(): it creates the updater, sends through the manager's keyboard output (each
    frame followed by the 2 ms pause), passes progress on, and hands the updater every
    message the manager forwards to it from the MIDI input thread, but only while the
    updater exists. Used by the editor's progress window and by the command line. */
class FirmwareBurner : public juce::MidiInputCallback,
                       public IFWHelper
{
public:
    FirmwareBurner (LumManager49& manager, std::function<void (double)> progress);
    ~FirmwareBurner() override;

    /** Where the transfer's diagnostic lines go (the platform's debug output unless set). */
    void setTraceSink (std::function<void (const juce::String&)> sink)   { traceSink = std::move (sink); }

    /** True when the whole image was acknowledged. */
    bool burn (const juce::String& firmwarePath);

    /** True once a frame of the image went out: the keyboard's firmware is then being replaced. */
    bool didStartTransfer() const noexcept   { return transferStarted.load(); }

    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;
    void handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double) override {}
    void sendMidiMessage (const juce::MidiMessage& message) override;
    void reportProgress (double fraction) override;

private:
    LumManager49& manager;
    std::function<void (double)> progress;
    std::mutex updaterMutex;   // the MIDI input thread reaches the updater only under it
    std::unique_ptr<HalvekFWUpdater> updater;
    std::atomic<bool> transferStarted { false };
    std::function<void (const juce::String&)> traceSink;
};
