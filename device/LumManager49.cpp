#include "device/LumManager49.h"

#include "device/DeviceFrames.h"
#include "device/KeyboardProbe.h"
#include "device/FramePacing.h"
#include "device/LumMidiMessage49.h"

namespace
{
    constexpr int scanPeriodMs = 2000;
    constexpr int firstTickDelayMs = 500;
    constexpr int tickDebounceMs = 200;

    /** Data byte i of a short message, 0 when the message is shorter. */
    int dataByte (const juce::MidiMessage& message, int index)
    {
        return index < message.getRawDataSize() ? (int) message.getRawData()[index] : 0;
    }

    /** The live-control events that have an event code of their own. */
    int eventForControlItem (ItemId item)
    {
        switch (item)
        {
            case 64: return ManagerEvent::ModulationWheel;
            case 80: return ManagerEvent::SustainPedal;
            case 81: return ManagerEvent::ExpressionPedal;
            case 82: return ManagerEvent::BreathControl;
            case 83: return ManagerEvent::AuxPedal;
            default: return ManagerEvent::ControlMoved;
        }
    }

    /** Calls each listener of a list guarded by `lock`, copied out of it first: no listener
        is called under the lock. A flood of controller messages comes here thousands of
        times a second, so the usual one or two are copied without allocating. */
    template <typename Listener, typename Call>
    void callCopiedOut (const std::vector<Listener*>& list, juce::CriticalSection& lock, Call&& call)
    {
        constexpr size_t onTheStack = 4;
        std::array<Listener*, onTheStack> few {};
        std::vector<Listener*> many;
        size_t count = 0;
        {
            const juce::ScopedLock sl (lock);
            count = list.size();

            if (count <= onTheStack)
                std::copy (list.begin(), list.end(), few.begin());
            else
                many = list;
        }

        auto* const receivers = count <= onTheStack ? few.data() : many.data();

        for (size_t i = 0; i < count; ++i)
            call (receivers[i]);
    }

    int aftertouchZoneForNote (int note)
    {
        switch (note)
        {
            case 36: return 0x80;
            case 68: return 0x81;
            case 84: return 0x82;
            default: return -1;
        }
    }
}

LumManager49::LumManager49 (MidiPortSystem& portSystem)
    : knownItemIds (knownItemIdsFromCatalogue()),
      ports (portSystem),
      millisecondClock ([] { return juce::Time::getMillisecondCounter(); })
{
    resetItemDefaults();
    globals.fill (0);
    curves.fill (0);
}

LumManager49::~LumManager49()
{
    // The inputs go first, so that nothing arriving now finds a half-destroyed manager.
    inputs.deleteAll();
    stopTimer();
    closeProbeOutput();
    releaseDeviceOutput();
}

//==============================================================================
// The model.

void LumManager49::resetItemDefaults()
{
    const juce::ScopedLock sl (modelLock);
    applyCatalogueDefaults (itemParams);
    firmwareRevision.fill (0);
}

void LumManager49::rebuildNumberToItem()
{
    const juce::ScopedLock sl (modelLock);
    numberToItem.clear();

    // Ascending ItemIds: when items share a number the highest ItemId wins.
    for (const auto& [item, number] : itemParams[ItemParam::Number])
        numberToItem[number] = item;
}

std::array<juce::uint8, 4> LumManager49::getFirmwareRevision() const
{
    const juce::ScopedLock sl (modelLock);
    return firmwareRevision;
}

SettingsModel LumManager49::getModel() const
{
    const juce::ScopedLock sl (modelLock);
    SettingsModel model;
    model.itemParams = itemParams;
    model.globals = globals;
    model.curves = curves;
    model.unknown = unknownValues;
    return model;
}

void LumManager49::setModel (const SettingsModel& model)
{
    const juce::ScopedLock sl (modelLock);
    itemParams = model.itemParams;
    globals = model.globals;
    curves = model.curves;
    unknownValues = model.unknown;
}

std::optional<int> LumManager49::getValue (const ModelField& field) const
{
    return valueOf (getModel(), field);
}

void LumManager49::setValue (const ModelField& field, std::optional<int> value, bool known)
{
    const juce::ScopedLock sl (modelLock);
    auto model = getModel();
    ::setValue (model, field, value);

    if (! known)
        model.unknown.insert (field);

    setModel (model);
}

//==============================================================================
// Sending.

SendAllPlan LumManager49::planSendAll() const
{
    return ::planSendAll (getModel());
}

SendAllReport LumManager49::sendAllToKeyboard (const SendProgress& progress)
{
    return sendModel (getModel(), progress);
}

SendAllReport LumManager49::sendModel (const SettingsModel& model, const SendProgress& progress)
{
    const auto plan = ::planSendAll (model);
    SendAllReport report;
    report.framesPlanned = (int) plan.frames.size();
    report.leftOut = plan.leftOut;

    const auto output = currentDeviceOutput();

    if (output == nullptr)
    {
        report.noKeyboardOutput = true;
        return report;
    }

    // A port whose device has gone takes frames without a word; looking at the port
    // list every so often (about every 50 ms) finds out. Frames handed over since the last
    // look that still found it may never have crossed the cable: they do not count as sent.
    constexpr int framesBetweenPresenceChecks = 25;
    int framesSentWhilePresent = 0;

    for (const auto& frame : plan.frames)
    {
        if (report.framesSent % framesBetweenPresenceChecks == 0)
        {
            if (! keyboardOutputIsListed())
            {
                report.framesSent = framesSentWhilePresent;
                return report;
            }

            framesSentWhilePresent = report.framesSent;
        }

        output->sendMessageNow (frame);
        pauseAfterFrame();
        ++report.framesSent;

        if (progress && ! progress (report.framesSent, report.framesPlanned))
        {
            report.stopped = true;
            return report;
        }
    }

    report.completed = keyboardOutputIsListed();

    if (! report.completed)
        report.framesSent = framesSentWhilePresent;

    return report;
}

bool LumManager49::keyboardOutputIsListed()
{
    return ports.getOutputNames().contains (getOutputPortName());
}

bool LumManager49::sendToKeyboard (const juce::MidiMessage& message)
{
    const auto output = currentDeviceOutput();

    if (output == nullptr)
        return false;

    output->sendMessageNow (message);
    pauseAfterFrame();
    return true;
}

namespace
{
    bool sendIfBuilt (LumManager49& manager, const std::optional<juce::MidiMessage>& frame)
    {
        return frame.has_value() && manager.sendToKeyboard (*frame);
    }
}

bool LumManager49::requestItemNumbers()          { return sendIfBuilt (*this, buildRequestItemNumbers (0)); }
bool LumManager49::requestItemParam (int param)  { return sendIfBuilt (*this, buildRequestItemParam (param)); }
bool LumManager49::requestMidiChannel()          { return sendToKeyboard (buildRequestMidiChannel()); }
bool LumManager49::requestKnobMode()             { return sendToKeyboard (buildRequestKnobMode()); }
bool LumManager49::requestOctaveShift()          { return sendToKeyboard (buildRequestOctaveShift()); }
bool LumManager49::requestGlobal (int index)     { return sendIfBuilt (*this, buildRequestGlobal (index)); }
bool LumManager49::requestCurve (int index)      { return sendIfBuilt (*this, buildRequestCurve (index)); }
bool LumManager49::resetItemValue (ItemId item)  { return sendIfBuilt (*this, buildSetItemValue (item, 0)); }

//==============================================================================
// The search.

void LumManager49::startScan()
{
    startSearch (ports.getOutputNames(), true);
}

void LumManager49::searchAgain (const juce::StringArray& outputNames)
{
    stopScan();
    dropLink();
    startSearch (outputNames.isEmpty() ? ports.getOutputNames() : outputNames, false);
}

void LumManager49::startSearch (const juce::StringArray& outputNames, bool reportFailure)
{
    if (isTimerRunning())
        return;

    openInputs();

    // The outputs as they are now, by their identifiers: one that goes away meanwhile opens
    // nothing, and a device plugged in under its name is not taken for it.
    juce::Array<juce::MidiDeviceInfo> devices;

    for (const auto& device : ports.getOutputDevices())
        if (outputNames.contains (device.name))
            devices.add (device);

    {
        const juce::ScopedLock sl (linkLock);
        searchedOutputs = devices;
        outputCount = devices.size();
        connected = false;
        probeIndex = 0;
        passesLeft = 2;
        searching = outputCount > 0;
        reportSearchFailure = reportFailure;
    }

    if (devices.isEmpty())
        return;

    probeOutput (devices[0]);

    {
        const juce::ScopedLock sl (linkLock);
        lastTickMs = now() + (juce::uint32) firstTickDelayMs;
    }

    startTimer (scanPeriodMs);
}

void LumManager49::timerCallback()
{
    enum class Step { probe, end };
    auto step = Step::end;
    juce::MidiDeviceInfo outputToProbe;
    juce::String keyboardInput;
    bool found = false, report = false;

    {
        const juce::ScopedLock sl (linkLock);
        const auto t = now();

        if ((juce::int32) (t - lastTickMs) <= tickDebounceMs)
            return;

        lastTickMs = t;
        found = connected;

        if (! found && ++probeIndex < outputCount)
        {
            step = Step::probe;
        }
        else if (--passesLeft > 0 && ! found)
        {
            step = Step::probe;
            probeIndex = 0;
        }

        if (step == Step::probe)
        {
            outputToProbe = searchedOutputs[probeIndex];
        }
        else
        {
            // Decided under the lock: an identity reply from now on is not taken, so
            // the search cannot end as failed while a keyboard is being connected.
            searching = false;
            keyboardInput = inputPortName;
            report = reportSearchFailure;
        }
    }

    if (step == Step::probe)
    {
        probeOutput (outputToProbe);
        return;
    }

    stopTimer();
    closeProbeOutput();

    if (found)
    {
        closeInputsExcept (keyboardInput);   // the keyboard's input stays open for its answers
        return;
    }

    closeInputs();

    if (report)
        notifyListeners (ManagerEvent::SearchFailed, 0, 0);
}

void LumManager49::stopScan()
{
    stopTimer();
    closeProbeOutput();

    const juce::ScopedLock sl (linkLock);
    searching = false;
}

bool LumManager49::isSearching() const
{
    const juce::ScopedLock sl (linkLock);
    return searching;
}

bool LumManager49::isStartupSearchRunning() const
{
    const juce::ScopedLock sl (linkLock);
    return searching && reportSearchFailure;
}

bool LumManager49::isLinkBorrowed()
{
    return forwardReceiver.isSet();
}

void LumManager49::probeOutput (const juce::MidiDeviceInfo& device)
{
    closeProbeOutput();

    {
        const juce::ScopedLock sl (linkLock);
        probedOutputName = device.name;
    }

    auto output = ports.openOutput (device.identifier);

    if (output == nullptr)
        return;   // gone, or cannot be opened: skipped until the next tick

    output->sendMessageNow (buildIdentityRequest());

    std::unique_ptr<MidiOutputPort> previous;
    {
        const juce::ScopedLock sl (linkLock);
        previous = std::exchange (probe, std::move (output));
    }

    pauseAfterIdentityRequest();
}

void LumManager49::closeProbeOutput()
{
    std::unique_ptr<MidiOutputPort> closing;
    {
        const juce::ScopedLock sl (linkLock);
        closing = std::move (probe);
    }
}

juce::uint32 LumManager49::now() const
{
    return millisecondClock();
}

void LumManager49::setMillisecondClock (std::function<juce::uint32()> clock)
{
    const juce::ScopedLock sl (linkLock);
    millisecondClock = std::move (clock);
}

//==============================================================================
// The link. No port is opened or deleted while linkLock is held: JUCE takes its
// own callback lock there, which its MIDI thread holds while it calls us.

bool LumManager49::isConnected() const
{
    const juce::ScopedLock sl (linkLock);
    return connected;
}

void LumManager49::dropLink()
{
    {
        const juce::ScopedLock sl (linkLock);
        connected = false;
    }

    releaseDeviceOutput();
    closeInputs();
}

bool LumManager49::connectDirectly (const juce::String& inputName, const juce::String& outputName)
{
    stopScan();
    dropLink();

    const auto inputIdentifier = ports.inputIdentifierOf (inputName);

    if (inputIdentifier.isEmpty() || ! ports.getOutputNames().contains (outputName))
        return false;

    if (! inputs.openOne (ports, inputIdentifier, *this))
        return false;

    {
        const juce::ScopedLock sl (linkLock);
        connected = true;
        inputPortName = inputName;
        outputPortName = outputName;
    }

    openDeviceOutput (outputName);
    return hasDeviceOutput();
}

bool LumManager49::linkToKeyboard (const FoundKeyboard& keyboard)
{
    if (! connectDirectly (keyboard.inputName, keyboard.outputName))
        return false;

    const juce::ScopedLock sl (modelLock);
    firmwareRevision = keyboard.revision;
    return true;
}

void LumManager49::openInputs()
{
    inputs.openAll (ports, *this);
}

void LumManager49::closeInputs()
{
    inputs.closeAll();
}

void LumManager49::closeInputsExcept (const juce::String& keptInputName)
{
    inputs.closeAllExcept (keptInputName);
}

bool LumManager49::connectPorts (const juce::String& inputName, const juce::String& outputName)
{
    {
        const juce::ScopedLock sl (linkLock);
        inputPortName = inputName;
        outputPortName = outputName;
    }

    if (! ports.getOutputNames().contains (outputName))
        return false;

    openDeviceOutput (outputName);
    return hasDeviceOutput();
}

void LumManager49::openDeviceOutput (const juce::String& outputName)
{
    releaseDeviceOutput();
    std::shared_ptr<MidiOutputPort> opened = ports.openOutput (ports.outputIdentifierOf (outputName));

    std::shared_ptr<MidiOutputPort> previous;
    const juce::ScopedLock sl (linkLock);
    previous = std::exchange (deviceOutput, opened);
}

void LumManager49::releaseDeviceOutput()
{
    std::shared_ptr<MidiOutputPort> released;
    const juce::ScopedLock sl (linkLock);
    released.swap (deviceOutput);
}

std::shared_ptr<MidiOutputPort> LumManager49::currentDeviceOutput() const
{
    const juce::ScopedLock sl (linkLock);
    return deviceOutput;
}

bool LumManager49::hasDeviceOutput() const          { return currentDeviceOutput() != nullptr; }

juce::String LumManager49::getInputPortName() const
{
    const juce::ScopedLock sl (linkLock);
    return inputPortName;
}

juce::String LumManager49::getOutputPortName() const
{
    const juce::ScopedLock sl (linkLock);
    return outputPortName;
}

int LumManager49::getOpenInputCount() const
{
    return inputs.countOpen();
}

bool LumManager49::keyboardInputIsDead() const
{
    return isConnected() && inputs.hasDeadInput (getInputPortName());
}

void LumManager49::setForwardCallback (juce::MidiInputCallback* callback)
{
    forwardReceiver.set (callback);
}

void LumManager49::addListener (LumManagerListener* listener)
{
    const juce::ScopedLock sl (linkLock);
    listeners.push_back (listener);
}

void LumManager49::notifyListeners (int event, int first, int second)
{
    callCopiedOut (listeners, linkLock, [&] (LumManagerListener* l) { l->managerEvent (event, first, second, 0); });
}

//==============================================================================
// Incoming messages (MIDI input thread).

void LumManager49::handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message)
{
    receive (source, source != nullptr ? source->getName() : juce::String ("unknown"), message);
}

void LumManager49::handleIncomingPortMessage (const juce::String& sourceName, const juce::MidiMessage& message)
{
    receive (nullptr, sourceName, message);
}

void LumManager49::receive (juce::MidiInput* source, const juce::String& sourceName, const juce::MidiMessage& message)
{
    forwardReceiver.deliver (source, message);

    bool isLinked = false;
    juce::String keyboardInput;
    {
        const juce::ScopedLock sl (linkLock);
        isLinked = connected;
        keyboardInput = inputPortName;
    }

    if (! isLinked)
    {
        if (isIdentityReply (message))
            identify (sourceName, message, false);

        return;
    }

    if (sourceName != keyboardInput)
        return;

    if (message.isSysEx() && ! isOwnSysEx (message))
    {
        if (isIdentityReply (message))
            identify (sourceName, message, true);

        return;
    }

    dispatch (message);
}

juce::String LumManager49::outputPairedWith (const juce::String& inputName, const juce::String& probedName)
{
    // A late reply must not pair the keyboard's input with whatever output is probed by
    // then: an output named exactly as the input is the keyboard's own.
    const auto outputs = ports.getOutputNames();
    return outputs.contains (inputName) ? inputName : probedName;
}

void LumManager49::storeRevision (const juce::MidiMessage& identityReply)
{
    if (const auto revision = identityRevision (identityReply))
    {
        const juce::ScopedLock sl (modelLock);
        firmwareRevision = *revision;
    }
}

void LumManager49::identify (const juce::String& sourceName, const juce::MidiMessage& message, bool again)
{
    juce::String probedName;
    {
        // Claimed before anything else: a search tick from now on ends the search with
        // the keyboard, and closes every input but this one.
        const juce::ScopedLock sl (linkLock);

        if (! again && (connected || ! searching))
            return;

        connected = true;
        inputPortName = sourceName;

        // Again, from the keyboard already linked: its output stays, unless its input's
        // name says otherwise.
        probedName = again && outputPortName.isNotEmpty() ? outputPortName : probedOutputName;
    }

    const auto outputName = outputPairedWith (sourceName, probedName);

    {
        const juce::ScopedLock sl (linkLock);
        outputPortName = outputName;
    }

    storeRevision (message);
    openDeviceOutput (outputName);
    notifyListeners (ManagerEvent::KeyboardConnected, 0, 0);

    if (again)
        closeInputsExcept (sourceName);
}

void LumManager49::addLiveListener (LiveMessageListener* listener)
{
    const juce::ScopedLock sl (linkLock);
    liveListeners.push_back (listener);
}

void LumManager49::removeLiveListener (LiveMessageListener* listener)
{
    const juce::ScopedLock sl (linkLock);
    liveListeners.erase (std::remove (liveListeners.begin(), liveListeners.end(), listener), liveListeners.end());
}

void LumManager49::notifyLiveListeners (const juce::MidiMessage& message)
{
    callCopiedOut (liveListeners, linkLock, [&] (LiveMessageListener* l) { l->liveMessageArrived (message); });
}

void LumManager49::dispatch (const juce::MidiMessage& message)
{
    if (! message.isSysEx())
        notifyLiveListeners (message);

    if (message.isSysEx())
        dispatchOwnFrame (message);
    else if (message.isController())
        dispatchControlChange (message);
    else if (message.isPitchWheel())
        notifyListeners (ManagerEvent::PitchBend, pitchWheelItem, dataByte (message, 1) + 128 * dataByte (message, 2));
    else if (message.isNoteOn (false))
        dispatchNoteOn (message);
    else if (message.isChannelPressure())
        dispatchChannelPressure (message);
}

void LumManager49::dispatchOwnFrame (const juce::MidiMessage& message)
{
    const LumMidiMessage49 frame (message);
    const auto b = frameByte9 (message);
    const auto v = frameByte10 (message);

    if (frame.isItemConfigResponse())
        dispatchNumbers (frame);
    else if (isItemParamResponse (message))
        dispatchParameterList (frame);
    else if (message.getRawDataSize() <= FrameLayout::valueByte + 1)
        return;   // a single-value answer cut short carries no value: it changes nothing
    else if (frame.isItemValueResponse())
    {
        if (v <= 127)
            notifyListeners (ManagerEvent::ItemValue, b, v);
    }
    else if (frame.isMidiChannelResponse())
    {
        storeGlobalAnswer (b, v);
        notifyListeners (ManagerEvent::MidiChannelAnswer, v, 0);
    }
    else if (frame.isKnobModeResponse())
    {
        storeGlobalAnswer (b, v);
        notifyListeners (ManagerEvent::KnobModeAnswer, v, 0);
    }
    else if (frame.isOctaveShiftResponse())
    {
        const auto shift = decodeSevenBitSigned (frame.getOctaveShift());
        storeGlobalAnswer (b, shift);
        notifyListeners (ManagerEvent::OctaveShiftAnswer, shift, 0);
    }
    else if (isGlobalResponse (message))
    {
        storeGlobalAnswer (b, v);
        notifyListeners (ManagerEvent::GlobalAnswer, b, v);
    }
    else if (isCurveResponse (message))
    {
        if (juce::isPositiveAndBelow (b, curveCount))
            storeAnswer ([b, v] (AnswerTarget& target) {
                target.curves[(size_t) b] = (juce::int16) v;
                target.unknown.erase (ModelField::curve (b));
            });

        notifyListeners (ManagerEvent::CurveAnswer, b, v);
    }
}

void LumManager49::storeAnswer (const std::function<void (AnswerTarget&)>& store)
{
    const juce::ScopedLock sl (modelLock);

    if (answerCaptures.empty())
    {
        AnswerTarget own { itemParams, globals, curves, unknownValues };
        store (own);
        return;
    }

    for (auto* capture : answerCaptures)
    {
        AnswerTarget target { capture->itemParams, capture->globals, capture->curves, capture->unknown };
        store (target);
    }
}

void LumManager49::storeGlobalAnswer (int index, int value)
{
    if (juce::isPositiveAndBelow (index, globalCount))
        storeAnswer ([index, value] (AnswerTarget& target) {
            target.globals[(size_t) index] = (juce::int16) value;
            target.unknown.erase (ModelField::global (index));
        });
}

void LumManager49::addAnswerCapture (SettingsModel* capture)
{
    const juce::ScopedLock sl (modelLock);

    if (std::find (answerCaptures.begin(), answerCaptures.end(), capture) == answerCaptures.end())
        answerCaptures.push_back (capture);
}

void LumManager49::removeAnswerCapture (SettingsModel* capture)
{
    const juce::ScopedLock sl (modelLock);
    answerCaptures.erase (std::remove (answerCaptures.begin(), answerCaptures.end(), capture), answerCaptures.end());
}

void LumManager49::dispatchNumbers (const LumMidiMessage49& frame)
{
    const auto pairs = frame.getItemConfigPairs();
    bool intoOwnModel = false;

    storeAnswer ([this, &pairs, &intoOwnModel] (AnswerTarget& target) {
        for (size_t i = 0; i + 1 < pairs.size(); i += 2)
            if (knownItemIds.count (pairs[i]) != 0)
            {
                target.itemParams[ItemParam::Number][pairs[i]] = pairs[i + 1];
                target.unknown.erase (ModelField::item (pairs[i], ItemParam::Number));
            }

        intoOwnModel = &target.itemParams == &itemParams;
    });

    if (intoOwnModel)
        rebuildNumberToItem();

    if (pairs.size() == 2)
        notifyListeners (ManagerEvent::NumbersArrived, pairs[0], pairs[1]);
    else if (pairs.size() > 2)
        notifyListeners (ManagerEvent::NumbersArrived, 0, 0);
}

void LumManager49::dispatchParameterList (const LumMidiMessage49& frame)
{
    const auto param = dataByte (frame, FrameLayout::groupByte);
    const auto pairs = frame.getItemConfigPairs();

    storeAnswer ([this, param, &pairs] (AnswerTarget& target) {
        for (size_t i = 0; i + 1 < pairs.size(); i += 2)
            if (knownItemIds.count (pairs[i]) != 0)
            {
                target.itemParams[(size_t) param][pairs[i]] = pairs[i + 1];
                target.unknown.erase (ModelField::item (pairs[i], param));
            }
    });

    notifyListeners (ManagerEvent::ParameterListArrived, param, 0);
}

void LumManager49::dispatchControlChange (const juce::MidiMessage& message)
{
    ItemId item = 0;
    {
        const juce::ScopedLock sl (modelLock);

        if (numberToItem.empty())
            rebuildNumberToItem();

        const auto found = numberToItem.find (dataByte (message, 1));

        if (found == numberToItem.end())
            return;

        item = found->second;
    }

    auto value = dataByte (message, 2);
    const auto event = eventForControlItem (item);

    // The two endless encoders send sign and magnitude.
    if (event == ManagerEvent::ControlMoved && (item == 49 || item == 51))
        value = decodeSignMagnitude (value);

    notifyListeners (event, item, value);
}

void LumManager49::dispatchNoteOn (const juce::MidiMessage& message)
{
    const auto zone = aftertouchZoneForNote (dataByte (message, 1));

    if (zone > 0)
        aftertouchZone.store ((juce::int16) zone);
}

void LumManager49::dispatchChannelPressure (const juce::MidiMessage& message)
{
    const auto zone = aftertouchZone.load();

    if (zone > 0)
        notifyListeners (ManagerEvent::Aftertouch, zone, dataByte (message, 1));
}
