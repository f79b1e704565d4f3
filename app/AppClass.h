#pragma once

#include "device/MidiPortSystem.h"

#include <juce_gui_basics/juce_gui_basics.h>

class DialogService;
class MainAppWindow;
class OLookAndFeel;

/** The application object: installs the look and feel and opens the main window. */
class AppClass : public juce::JUCEApplication
{
public:
    AppClass();
    ~AppClass() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;

    /** Quits, unless the editor holds edits that were neither sent nor saved and the
        user, asked, chooses to keep the program open (or a save fails). */
    void systemRequestedQuit() override;

protected:
    /** The MIDI ports the editor talks through: the operating system's. */
    virtual std::unique_ptr<MidiPortSystem> createPortSystem();

    /** The dialogs the editor and the firmware update show: JUCE's own. */
    virtual DialogService& getDialogService();

    /** Called once the main window is showing. */
    virtual void mainWindowOpened() {}

    MainAppWindow* getMainWindow() const noexcept   { return mainWindow.get(); }

private:
    std::unique_ptr<OLookAndFeel> lookAndFeel;
    std::unique_ptr<MidiPortSystem> midiPorts;
    std::unique_ptr<MainAppWindow> mainWindow;
    std::unique_ptr<juce::Timer> repaintPump;
};
