#pragma once

#include "cli/CliOptions.h"
#include "device/ConfigurationReader.h"
#include "device/LumManager49.h"

#include <atomic>

class SimulatedKeyboard;
class VirtualStudio;

/** The command line's link to the keyboard: the operating system's MIDI ports, or with
    --simulate the simulated keyboard and bootloader on in-process ports (its
    configuration kept in --keyboard-state between runs). It finds the keyboard as the
    editor does, or takes the ports given with --input and --output, and reads and
    sends with the editor's requests and frames. It runs on the thread that made it,
    whose message loop it turns while it waits; Ctrl+C ends every wait. */
class KeyboardSession : private LumManagerListener
{
public:
    /** Set by the Ctrl+C handler. */
    static std::atomic<bool> interrupted;

    explicit KeyboardSession (const CliOptions& options);
    ~KeyboardSession();

    /** Finds the keyboard (within the search's own time), or links the given ports. */
    juce::Result connect();

    /** Reads the keyboard's configuration into `model` (the catalogue's defaults where it is
        never asked). Fails when an answer does not come within a second, or on Ctrl+C. */
    juce::Result read (SettingsModel& model);

    /** Sends the model as "Send to Keyboard" does, reporting progress (0 to 1) as it goes. */
    SendAllReport send (const SettingsModel& model, const std::function<void (double)>& progress);

    LumManager49& getManager() noexcept              { return *manager; }
    MidiPortSystem& getPorts() noexcept              { return *ports; }

    /** The simulated keyboard, with --simulate. */
    SimulatedKeyboard* getSimulatedKeyboard() const noexcept;

    /** Turns the message loop until the condition holds, the time is up or Ctrl+C; answers the condition. */
    static bool waitUntil (const std::function<bool()>& condition, int timeoutMs);

private:
    void managerEvent (int event, int first, int second, int reserved) override;
    void loadSimulatedState();
    void saveSimulatedState();

    const CliOptions options;
    std::unique_ptr<VirtualStudio> studio;
    std::unique_ptr<MidiPortSystem> ports;
    std::unique_ptr<LumManager49> manager;
    std::unique_ptr<ConfigurationReader> reader;
    std::atomic<bool> searchFailed { false };
};
