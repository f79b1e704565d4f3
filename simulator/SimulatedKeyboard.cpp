#include "simulator/SimulatedKeyboard.h"

#include "device/ControlCatalogue.h"
#include "device/DeviceFrames.h"
#include "device/LiveMessageMap.h"
#include "device/LumMidiMessage49.h"
#include "device/SettingsModel.h"

using namespace FrameLayout;

namespace
{
    const juce::uint8 foreignManufacturer[] { 0x00, 0x20, 0x6B };

    juce::MidiMessage messageFromBytes (const std::vector<juce::uint8>& bytes)
    {
        return juce::MidiMessage (bytes.data(), (int) bytes.size(), 0.0);
    }

    std::vector<juce::uint8> bytesOf (const juce::MidiMessage& message)
    {
        return { message.getRawData(), message.getRawData() + message.getRawDataSize() };
    }

    bool isIdentityRequest (const juce::MidiMessage& message)
    {
        const auto request = buildIdentityRequest();
        return message.getRawDataSize() == request.getRawDataSize()
               && std::equal (request.getRawData(), request.getRawData() + request.getRawDataSize(),
                              message.getRawData());
    }

    /** A whole frame of the keyboard's protocol, as its firmware checks it: the exact
        header, nothing but data bytes inside, and the size of its command. */
    bool isWellFormedFrame (const juce::MidiMessage& message)
    {
        const auto* data = message.getRawData();
        const auto size = message.getRawDataSize();

        if (size < 9 || data[0] != sysExStart || data[size - 1] != sysExEnd)
            return false;

        const juce::uint8 header[] { sysExStart, manufacturer[0], manufacturer[1], manufacturer[2], allDevices, model };

        if (! std::equal (std::begin (header), std::end (header), data) || data[7] != 0)
            return false;

        if (! std::all_of (data + 1, data + size - 1, [] (juce::uint8 b) { return b < 0x80; }))
            return false;

        switch (data[commandByte])
        {
            case commandRequest:       return size == 11;
            case commandSet:           return size == 12;
            case commandEndOfTransfer: return size == 9;
            default:                   return false;
        }
    }

    /** The requests the keyboard answers: the numbers, the lists of parameters 1, 2, 4
        and 5, and the globals the editor reads; with `beyondContract`, also the options'
        list and every curve. */
    bool isAnsweredRequest (int a, int b, bool beyondContract)
    {
        static const std::set<int> listedParams { ItemParam::Mode, ItemParam::Channel, ItemParam::Number,
                                                  ItemParam::MinLsb, ItemParam::MaxMsb };
        static const std::set<int> readGlobals { GlobalIndex::UpperChannel, GlobalIndex::KnobMode,
                                                 GlobalIndex::LowerChannel, GlobalIndex::FaderMode,
                                                 GlobalIndex::SplitMode, GlobalIndex::SplitPoint,
                                                 GlobalIndex::OctaveShift };

        if (beyondContract && ((a == ItemParam::Option && b == 0) || (a == curvesGroup && b < curveCount)))
            return true;

        return (listedParams.count (a) != 0 && (a == ItemParam::Number || b == 0))
               || (a == globalsGroup && readGlobals.count (b) != 0);
    }

    const std::set<ItemId>& keyboardItems()
    {
        static const auto items = knownItemIdsFromCatalogue();
        return items;
    }
}

KeyboardConfiguration KeyboardConfiguration::factory()
{
    KeyboardConfiguration config;
    applyCatalogueDefaults (config.itemParams);

    // The keyboard has no hidden items of its own.
    for (auto& table : config.itemParams)
        for (ItemId item = firstHiddenItem; item <= lastHiddenItem; ++item)
            table.erase (item);

    for (const auto& global : factoryGlobals())
        config.globals[(size_t) global.index] = global.value;

    for (size_t i = 0; i < config.curves.size(); ++i)
        config.curves[i] = 10 * (int) i;

    return config;
}

SettingsModel KeyboardConfiguration::toModel() const
{
    SettingsModel model;

    for (size_t p = 0; p < itemParams.size(); ++p)
        for (const auto& [item, value] : itemParams[p])
            model.itemParams[p][item] = value;

    for (size_t i = 0; i < model.globals.size(); ++i)
        model.globals[i] = (juce::int16) globals[i];

    for (size_t i = 0; i < model.curves.size(); ++i)
        model.curves[i] = (juce::int16) curves[i];

    return model;
}

void KeyboardConfiguration::takeValuesOf (const SettingsModel& model)
{
    for (size_t p = 0; p < model.itemParams.size(); ++p)
        for (const auto& [item, value] : model.itemParams[p])
            itemParams[p][item] = value;

    std::copy (model.globals.begin(), model.globals.end(), globals.begin());
    std::copy (model.curves.begin(), model.curves.end(), curves.begin());
}

SimulatedKeyboard::SimulatedKeyboard (VirtualMidiPortSystem& portSystem)
    : SimulatedKeyboard (portSystem, Identity())
{
}

SimulatedKeyboard::SimulatedKeyboard (VirtualMidiPortSystem& portSystem, Identity id, juce::String name)
    : ports (portSystem),
      portName (std::move (name)),
      configuration (KeyboardConfiguration::factory()),
      identity (id)
{
    addPorts (portName);
    startDevice();
}

SimulatedKeyboard::~SimulatedKeyboard()
{
    // The thread first: an action of its own could add the ports again meanwhile.
    stopDevice();
    removePorts();
}

//==============================================================================
// State for tests.

KeyboardConfiguration SimulatedKeyboard::getConfiguration() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return configuration;
}

void SimulatedKeyboard::setConfiguration (const KeyboardConfiguration& newConfiguration)
{
    const std::lock_guard<std::mutex> lock (mutex);
    configuration = newConfiguration;
}

void SimulatedKeyboard::setFaults (const Faults& newFaults)
{
    const std::lock_guard<std::mutex> lock (mutex);
    faults = newFaults;
}

void SimulatedKeyboard::setReturnsAfterUpdate (bool returns)
{
    returnsAfterUpdate = returns;
}

void SimulatedKeyboard::setAnswersBeyondContract (bool answers)
{
    answersBeyondContract = answers;
}

void SimulatedKeyboard::setIdentity (const Identity& newIdentity)
{
    const std::lock_guard<std::mutex> lock (mutex);
    identity = newIdentity;
}

std::vector<juce::MidiMessage> SimulatedKeyboard::getReceivedMessages() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return received;
}

void SimulatedKeyboard::clearReceivedMessages()
{
    const std::lock_guard<std::mutex> lock (mutex);
    received.clear();
}

size_t SimulatedKeyboard::getReceivedCount() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return received.size();
}

std::vector<juce::MidiMessage> SimulatedKeyboard::getLastReceivedMessages (size_t count) const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return { received.end() - (std::ptrdiff_t) std::min (count, received.size()), received.end() };
}

int SimulatedKeyboard::getAnswerCount() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return answersSent;
}

bool SimulatedKeyboard::waitForReceivedCount (size_t count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock (mutex);
    return receivedChanged.wait_for (lock, std::chrono::milliseconds (timeoutMs),
                                     [&] { return received.size() >= count && ! actingOnReceived; });
}

//==============================================================================
// Playing.

void SimulatedKeyboard::playControlChange (int channel, int controller, int value)
{
    postOutgoing (juce::MidiMessage::controllerEvent (channel, controller, value));
}

void SimulatedKeyboard::playPitchBend (int channel, int value)
{
    postOutgoing (juce::MidiMessage::pitchWheel (channel, value));
}

void SimulatedKeyboard::playNoteOn (int channel, int note, int velocity)
{
    postOutgoing (juce::MidiMessage::noteOn (channel, note, (juce::uint8) velocity));
}

void SimulatedKeyboard::playChannelPressure (int channel, int pressure)
{
    postOutgoing (juce::MidiMessage::channelPressureChange (channel, pressure));
}

void SimulatedKeyboard::floodControlChanges (int count, int controller)
{
    for (int i = 0; i < count; ++i)
        playControlChange (1 + i % 16, controller, i % 128);
}

bool SimulatedKeyboard::playControl (int item, int value)
{
    // Only the controls it has are in its configuration, and only they have a signature.
    const auto model = getConfiguration().toModel();
    const auto signature = LiveMessageMap (model).signatureOf (item);

    if (! signature.has_value())
        return false;

    // A control on every channel plays on the first part's.
    const auto channel = signature->channel != 0 ? signature->channel
                                                 : model.globals[GlobalIndex::UpperChannel] % 16 + 1;
    using Kind = LiveSignature::Kind;

    switch (signature->kind)
    {
        case Kind::pitchBend:
            playPitchBend (channel, juce::jlimit (0, 16383, value));
            break;
        case Kind::note:
            playNoteOn (channel, signature->number, juce::jlimit (1, 127, value));
            break;
        case Kind::pressure:
            playChannelPressure (channel, juce::jlimit (0, 127, value));
            break;
        case Kind::controlChange:
            playControlChange (channel, signature->number,
                               isEndlessEncoder (item) ? encodeSignMagnitude (juce::jlimit (-63, 63, value))
                                                       : juce::jlimit (0, 127, value));
            break;
    }

    return true;
}

void SimulatedKeyboard::sendRaw (const std::vector<juce::uint8>& bytes)
{
    postOutgoing (messageFromBytes (bytes));
}

//==============================================================================
// Ports.

void SimulatedKeyboard::addPorts (const juce::String& name, const juce::String& inputIdentifier,
                                  const juce::String& outputIdentifier)
{
    auto newSource = ports.addSource (name, inputIdentifier);
    newSource->setKeepsUnreadMessages (true);   // as its USB endpoint does while nobody reads it
    auto newSink = ports.addSink (name, [this] (const juce::MidiMessage& message) { takeIn (message); },
                                  outputIdentifier);

    const std::lock_guard<std::mutex> lock (mutex);
    source = std::move (newSource);
    sink = std::move (newSink);
}

void SimulatedKeyboard::takeIn (const juce::MidiMessage& message)
{
    const auto now = Clock::now();
    auto arrival = now;

    if (arrivalFromTimeStamps)
        arrival = std::min (now, Clock::time_point (std::chrono::duration_cast<Clock::duration> (
                                     std::chrono::duration<double> (message.getTimeStamp()))));

    if (const auto takenOutIn = receiveBuffer.accept (message.getRawDataSize(), arrival))
        postIncoming (message, std::max (Clock::duration::zero(), arrival + *takenOutIn - now));
}

void SimulatedKeyboard::takeArrivalFromTimeStamps()   { arrivalFromTimeStamps = true; }

void SimulatedKeyboard::removePorts()
{
    std::shared_ptr<VirtualMidiPortSystem::Source> oldSource;
    std::shared_ptr<VirtualMidiPortSystem::Sink> oldSink;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        oldSource = std::move (source);
        oldSink = std::move (sink);
    }

    if (oldSink != nullptr)
    {
        oldSink->disconnect();
        ports.removeSink (oldSink);
    }

    if (oldSource != nullptr)
        ports.removeSource (oldSource);
}

void SimulatedKeyboard::vanish()     { removePorts(); }

void SimulatedKeyboard::holdInputElsewhere (bool held)
{
    std::shared_ptr<VirtualMidiPortSystem::Source> current;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        current = source;
    }

    if (current != nullptr)
        current->setHeldElsewhere (held);
}

void SimulatedKeyboard::replugUnnoticed()
{
    juce::String name, inputIdentifier, outputIdentifier;
    {
        const std::lock_guard<std::mutex> lock (mutex);

        if (source == nullptr)
            return;

        name = source->getName();
        inputIdentifier = source->getIdentifier();
        outputIdentifier = sink->getIdentifier();
    }

    removePorts();
    addPorts (name, inputIdentifier, outputIdentifier);
}

void SimulatedKeyboard::reappear()
{
    if (isPresent())
        return;

    juce::String name;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        name = updateMode ? bootloaderPortName : portName;
    }
    addPorts (name);
}

bool SimulatedKeyboard::isPresent() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return source != nullptr;
}

void SimulatedKeyboard::restartInUpdateMode()
{
    removePorts();
    juce::String name;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        updateMode = true;
        bootloader.restart();
        name = bootloaderPortName;
    }
    addPorts (name);
}

void SimulatedKeyboard::restartInNormalMode()
{
    removePorts();
    {
        const std::lock_guard<std::mutex> lock (mutex);
        updateMode = false;
    }
    addPorts (portName);
}

void SimulatedKeyboard::setUpdatePortName (const juce::String& name)
{
    const std::lock_guard<std::mutex> lock (mutex);
    bootloaderPortName = name;
}

int SimulatedKeyboard::getLostFrameCount() const
{
    return receiveBuffer.getLostFrameCount();
}

bool SimulatedKeyboard::isInUpdateMode() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return updateMode;
}

void SimulatedKeyboard::setBootloaderFaults (const SimulatedBootloader::Faults& newFaults, int answerDelayMs)
{
    const std::lock_guard<std::mutex> lock (mutex);
    bootloader.setFaults (newFaults);
    bootloaderAnswerDelayMs = answerDelayMs;
}

SimulatedBootloader SimulatedKeyboard::getBootloaderState() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return bootloader;
}

//==============================================================================
// The device thread.

void SimulatedKeyboard::handleIncoming (const juce::MidiMessage& message)
{
    bool inUpdateMode = false, unplugNow = false, lost = false;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        received.push_back (message);
        actingOnReceived = true;
        inUpdateMode = updateMode;
        unplugNow = faults.vanishAfterReceiving.has_value() && received.size() == *faults.vanishAfterReceiving;
        lost = faults.ignoreReceived.count (received.size()) != 0;
    }

    // Whoever waits for the message sees it once the keyboard has acted on it: woken
    // at once, a waiter could read the keyboard's state before the message changed it.
    struct Acted
    {
        SimulatedKeyboard& keyboard;

        ~Acted()
        {
            {
                const std::lock_guard<std::mutex> lock (keyboard.mutex);
                keyboard.actingOnReceived = false;
            }
            keyboard.receivedChanged.notify_all();
        }
    } acted { *this };

    if (unplugNow)
    {
        vanish();
        return;
    }

    if (lost)
        return;

    if (inUpdateMode)
        handleBootloaderMessage (message);
    else if (isIdentityRequest (message))
        answer (buildIdentityReply());
    else if (isWellFormedFrame (message))
    {
        const auto command = message.getRawData()[commandByte];

        if (command == commandRequest)
            answerConfigurationRequest (message);
        else if (command == commandSet)
            applySetFrame (message);
        else if (command == commandEndOfTransfer)
        {
            const std::lock_guard<std::mutex> lock (mutex);
            ++configuration.endOfTransferCount;
        }
    }
}

void SimulatedKeyboard::sendOutgoing (const juce::MidiMessage& message)
{
    std::shared_ptr<VirtualMidiPortSystem::Source> target;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        target = source;
    }

    if (target != nullptr)
        target->deliver (message);
}

juce::MidiMessage SimulatedKeyboard::buildIdentityReply() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return messageFromBytes ({ 0xF0, 0x7E, 0x00, 0x06, 0x02,
                               identity.manufacturer[0], identity.manufacturer[1], identity.manufacturer[2],
                               identity.family[0], identity.family[1], identity.member[0], identity.member[1],
                               identity.revision[0], identity.revision[1], identity.revision[2], identity.revision[3],
                               0xF7 });
}

juce::MidiMessage SimulatedKeyboard::buildPairList (int param) const
{
    std::vector<int> data { param };
    const std::lock_guard<std::mutex> lock (mutex);

    for (const auto& [item, value] : configuration.itemParams[(size_t) param])
    {
        data.push_back (item);
        data.push_back (value);
    }

    return buildOwnFrame (commandSet, data);
}

void SimulatedKeyboard::answerConfigurationRequest (const juce::MidiMessage& message)
{
    const auto a = (int) message.getRawData()[groupByte];
    const auto b = frameByte9 (message);

    if (! isAnsweredRequest (a, b, answersBeyondContract.load()))
        return;

    if (a != globalsGroup && a != curvesGroup)
    {
        answer (buildPairList (a));
        return;
    }

    int value = 0;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        value = a == globalsGroup ? configuration.globals[(size_t) b] : configuration.curves[(size_t) b];
    }

    answer (buildOwnFrame (commandSet, { a, b, value }));
}

void SimulatedKeyboard::applySetFrame (const juce::MidiMessage& message)
{
    const auto a = (int) message.getRawData()[groupByte];
    const auto b = frameByte9 (message);
    const auto v = frameByte10 (message);
    const std::lock_guard<std::mutex> lock (mutex);

    if (a >= ItemParam::firstStored && a <= ItemParam::lastStored && keyboardItems().count (b) != 0)
        configuration.itemParams[(size_t) a][b] = v;
    else if (a == globalsGroup && juce::isPositiveAndBelow (b, globalCount))
        configuration.globals[(size_t) b] = v;
    else if (a == curvesGroup && juce::isPositiveAndBelow (b, curveCount))
        configuration.curves[(size_t) b] = v;
}

void SimulatedKeyboard::answer (juce::MidiMessage message)
{
    Faults plan;
    int number = 0;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        number = ++answersSent;
        plan = faults;
    }

    if (plan.dropAnswers.count (number) == 0)
    {
        auto bytes = bytesOf (message);

        if (plan.foreignManufacturer && bytes.size() > 4)
            std::copy (std::begin (foreignManufacturer), std::end (foreignManufacturer), bytes.begin() + 1);

        if (plan.truncateAnswersTo.has_value() && (int) bytes.size() > *plan.truncateAnswersTo)
        {
            bytes.resize ((size_t) std::max (1, *plan.truncateAnswersTo - 1));
            bytes.push_back (0xF7);
        }

        const auto delay = plan.delayAnswersMs.find (number);

        if (delay == plan.delayAnswersMs.end())
            sendOutgoing (messageFromBytes (bytes));
        else
            postOutgoing (messageFromBytes (bytes), std::chrono::milliseconds (delay->second));
    }

    if (plan.vanishAfterAnswers.has_value() && number >= *plan.vanishAfterAnswers)
        vanish();
}

void SimulatedKeyboard::handleBootloaderMessage (const juce::MidiMessage& message)
{
    SimulatedBootloader::Reply reply;
    int delayMs = 0;
    bool imageComplete = false;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        const bool wasComplete = bootloader.isComplete();
        reply = bootloader.handle (message);
        delayMs = std::max (reply.delayMs, bootloaderAnswerDelayMs);
        imageComplete = ! wasComplete && bootloader.isComplete();

        // A new firmware starts from the factory's configuration, as a real update may.
        if (imageComplete)
        {
            const auto transfers = configuration.endOfTransferCount;
            configuration = KeyboardConfiguration::factory();
            configuration.endOfTransferCount = transfers;
        }
    }

    if (reply.vanish)
    {
        vanish();
        return;
    }

    if (reply.answer.has_value())
    {
        if (delayMs > 0)
            postOutgoing (*reply.answer, std::chrono::milliseconds (delayMs));
        else
            sendOutgoing (*reply.answer);
    }

    // With the whole image in, the keyboard restarts into its new firmware.
    if (imageComplete && returnsAfterUpdate.load())
        postAction ([this] { restartInNormalMode(); }, std::chrono::milliseconds (restartAfterUpdateMs));
}
