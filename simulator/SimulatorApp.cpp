#include "simulator/SimulatorApp.h"

#include "app/MainAppWindow.h"
#include "device/ForwardingPortSystem.h"
#include "app/MainComponent.h"
#include "simulator/SimulatorDialogs.h"
#include "simulator/SimulatorMonitorWindow.h"
#include "simulator/SimulatorState.h"
#include "simulator/VirtualStudio.h"

namespace
{
    juce::String optionValue (const juce::StringArray& options, const juce::String& name)
    {
        const auto index = options.indexOf (name);
        return index >= 0 ? options[index + 1] : juce::String();
    }
}

SimulatorApp::SimulatorApp() = default;
SimulatorApp::~SimulatorApp() = default;

void SimulatorApp::initialise (const juce::String& commandLine)
{
    options = juce::StringArray::fromTokens (commandLine, true);
    options.trim();
    studio = std::make_unique<VirtualStudio>();

    if (options.contains ("--unplugged"))
        studio->getKeyboard().vanish();   // plugged in later from the monitor window
    dialogs = std::make_unique<SimulatorDialogs> (studio->getKeyboard());
    AppClass::initialise (commandLine);
}

void SimulatorApp::shutdown()
{
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
    const auto statePath = optionValue (options, "--state-file").unquoted();

    if (statePath.isNotEmpty())
        stateFile = std::make_unique<SimulatorStateFile> (juce::File::getCurrentWorkingDirectory().getChildFile (statePath),
                                                          getMainWindow()->getMainComponent().getEditorPanel(),
                                                          studio->getKeyboard());

    if (! options.contains ("--no-monitor"))
        monitor = std::make_unique<SimulatorMonitorWindow> (studio->getKeyboard());
}
