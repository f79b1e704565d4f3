#pragma once

#include "simulator/FrameLog.h"
#include "simulator/MidiByteStreamParser.h"
#include "simulator/RawMidiPort.h"
#include "simulator/SimulatedKeyboard.h"
#include "simulator/UsbGadget.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

/** Puts the simulated keyboard at the far end of a real USB cable: the keyboard keeps
    its in-process ports (so its receive buffer, answers, faults and bootloader are the
    ones the tests know), and this bridge opens them as the program would and pumps
    bytes between them and the raw MIDI device of a USB MIDI gadget. What comes over
    the cable is cut into messages, logged, and handed to the keyboard stamped with
    the time it crossed; what the keyboard sends goes out on the cable.

    The gadget mirrors the keyboard's presence: when the keyboard's ports go, the
    gadget is pulled out; when they come back, it is plugged in again under the
    product string its port name is made of ("Vantor 49 MIDI 1" makes "Vantor 49",
    the bootloader's "USB A MIDI 1" makes "USB A"), so the host re-enumerates it as
    it does a real keyboard restarting into its bootloader and back. */
class RawMidiBridge : private MidiPortReceiver
{
public:
    RawMidiBridge (VirtualMidiPortSystem& ports, SimulatedKeyboard& keyboard, UsbGadget& gadget,
                   juce::String rawMidiDevice, FrameLog& log);
    ~RawMidiBridge() override;

    void start();
    void stop();

    /** True once the gadget shows the keyboard as it is now (plugged in with its
        cable open, or pulled out). */
    bool isMirrored() const;

    /** The USB product string for a port name: ALSA names a USB MIDI device's ports
        after its product, followed by " MIDI" and the port's number. */
    static juce::String productFor (const juce::String& portName);

private:
    struct KeyboardPorts
    {
        juce::String name, identifier;
    };

    void run();
    std::optional<KeyboardPorts> keyboardPortsNow();
    void mirror (const std::optional<KeyboardPorts>& now);
    void adoptOrReplug (const KeyboardPorts& now);
    void openCable();
    void closeCable();
    void openKeyboardPorts (const KeyboardPorts& now);
    void pumpFromCable();
    void deliverToKeyboard (const juce::MidiMessage& message);
    void reopenCableAfterOutsideReplug();
    void noteReadLateness (RawMidiPort::Clock::time_point arrival);

    // The keyboard's thread: what it sends goes out on the cable.
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message) override;
    void handleIncomingPortMessage (const juce::String& sourceName, const juce::MidiMessage& message) override;

    VirtualMidiPortSystem& ports;
    SimulatedKeyboard& keyboard;
    UsbGadget& gadget;
    const juce::String rawMidiDevice;
    FrameLog& log;
    MidiByteStreamParser parser;

    std::mutex cableMutex;
    std::unique_ptr<RawMidiPort> cable;        // guarded by cableMutex
    bool cableWentUnasked = false;             // bridge thread only

    std::unique_ptr<MidiInputPort> fromKeyboard;
    std::unique_ptr<MidiOutputPort> toKeyboard;
    std::optional<KeyboardPorts> mirrored;     // bridge thread only
    bool firstLook = true;
    std::atomic<bool> mirroredNow { false };
    int lostFramesSeen = 0;
    size_t chunksRead = 0, chunksReadLate = 0;   // late: read more than lateReadMs after they arrived
    double latestReadMs = 0.0;
    size_t overrunsSeen = 0;

    std::atomic<bool> stopping { false };
    std::thread thread;
};
