#pragma once

#include "cli/CliOptions.h"
#include "device/KeyboardProbe.h"
#include "device/KeyboardReader.h"
#include "device/LumManager49.h"
#include "device/VerifiedSend.h"

#include <atomic>
#include <optional>

class SimulatedKeyboard;
class VirtualStudio;

/** Why a command could not go on: its exit status and the line that says why. */
struct CliFailure
{
    int status;
    juce::String message;
};

/** The command line's link to the keyboard: the operating system's MIDI ports, or with
    --simulate the simulated keyboard and bootloader on in-process ports (its
    configuration kept in --keyboard-state between runs). It finds the keyboard with a
    quick probe of every output, or asks the ports named with --input and --output,
    and reads and sends with the editor's own read and verified send. It runs on the
    thread that made it; Ctrl+C ends every wait. */
class KeyboardSession : private LumManagerListener
{
public:
    /** Set by the Ctrl+C handler. */
    static std::atomic<bool> interrupted;

    explicit KeyboardSession (const CliOptions& options);
    ~KeyboardSession();

    /** Links the keyboard: the one that answers the probe, or the ports given. */
    std::optional<CliFailure> connect();

    /** Every keyboard that answers, for listing, and the inputs that could not be opened. */
    std::vector<FoundKeyboard> findKeyboards (juce::StringArray& inputsNotOpened);

    /** Reads the keyboard's configuration (see KeyboardReader). */
    KeyboardReader::Result read (const std::function<void (double)>& progress);

    /** Sends the model, reads the keyboard back and compares (see sendAndVerify). */
    VerifiedSendReport sendAndVerify (const SettingsModel& model, const std::function<void (double)>& progress);

    LumManager49& getManager() noexcept              { return *manager; }
    MidiPortSystem& getPorts() noexcept              { return *ports; }

    /** The simulated keyboard, with --simulate. */
    SimulatedKeyboard* getSimulatedKeyboard() const noexcept;

    /** Turns the message loop until the condition holds, the time is up or Ctrl+C; answers the condition. */
    static bool waitUntil (const std::function<bool()>& condition, int timeoutMs);

private:
    void managerEvent (int event, int first, int second, int reserved) override;
    std::optional<CliFailure> connectToGivenPorts();
    void loadSimulatedState();
    void saveSimulatedState();

    const CliOptions options;
    std::unique_ptr<VirtualStudio> studio;
    std::unique_ptr<MidiPortSystem> ports;
    std::unique_ptr<LumManager49> manager;
    std::unique_ptr<KeyboardReader> reader;
};
