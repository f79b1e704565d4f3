#include "simulator/app/SimulatorApp.h"

#include "app/MainAppWindow.h"
#include "device/ForwardingPortSystem.h"
#include "app/MainComponent.h"
#include "simulator/app/SimulatorDialogs.h"
#include "simulator/app/SimulatorMonitorWindow.h"
#include "simulator/app/SimulatorState.h"
#include "simulator/KeyboardCommandPipe.h"
#include "simulator/VirtualStudio.h"

SimulatorApp::SimulatorApp() = default;
SimulatorApp::~SimulatorApp() = default;

void SimulatorApp::initialise (const juce::String& commandLine)
{
    auto words = juce::StringArray::fromTokens (commandLine, true);
    words.trim();
    SimulatorOptions::parse (words, options);   // checked in main() already
    studio = std::make_unique<VirtualStudio>();

    if (options.unplugged)
        studio->getKeyboard().vanish();   // plugged in later from the monitor window
    dialogs = std::make_unique<SimulatorDialogs> (studio->getKeyboard());
    AppClass::initialise (commandLine);
    startCommandFifo();
}

void SimulatorApp::startCommandFifo()
{
    if (options.commandFifo.isEmpty())
        return;

    // The pipe's thread plays the keyboard directly, as the keyboard's own hands would;
    // quitting is left to the message thread.
    commands = std::make_unique<KeyboardCommandPipe> (options.commandFifo, studio->getKeyboard(),
        KeyboardCommands::Actions { {}, [] { juce::MessageManager::callAsync ([] { juce::JUCEApplicationBase::quit(); }); } },
        [] (const juce::String& problem) { std::fprintf (stderr, "konsolion-sim: %s\n", problem.toRawUTF8()); });

    if (! commands->isOpen())
        std::fprintf (stderr, "konsolion-sim: cannot read commands from %s\n", options.commandFifo.toRawUTF8());
}

void SimulatorApp::shutdown()
{
    commands.reset();   // its thread plays the keyboard: it stops first
    stateFile.reset();   // its last write sees the editor still open
    monitor.reset();
    AppClass::shutdown();
    dialogs.reset();
    studio.reset();
}

std::unique_ptr<MidiPortSystem> SimulatorApp::createPortSystem()
{
    return std::make_unique<ForwardingPortSystem> (studio->getPorts());   // the studio outlives the window
}

DialogService& SimulatorApp::getDialogService()
{
    return *dialogs;
}

void SimulatorApp::mainWindowOpened()
{
    if (options.stateFile.isNotEmpty())
        stateFile = std::make_unique<SimulatorStateFile> (juce::File::getCurrentWorkingDirectory().getChildFile (options.stateFile),
                                                          getMainWindow()->getMainComponent().getEditorPanel(),
                                                          studio->getKeyboard());

    if (! options.noMonitor)
        monitor = std::make_unique<SimulatorMonitorWindow> (studio->getKeyboard(), getMainWindow()->getBounds());
}
