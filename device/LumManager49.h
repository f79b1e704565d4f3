#pragma once

#include "device/ControlCatalogue.h"
#include "device/LumManagerListener.h"
#include "device/MidiPortSystem.h"

#include <juce_events/juce_events.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <vector>

/** The program's single connection to the keyboard: it holds the settings model,
    finds the keyboard's ports, turns its answers into model updates and events,
    and sends requests and the whole model.

    Threads: the search timer, the send-all, resets, edits and documents run on the
    message thread; every incoming message, the identification and all events but
    event 7 on the MIDI input thread. The model is guarded by getModelLock(), the
    link state by a lock of its own; neither is held while a listener is called,
    a frame is sent or the thread pauses. */
class LumManager49 : public juce::Timer,
                     public MidiPortReceiver
{
public:
    explicit LumManager49 (MidiPortSystem& ports);
    ~LumManager49() override;

    // juce::Timer: the search tick, every 2000 ms.
    void timerCallback() override;

    // juce::MidiInputCallback: the entry point from JUCE's MIDI inputs.
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;
    void handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double) override {}

    // MidiPortReceiver: the entry point from ports without a juce::MidiInput.
    void handleIncomingPortMessage (const juce::String& sourceName, const juce::MidiMessage& message) override;

    void addListener (LumManagerListener* listener);

    // The model.
    void resetItemDefaults();
    void rebuildNumberToItem();
    juce::CriticalSection& getModelLock() const noexcept    { return modelLock; }
    std::array<juce::uint8, 4> getFirmwareRevision() const;

    // Talking to the keyboard. Each request answers false and sends nothing
    // without a keyboard output, else sends its frame and pauses 2 ms.
    void sendAllToKeyboard();

    /** What sendAllToKeyboard sends: every existing item's stored parameters (never
        item 65), the MIDI channel, curves 4, 1, 3 and the end of transfer. A value
        that a data byte cannot carry has its frame left out. */
    std::vector<juce::MidiMessage> buildSendAllFrames() const;
    bool requestItemNumbers();
    bool requestItemParam (int param);
    bool requestMidiChannel();
    bool requestKnobMode();
    bool requestOctaveShift();
    bool requestGlobal (int index);
    bool resetItemValue (ItemId item);

    /** Sends one message through the keyboard's output and pauses 2 ms; false when there is none. */
    bool sendToKeyboard (const juce::MidiMessage& message);

    // The link.
    void startScan();
    bool isConnected() const;
    void openInputs();
    void closeInputs();
    bool connectPorts (const juce::String& inputName, const juce::String& outputName);
    void releaseDeviceOutput();

    /** An extra receiver that sees every incoming message first. When this returns,
        no call into the previous receiver is still running. */
    void setForwardCallback (juce::MidiInputCallback* callback);

    bool hasDeviceOutput() const;
    juce::String getInputPortName() const;
    juce::String getOutputPortName() const;
    int getOpenInputCount() const;

    /** Replaces juce::Time::getMillisecondCounter, so a test can drive the search's clock. */
    void setMillisecondClock (std::function<juce::uint32()> clock);

    // The settings model; hold getModelLock() while reading or writing it.
    std::array<std::map<ItemId, int>, ItemParam::count> itemParams;
    std::map<int, ItemId> numberToItem;
    const std::set<ItemId> knownItemIds;
    std::array<juce::int16, globalCount> globals {};
    std::array<juce::int16, curveCount> curves {};

private:
    using InputList = std::vector<std::unique_ptr<MidiInputPort>>;

    void receive (juce::MidiInput* source, const juce::String& sourceName, const juce::MidiMessage& message);
    void forward (juce::MidiInput* source, const juce::MidiMessage& message);
    void identify (const juce::String& sourceName, const juce::MidiMessage& message);
    void dispatch (const juce::MidiMessage& message);
    void dispatchOwnFrame (const juce::MidiMessage& message);
    void dispatchNumbers (const juce::MidiMessage& message);
    void dispatchParameterList (const juce::MidiMessage& message);
    void dispatchControlChange (const juce::MidiMessage& message);
    void dispatchNoteOn (const juce::MidiMessage& message);
    void dispatchChannelPressure (const juce::MidiMessage& message);
    void notifyListeners (int event, int first, int second);

    void probeOutput (int index);
    void closeProbeOutput();
    juce::uint32 now() const;
    std::shared_ptr<MidiOutputPort> currentDeviceOutput() const;
    void stopAndDelete (InputList inputs);

    MidiPortSystem& ports;

    mutable juce::CriticalSection modelLock;
    std::array<juce::uint8, 4> firmwareRevision {};
    std::atomic<juce::int16> aftertouchZone { -1 };

    // Link state, guarded by linkLock.
    mutable juce::CriticalSection linkLock;
    InputList midiInputs;
    InputList retiredInputs;    // closed from inside a delivery; deleted later on the message thread
    std::unique_ptr<MidiOutputPort> probe;
    std::shared_ptr<MidiOutputPort> deviceOutput;   // shared: a sender keeps it alive while it sends
    juce::String inputPortName, outputPortName;
    bool connected = false;
    int outputCount = 0;
    int probeIndex = 0;
    int passesLeft = 2;
    juce::uint32 lastTickMs = 0;
    std::vector<LumManagerListener*> listeners;
    std::function<juce::uint32()> millisecondClock;

    // The forward receiver and the calls into it still running.
    std::mutex forwardMutex;
    std::condition_variable forwardDrained;
    juce::MidiInputCallback* forwardCallback = nullptr;
    int forwardCallsRunning = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LumManager49)
};
