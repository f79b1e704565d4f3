#pragma once

#include "device/LumManager49.h"

/** Watches the MIDI ports once the start-up search has run, cheaply: every two seconds
    on the message thread it compares the ports (names and identifiers, so a device
    plugged in again between two looks counts) with its last look, and does nothing
    more while they are the same (JUCE has no notification of device changes on
    Linux). When the connected keyboard's ports have gone, it drops the link and tells
    its listener; when outputs appear while no keyboard is connected, it has them
    probed as the search does, quietly, and probed again at the next looks (up to
    `probesAfterPlugIn` in all) while none of them answered: a keyboard still starting when
    its ports appeared answers a later probe. It stands aside while the start-up search
    runs and while the firmware update holds the link. */
class HotPlugWatcher : private juce::Timer
{
public:
    struct Listener
    {
        virtual ~Listener() = default;

        /** The link was dropped because the keyboard's ports are gone (message thread). */
        virtual void keyboardPortsVanished() = 0;

        /** A keyboard in update mode appeared while none is linked (message thread). */
        virtual void bootloaderAppeared (const juce::MidiDeviceInfo& port)   { juce::ignoreUnused (port); }
    };

    static constexpr int pollPeriodMs = 2000;
    static constexpr int probesAfterPlugIn = 4;

    HotPlugWatcher (LumManager49& manager, Listener& listener);
    ~HotPlugWatcher() override;

    /** Takes the ports as they are now as the last look, and starts watching. */
    void start();
    void stop();

    /** One look at the ports (what the timer does every two seconds). */
    void poll();

private:
    void timerCallback() override   { poll(); }
    void probeAgainIfUnanswered (const juce::Array<juce::MidiDeviceInfo>& outputs);

    LumManager49& manager;
    Listener& listener;
    juce::Array<juce::MidiDeviceInfo> knownInputs, knownOutputs;
    juce::StringArray unansweredOutputs;   // appeared, probed, not answered yet
    int probesLeft = 0;
};
