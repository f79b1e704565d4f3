#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

/** A file dialog's title, starting folder and pattern. */
struct FileChoice
{
    juce::String title;
    juce::File startDirectory;
    juce::String pattern;
};

/** Everything modal the editor and the firmware update show: message boxes, file
    choosers, the progress window and the wait cursor. The default shows JUCE's
    own; tests answer through another implementation without a display. */
class DialogService
{
public:
    virtual ~DialogService() = default;

    virtual void showMessageBox (juce::MessageBoxIconType icon, const juce::String& title,
                                 const juce::String& message) = 0;

    /** True when the user chose the first button. */
    virtual bool showOkCancelBox (juce::MessageBoxIconType icon, const juce::String& title,
                                  const juce::String& message, const juce::String& okText,
                                  const juce::String& cancelText) = 0;

    /** 1 for the first button, 2 for the second, 0 for the third (cancel). */
    virtual int showYesNoCancelBox (juce::MessageBoxIconType icon, const juce::String& title,
                                    const juce::String& message, const juce::String& yesText,
                                    const juce::String& noText, const juce::String& cancelText) = 0;

    /** The chosen file, or nothing when the user cancelled. */
    virtual std::optional<juce::File> browseForFileToOpen (const FileChoice& choice) = 0;
    virtual std::optional<juce::File> browseForFileToSave (const FileChoice& choice, bool warnAboutOverwriting) = 0;

    /** Runs the task's thread under its modal progress window; false when the user cancelled. */
    virtual bool runThreadWithProgressWindow (juce::ThreadWithProgressWindow& task) = 0;

    virtual void showWaitCursor() = 0;
    virtual void hideWaitCursor() = 0;
};

/** JUCE's modal dialogs. */
class JuceDialogService : public DialogService
{
public:
    void showMessageBox (juce::MessageBoxIconType icon, const juce::String& title,
                         const juce::String& message) override;
    bool showOkCancelBox (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                          const juce::String& okText, const juce::String& cancelText) override;
    int showYesNoCancelBox (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                            const juce::String& yesText, const juce::String& noText, const juce::String& cancelText) override;
    std::optional<juce::File> browseForFileToOpen (const FileChoice& choice) override;
    std::optional<juce::File> browseForFileToSave (const FileChoice& choice, bool warnAboutOverwriting) override;
    bool runThreadWithProgressWindow (juce::ThreadWithProgressWindow& task) override;
    void showWaitCursor() override;
    void hideWaitCursor() override;
};

/** The product's dialogs: one JuceDialogService for the whole run. */
DialogService& defaultDialogService();
