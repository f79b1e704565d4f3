#pragma once

#include "device/SettingsModel.h"
#include "simulator/KeyboardReceiveBuffer.h"
#include "simulator/SimulatedBootloader.h"
#include "simulator/VirtualDevice.h"
#include "simulator/VirtualMidiPortSystem.h"

#include <array>
#include <functional>
#include <map>
#include <set>

/** What the simulated keyboard holds. */
struct KeyboardConfiguration
{
    std::array<std::map<int, int>, 7> itemParams;   // indexed by ItemParam, 1..6 used
    std::array<int, 14> globals {};
    std::array<int, 11> curves {};
    int endOfTransferCount = 0;

    /** The keyboard as it leaves the factory: the catalogue's defaults for its items. */
    static KeyboardConfiguration factory();

    /** The same values as a settings model, and a model's values taken in. */
    SettingsModel toModel() const;
    void takeValuesOf (const SettingsModel& model);
};

/** A Vantor 49 on virtual ports, held to the keyboard's limits: frames land in a
    finite receive buffer (KeyboardReceiveBuffer); it answers the identity request and
    only the requests of the keyboard's contract; it stores set frames only for the
    items it has, with values of one data byte; it plays live controls on demand,
    restarts into its bootloader on "USB A MIDI 1" (as ALSA names the bootloader's
    port), comes back in normal mode with the factory's configuration once a whole
    image is in, and injects faults on demand. */
class SimulatedKeyboard : public VirtualDevice
{
public:
    struct Identity
    {
        std::array<juce::uint8, 2> member { 1, 0 };
        std::array<juce::uint8, 4> revision { 0, 1, 0, 5 };
        std::array<juce::uint8, 3> manufacturer { 0x00, 0x6D, 0x3A };
        std::array<juce::uint8, 2> family { 0x02, 0x00 };
    };

    struct Faults
    {
        std::set<int> dropAnswers;                // 1-based numbers of answers never sent
        std::map<int, int> delayAnswersMs;        // answer number -> delay
        bool foreignManufacturer = false;         // answers carry another maker's identifier
        std::optional<int> truncateAnswersTo;     // answers cut to this many bytes, then F7
        std::optional<int> vanishAfterAnswers;    // the ports disappear after this many answers
        std::optional<size_t> vanishAfterReceiving; // ... or once this many messages came in
        std::set<size_t> ignoreReceived;          // 1-based numbers of messages taken in but lost inside
    };

    static constexpr const char* defaultPortName = "Vantor 49 MIDI 1";
    static constexpr const char* updatePortName = "USB A MIDI 1";

    /** After a complete firmware image the keyboard restarts in normal mode this much later. */
    static constexpr int restartAfterUpdateMs = 500;

    explicit SimulatedKeyboard (VirtualMidiPortSystem& ports);
    SimulatedKeyboard (VirtualMidiPortSystem& ports, Identity identity, juce::String portName = defaultPortName);
    ~SimulatedKeyboard() override;

    KeyboardConfiguration getConfiguration() const;
    void setConfiguration (const KeyboardConfiguration& configuration);
    void setFaults (const Faults& faults);
    void setIdentity (const Identity& identity);

    /** Whether it also answers the requests no keyboard is known to answer: the options'
        list and the curves (off by default, as the keyboard's contract has it). */
    void setAnswersBeyondContract (bool answers);

    /** Whether it restarts in normal mode once a whole image is in (on by default; off:
        it stays in its bootloader, as a keyboard whose new firmware does not start). */
    void setReturnsAfterUpdate (bool returns);

    /** Everything the program sent to the keyboard, in order. */
    std::vector<juce::MidiMessage> getReceivedMessages() const;
    void clearReceivedMessages();

    /** How many messages the keyboard received, and the last few of them. */
    size_t getReceivedCount() const;
    std::vector<juce::MidiMessage> getLastReceivedMessages (size_t count) const;

    /** How many answers it has sent (the numbers the answer faults go by). */
    int getAnswerCount() const;

    /** Waits until the keyboard holds at least this many received messages and has
        acted on the last of them. */
    bool waitForReceivedCount (size_t count, int timeoutMs) const;

    // Playing the controls.
    void playControlChange (int channel, int controller, int value);
    void playPitchBend (int channel, int value);
    void playNoteOn (int channel, int note, int velocity);
    void playChannelPressure (int channel, int pressure);

    /** Plays one of its controls as its configuration says: moves a knob or fader to
        `value`, presses a pad or button with it as the velocity, bends the wheel
        (0..16383), turns an endless encoder by it (-63..63). False for a control it
        does not have or whose mode sends nothing it can play. */
    bool playControl (int item, int value);
    void floodControlChanges (int count, int controller);

    /** Sends raw bytes as one message, as a faulty device might. */
    void sendRaw (const std::vector<juce::uint8>& bytes);

    // Presence on the port system.

    /** Another program holds (or lets go of) the keyboard's input: opening it fails. */
    void holdInputElsewhere (bool held);
    void vanish();
    void reappear();
    bool isPresent() const;

    /** Unplugged and plugged in again at once, its ports getting back the same names and
        identifiers: a look at the port list cannot tell, but the old ports are dead. */
    void replugUnnoticed();

    /** Unplugged and plugged in again holding "Sound", "Multi" and "Edit": from now on
        only "USB A" ports exist and the bootloader answers. */
    void restartInUpdateMode();
    bool isInUpdateMode() const;

    /** Unplugged and plugged in again normally: out of the bootloader, back on its own ports. */
    void restartInNormalMode();

    /** The name the bootloader's ports get ("USB A MIDI 1" by default; "USB A" as on
        systems that name ports after the device alone). */
    void setUpdatePortName (const juce::String& name);

    /** From now on a message's time stamp (seconds of the steady clock) says when it
        crossed the cable, and it enters the receive buffer then, not when it is handed
        over: a program that reads the wire for the keyboard may read late, and frames
        that waited in its buffer must not look as if they came all at once. */
    void takeArrivalFromTimeStamps();

    /** Frames lost because they arrived faster than the keyboard takes them in. */
    int getLostFrameCount() const;
    void setBootloaderFaults (const SimulatedBootloader::Faults& faults, int answerDelayMs = 0);
    SimulatedBootloader getBootloaderState() const;

private:
    void handleIncoming (const juce::MidiMessage& message) override;
    void takeIn (const juce::MidiMessage& message);
    void sendOutgoing (const juce::MidiMessage& message) override;

    void answerConfigurationRequest (const juce::MidiMessage& message);
    void applySetFrame (const juce::MidiMessage& message);
    void handleBootloaderMessage (const juce::MidiMessage& message);
    void answer (juce::MidiMessage message);
    juce::MidiMessage buildIdentityReply() const;
    juce::MidiMessage buildPairList (int param) const;
    void addPorts (const juce::String& name, const juce::String& inputIdentifier = {},
                   const juce::String& outputIdentifier = {});
    void removePorts();

    VirtualMidiPortSystem& ports;
    const juce::String portName;

    mutable std::mutex mutex;
    mutable std::condition_variable receivedChanged;
    KeyboardConfiguration configuration;
    Identity identity;
    Faults faults;
    std::vector<juce::MidiMessage> received;
    bool actingOnReceived = false;   // a received message is still being acted on
    int answersSent = 0;
    bool updateMode = false;
    SimulatedBootloader bootloader;
    int bootloaderAnswerDelayMs = 0;
    juce::String bootloaderPortName { updatePortName };
    KeyboardReceiveBuffer receiveBuffer;
    std::atomic<bool> answersBeyondContract { false };
    std::atomic<bool> returnsAfterUpdate { true };
    std::atomic<bool> arrivalFromTimeStamps { false };

    std::shared_ptr<VirtualMidiPortSystem::Source> source;
    std::shared_ptr<VirtualMidiPortSystem::Sink> sink;
};
