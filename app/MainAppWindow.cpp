#include "app/MainAppWindow.h"

#include "app/MainComponent.h"

MainAppWindow::MainAppWindow (MidiPortSystem& ports, DialogService& dialogs)
    : juce::DocumentWindow ("Ombrix Vantor 49-61 Konsolion",
                            juce::Colour (0xFFF0FFFF),
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton)
{
    setResizable (false, false);
    setTitleBarHeight (20);
    setUsingNativeTitleBar (true);
    setContentOwned (new MainComponent (ports, dialogs), false);
}

void MainAppWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}

MainComponent& MainAppWindow::getMainComponent() const
{
    return *dynamic_cast<MainComponent*> (getContentComponent());
}
