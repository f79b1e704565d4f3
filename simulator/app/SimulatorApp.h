#pragma once

#include "app/AppClass.h"
#include "simulator/app/SimulatorOptions.h"

class KeyboardCommandPipe;
class SimulatedKeyboard;
class SimulatorDialogs;
class SimulatorMonitorWindow;
class SimulatorStateFile;
class VirtualStudio;

/** The editor exactly as the product, wired to virtual MIDI ports with a simulated
    keyboard and a few unrelated ports, plus a small monitor window of its own.
    Options: --state-file <path> writes what the editor shows and the keyboard holds;
    --no-monitor hides the monitor window; --unplugged starts with the keyboard unplugged
    (the monitor window plugs it in); --commands <fifo> plays and plugs the keyboard from a
    named pipe. */
class SimulatorApp : public AppClass
{
public:
    SimulatorApp();
    ~SimulatorApp() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;

protected:
    std::unique_ptr<MidiPortSystem> createPortSystem() override;
    DialogService& getDialogService() override;
    void mainWindowOpened() override;

private:
    void startCommandFifo();

    SimulatorOptions options;
    std::unique_ptr<VirtualStudio> studio;
    std::unique_ptr<SimulatorDialogs> dialogs;
    std::unique_ptr<SimulatorMonitorWindow> monitor;
    std::unique_ptr<SimulatorStateFile> stateFile;
    std::unique_ptr<KeyboardCommandPipe> commands;
};
