#include "simulator/RawMidiBridge.h"

namespace
{
    constexpr int pollMs = 5;                 // how soon a change of the keyboard's ports is seen
    constexpr int cableOpenWaitMs = 3000;     // the gadget's raw MIDI device comes a little after the plug
    constexpr int writeWaitMs = 1000;
    constexpr double lateReadMs = 10.0;       // later than this, a keyboard reading at read time would have lost frames
    const juce::String portNumberSuffix (" MIDI 1");

    double stampOf (RawMidiPort::Clock::time_point arrival)
    {
        return std::chrono::duration<double> (arrival.time_since_epoch()).count();
    }
}

RawMidiBridge::RawMidiBridge (VirtualMidiPortSystem& p, SimulatedKeyboard& k, UsbGadget& g, juce::String device,
                              FrameLog& l)
    : ports (p), keyboard (k), gadget (g), rawMidiDevice (std::move (device)), log (l),
      parser ([this] (const juce::MidiMessage& message) { deliverToKeyboard (message); })
{
    keyboard.takeArrivalFromTimeStamps();
}

RawMidiBridge::~RawMidiBridge()
{
    stop();
}

juce::String RawMidiBridge::productFor (const juce::String& portName)
{
    return portName.endsWith (portNumberSuffix) ? portName.dropLastCharacters (portNumberSuffix.length()) : portName;
}

void RawMidiBridge::start()
{
    stopping = false;
    thread = std::thread ([this] { run(); });
}

void RawMidiBridge::stop()
{
    stopping = true;

    if (thread.joinable())
        thread.join();

    closeCable();
    fromKeyboard.reset();
    toKeyboard.reset();

    if (chunksRead > 0)
        log.note ("read " + juce::String ((int) chunksRead) + " stamped chunks, " + juce::String ((int) chunksReadLate)
                  + " of them more than " + juce::String (lateReadMs, 0) + " ms after they arrived, the latest "
                  + juce::String (latestReadMs, 1) + " ms");

    chunksRead = chunksReadLate = 0;
}

bool RawMidiBridge::isMirrored() const   { return mirroredNow; }

void RawMidiBridge::run()
{
    while (! stopping)
    {
        const auto now = keyboardPortsNow();
        const bool changed = firstLook || now.has_value() != mirrored.has_value()
                             || (now.has_value() && now->identifier != mirrored->identifier);

        if (changed)
            mirror (now);

        if (cableWentUnasked)
            reopenCableAfterOutsideReplug();

        pumpFromCable();
    }
}

std::optional<RawMidiBridge::KeyboardPorts> RawMidiBridge::keyboardPortsNow()
{
    // The keyboard is the only device on these ports.
    const auto inputs = ports.getInputDevices();

    if (inputs.isEmpty())
        return std::nullopt;

    return KeyboardPorts { inputs.getFirst().name, inputs.getFirst().identifier };
}

void RawMidiBridge::mirror (const std::optional<KeyboardPorts>& now)
{
    mirroredNow = false;

    if (now.has_value())
        adoptOrReplug (*now);
    else
    {
        closeCable();

        if (const auto pulled = gadget.pullOut(); pulled.failed())
            log.note ("could not pull the gadget out: " + pulled.getErrorMessage());

        log.note ("pulled out");
    }

    firstLook = false;
    mirrored = now;
    mirroredNow = true;
}

void RawMidiBridge::adoptOrReplug (const KeyboardPorts& now)
{
    const auto product = productFor (now.name);

    // At the start the gadget may already be in as this keyboard: then it stays in.
    if (! (firstLook && gadget.isPluggedIn() && gadget.getProduct() == product))
    {
        closeCable();

        if (const auto pulled = gadget.pullOut(); pulled.failed())
            log.note ("could not pull the gadget out: " + pulled.getErrorMessage());

        if (const auto plugged = gadget.plugIn (product); plugged.failed())
            log.note ("could not plug the gadget in as " + product + ": " + plugged.getErrorMessage());
    }
    else if (const auto hidden = gadget.hideDeviceSideFromSequencer(); hidden.failed())
    {
        log.note (hidden.getErrorMessage());
    }

    openKeyboardPorts (now);
    openCable();
    log.note ("plugged in as " + product);
}

void RawMidiBridge::openKeyboardPorts (const KeyboardPorts& now)
{
    // The new input starts before the old one goes, so the ports' input thread never stops.
    auto newInput = ports.openInput (ports.inputIdentifierOf (now.name), *this);

    if (newInput != nullptr)
    {
        newInput->start();
        fromKeyboard = std::move (newInput);
    }

    toKeyboard = ports.openOutput (ports.outputIdentifierOf (now.name));
}

void RawMidiBridge::openCable()
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) cableOpenWaitMs;
    juce::String problem;
    std::unique_ptr<RawMidiPort> opened;

    while ((opened = RawMidiPort::open (rawMidiDevice, problem)) == nullptr && ! stopping
           && juce::Time::getMillisecondCounter() < deadline)
        std::this_thread::sleep_for (std::chrono::milliseconds (10));

    if (opened == nullptr)
        log.note ("no cable: " + problem);
    else
        overrunsSeen = opened->getOverrunCount();

    parser.reset();
    cableWentUnasked = false;
    const std::lock_guard<std::mutex> lock (cableMutex);
    cable = std::move (opened);
}

void RawMidiBridge::closeCable()
{
    std::unique_ptr<RawMidiPort> old;
    {
        const std::lock_guard<std::mutex> lock (cableMutex);
        old = std::move (cable);
    }
    old.reset();   // outside the lock: a write in flight on the keyboard's thread is never waited for with it held
    parser.reset();
}

void RawMidiBridge::pumpFromCable()
{
    RawMidiPort* port = nullptr;
    {
        const std::lock_guard<std::mutex> lock (cableMutex);
        port = cable.get();   // only this thread replaces or closes it
    }

    if (port == nullptr)
    {
        std::this_thread::sleep_for (std::chrono::milliseconds (pollMs));
        return;
    }

    std::vector<RawMidiPort::Chunk> chunks;
    const auto status = port->read (chunks, pollMs);

    for (const auto& chunk : chunks)
    {
        noteReadLateness (chunk.arrival);
        parser.push (chunk.bytes.data(), chunk.bytes.size(), stampOf (chunk.arrival));
    }

    if (status == RawMidiPort::ReadStatus::gone)
    {
        log.note ("the cable was pulled out from outside");
        closeCable();
        cableWentUnasked = true;
        return;
    }

    if (const auto overruns = port->getOverrunCount(); overruns != overrunsSeen)
    {
        log.note ("the raw MIDI buffer overflowed: " + juce::String ((int) (overruns - overrunsSeen)) + " bytes lost");
        overrunsSeen = overruns;
    }
}

void RawMidiBridge::noteReadLateness (RawMidiPort::Clock::time_point arrival)
{
    const auto lateMs = std::chrono::duration<double, std::milli> (RawMidiPort::Clock::now() - arrival).count();
    ++chunksRead;
    chunksReadLate += lateMs > lateReadMs ? 1 : 0;
    latestReadMs = std::max (latestReadMs, lateMs);
}

void RawMidiBridge::reopenCableAfterOutsideReplug()
{
    if (! gadget.isPluggedIn())
        return;

    if (const auto hidden = gadget.hideDeviceSideFromSequencer(); hidden.failed())
        return;   // not back yet

    openCable();
    log.note ("plugged in again from outside as " + gadget.getProduct());
}

void RawMidiBridge::deliverToKeyboard (const juce::MidiMessage& message)
{
    log.frame (message);

    if (toKeyboard != nullptr)
        toKeyboard->sendMessageNow (message);

    // The keyboard takes a frame in (or loses it) while it is handed over.
    if (const auto lost = keyboard.getLostFrameCount(); lost != lostFramesSeen)
    {
        log.note ("the keyboard's receive buffer was full: the frame above was lost");
        lostFramesSeen = lost;
    }
}

void RawMidiBridge::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    handleIncomingPortMessage ({}, message);
}

void RawMidiBridge::handleIncomingPortMessage (const juce::String&, const juce::MidiMessage& message)
{
    const std::lock_guard<std::mutex> lock (cableMutex);

    if (cable != nullptr && ! cable->write (message.getRawData(), (size_t) message.getRawDataSize(), writeWaitMs))
        log.note ("could not send " + FrameLog::hexOf (message) + " to the host");
}
