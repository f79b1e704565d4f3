#include "app/AppClass.h"

#include "app/MainAppWindow.h"
#include "app/MainComponent.h"
#include "app/WineRepaintPump.h"
#include "editor/KbdSettingComponentVR49.h"
#include "device/JuceMidiPortSystem.h"
#include "editor/DialogService.h"
#include "keyboard_view/OLookAndFeel.h"

AppClass::AppClass() = default;
AppClass::~AppClass() = default;

void AppClass::initialise (const juce::String&)
{
    lookAndFeel = std::make_unique<OLookAndFeel>();
    juce::LookAndFeel::setDefaultLookAndFeel (lookAndFeel.get());

    midiPorts = createPortSystem();
    mainWindow = std::make_unique<MainAppWindow> (*midiPorts, getDialogService());
    mainWindow->centreWithSize (MainAppWindow::width, MainAppWindow::height);
    mainWindow->setVisible (true);
    repaintPump = startRepaintPumpUnderWine();
    mainWindowOpened();
}

void AppClass::shutdown()
{
    repaintPump.reset();
    mainWindow.reset();
    midiPorts.reset();

    // Components still alive must not point at a deleted look and feel.
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    lookAndFeel.reset();
}

const juce::String AppClass::getApplicationName()       { return "Lumetra - Atelion Konsolion"; }
const juce::String AppClass::getApplicationVersion()    { return "1.0"; }
bool AppClass::moreThanOneInstanceAllowed()             { return true; }

void AppClass::systemRequestedQuit()
{
    if (mainWindow == nullptr || mainWindow->getMainComponent().getEditorPanel().confirmQuit())
        quit();
}

std::unique_ptr<MidiPortSystem> AppClass::createPortSystem()
{
    return std::make_unique<JuceMidiPortSystem>();
}

DialogService& AppClass::getDialogService()
{
    return defaultDialogService();
}
