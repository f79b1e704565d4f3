#include "editor/DialogService.h"

void JuceDialogService::showMessageBox (juce::MessageBoxIconType icon, const juce::String& title,
                                        const juce::String& message)
{
    juce::AlertWindow::showMessageBox (icon, title, message);
}

bool JuceDialogService::showOkCancelBox (juce::MessageBoxIconType icon, const juce::String& title,
                                         const juce::String& message, const juce::String& okText,
                                         const juce::String& cancelText)
{
    return juce::AlertWindow::showOkCancelBox (icon, title, message, okText, cancelText);
}

int JuceDialogService::showYesNoCancelBox (juce::MessageBoxIconType icon, const juce::String& title,
                                          const juce::String& message, const juce::String& yesText,
                                          const juce::String& noText, const juce::String& cancelText)
{
    return juce::AlertWindow::showYesNoCancelBox (icon, title, message, yesText, noText, cancelText);
}

std::optional<juce::File> JuceDialogService::browseForFileToOpen (const FileChoice& choice)
{
    juce::FileChooser chooser (choice.title, choice.startDirectory, choice.pattern);

    if (chooser.browseForFileToOpen())
        return chooser.getResult();

    return std::nullopt;
}

std::optional<juce::File> JuceDialogService::browseForFileToSave (const FileChoice& choice, bool warnAboutOverwriting)
{
    juce::FileChooser chooser (choice.title, choice.startDirectory, choice.pattern);

    if (chooser.browseForFileToSave (warnAboutOverwriting))
        return chooser.getResult();

    return std::nullopt;
}

bool JuceDialogService::runThreadWithProgressWindow (juce::ThreadWithProgressWindow& task)
{
    return task.runThread();
}

void JuceDialogService::showWaitCursor()   { juce::MouseCursor::showWaitCursor(); }
void JuceDialogService::hideWaitCursor()   { juce::MouseCursor::hideWaitCursor(); }

DialogService& defaultDialogService()
{
    static JuceDialogService dialogs;
    return dialogs;
}
