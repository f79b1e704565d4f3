#pragma once

#include "device/ControlCatalogue.h"
#include "device/ForwardReceiverSlot.h"
#include "device/InputPortSet.h"
#include "device/LiveMessageListener.h"
#include "device/LumManagerListener.h"
#include "device/MidiPortSystem.h"
#include "device/SendAllPlan.h"

#include <juce_events/juce_events.h>

#include <array>
#include <atomic>
#include <functional>
#include <map>
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
class LumMidiMessage49;
struct FoundKeyboard;

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

    /** What the keyboard sends as it is played. A listener is removed only once no message
        can reach it any more (the link dropped), since removing waits for no call. */
    void addLiveListener (LiveMessageListener* listener);
    void removeLiveListener (LiveMessageListener* listener);

    // The model.
    void resetItemDefaults();
    void rebuildNumberToItem();
    juce::CriticalSection& getModelLock() const noexcept    { return modelLock; }

    /** The whole model as a value, and the whole model replaced at once. */
    SettingsModel getModel() const;
    void setModel (const SettingsModel& model);

    /** One value of the model, read or set under the model lock. A value set is known
        unless told otherwise (an undo back to a value nobody knew). */
    std::optional<int> getValue (const ModelField& field) const;
    void setValue (const ModelField& field, std::optional<int> value, bool known = true);

    /** While any is registered, the keyboard's answers (lists, globals, curves) go into
        every registered model instead of the manager's own, which stays as it is: a read
        fills a model of its own. Each stored answer makes its value known there. */
    void addAnswerCapture (SettingsModel* capture);
    void removeAnswerCapture (SettingsModel* capture);
    std::array<juce::uint8, 4> getFirmwareRevision() const;

    // Talking to the keyboard. Each request answers false and sends nothing
    // without a keyboard output, else sends its frame and pauses 2 ms.

    /** Called after each frame sent; answering false stops the send there. */
    using SendProgress = std::function<bool (int framesSent, int framesPlanned)>;

    /** Sends the whole model (see SendAllPlan). Stops early when the keyboard's output
        disappears from the port list, and says so in its report. */
    SendAllReport sendAllToKeyboard (const SendProgress& progress = {});

    /** The same for another model; the manager's own is left as it is. */
    SendAllReport sendModel (const SettingsModel& model, const SendProgress& progress = {});

    /** What sendAllToKeyboard would send now. */
    SendAllPlan planSendAll() const;
    bool requestItemNumbers();
    bool requestItemParam (int param);
    bool requestMidiChannel();
    bool requestKnobMode();
    bool requestOctaveShift();
    bool requestGlobal (int index);
    bool requestCurve (int index);
    bool resetItemValue (ItemId item);

    /** Sends one message through the keyboard's output and pauses 2 ms; false when there is none. */
    bool sendToKeyboard (const juce::MidiMessage& message);

    /** True while the linked keyboard's output is still in the system's port list. */
    bool keyboardOutputIsListed();

    // The link.

    /** The search at start-up: every output is probed; when none answers, event 7. */
    void startScan();

    /** A later search of these outputs (every output when empty), after the link
        to a keyboard was dropped: it drops the link first and raises no event 7. */
    void searchAgain (const juce::StringArray& outputNames = {});

    /** Stops a running search: its timer and its probe output. */
    void stopScan();
    bool isSearching() const;
    bool isStartupSearchRunning() const;

    /** True while the firmware update holds the link (its receiver sees every message). */
    bool isLinkBorrowed();

    /** Forgets the keyboard: releases its output, closes every input, not connected. */
    void dropLink();

    /** Connects to these ports without a search, for a keyboard the identity request
        cannot find: opens the output and only this input. False when either is missing. */
    bool connectDirectly (const juce::String& inputName, const juce::String& outputName);

    /** The same for a keyboard a probe found, keeping the firmware revision it told. */
    bool linkToKeyboard (const FoundKeyboard& keyboard);

    bool isConnected() const;
    void openInputs();
    void closeInputs();
    bool connectPorts (const juce::String& inputName, const juce::String& outputName);

    /** Closes every input but the one of this name. */
    void closeInputsExcept (const juce::String& keptInputName);
    void releaseDeviceOutput();

    /** An extra receiver that sees every incoming message first. When this returns,
        no call into the previous receiver is still running. */
    void setForwardCallback (juce::MidiInputCallback* callback);

    bool hasDeviceOutput() const;
    MidiPortSystem& getPortSystem() const noexcept   { return ports; }
    juce::String getInputPortName() const;
    juce::String getOutputPortName() const;
    int getOpenInputCount() const;

    /** The linked keyboard's input no longer delivers (its device went, or was plugged in
        again under the same name and address). */
    bool keyboardInputIsDead() const;

    /** Replaces juce::Time::getMillisecondCounter, so a test can drive the search's clock. */
    void setMillisecondClock (std::function<juce::uint32()> clock);

    // The settings model; hold getModelLock() while reading or writing it.
    std::array<std::map<ItemId, int>, ItemParam::count> itemParams;
    std::map<int, ItemId> numberToItem;
    const std::set<ItemId> knownItemIds;
    std::array<juce::int16, globalCount> globals {};
    std::array<juce::int16, curveCount> curves {};
    std::set<ModelField> unknownValues;   // see SettingsModel::unknown

private:
    /** Where an answer is stored: the manager's own model, or a registered capture. */
    struct AnswerTarget
    {
        std::array<std::map<ItemId, int>, ItemParam::count>& itemParams;
        std::array<juce::int16, globalCount>& globals;
        std::array<juce::int16, curveCount>& curves;
        std::set<ModelField>& unknown;
    };

    /** Stores an answer in every capture, or in the manager's own model when there is none. */
    void storeAnswer (const std::function<void (AnswerTarget&)>& store);
    void storeGlobalAnswer (int index, int value);

    void receive (juce::MidiInput* source, const juce::String& sourceName, const juce::MidiMessage& message);
    void identify (const juce::String& sourceName, const juce::MidiMessage& message, bool again);
    juce::String outputPairedWith (const juce::String& inputName, const juce::String& probedName);
    void storeRevision (const juce::MidiMessage& identityReply);
    void openDeviceOutput (const juce::String& outputName);
    void dispatch (const juce::MidiMessage& message);
    void dispatchOwnFrame (const juce::MidiMessage& message);
    void dispatchNumbers (const LumMidiMessage49& frame);
    void dispatchParameterList (const LumMidiMessage49& frame);
    void dispatchControlChange (const juce::MidiMessage& message);
    void dispatchNoteOn (const juce::MidiMessage& message);
    void dispatchChannelPressure (const juce::MidiMessage& message);
    void notifyListeners (int event, int first, int second);
    void notifyLiveListeners (const juce::MidiMessage& message);

    void startSearch (const juce::StringArray& outputNames, bool reportFailure);
    void probeOutput (const juce::MidiDeviceInfo& device);
    void closeProbeOutput();
    juce::uint32 now() const;
    std::shared_ptr<MidiOutputPort> currentDeviceOutput() const;

    MidiPortSystem& ports;

    mutable juce::CriticalSection modelLock;
    std::array<juce::uint8, 4> firmwareRevision {};
    std::vector<SettingsModel*> answerCaptures;   // guarded by modelLock
    std::atomic<juce::int16> aftertouchZone { -1 };

    // Link state, guarded by linkLock.
    mutable juce::CriticalSection linkLock;
    std::unique_ptr<MidiOutputPort> probe;
    std::shared_ptr<MidiOutputPort> deviceOutput;   // shared: a sender keeps it alive while it sends
    juce::String inputPortName, outputPortName;
    bool connected = false;
    bool searching = false;
    bool reportSearchFailure = false;
    juce::Array<juce::MidiDeviceInfo> searchedOutputs;   // taken when the search started
    juce::String probedOutputName;
    int outputCount = 0;
    int probeIndex = 0;
    int passesLeft = 2;
    juce::uint32 lastTickMs = 0;
    std::vector<LumManagerListener*> listeners;
    std::vector<LiveMessageListener*> liveListeners;
    std::function<juce::uint32()> millisecondClock;

    InputPortSet inputs;
    ForwardReceiverSlot forwardReceiver;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LumManager49)
};
