#include "app/MainAppWindow.h"

#include "app/MainComponent.h"
#include "editor/KbdSettingComponentVR49.h"

MainAppWindow::MainAppWindow (MidiPortSystem& ports, DialogService& dialogs)
    : juce::DocumentWindow ("Ombrix Vantor 49-61 Konsolion",
                            juce::Colour (0xFFF0FFFF),
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton)
{
    setResizable (false, false);
    setTitleBarHeight (20);
    setUsingNativeTitleBar (true);
    setContentOwned (new MainComponent (ports, dialogs), false);

    // The editor's shortcuts work wherever the focus is in the window.
    getMainComponent().getEditorPanel().attachShortcutsTo (*this);
}

void MainAppWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}

MainComponent& MainAppWindow::getMainComponent() const
{
    return *dynamic_cast<MainComponent*> (getContentComponent());
}
