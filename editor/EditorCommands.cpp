#include "editor/EditorCommands.h"

#include "device/FieldSend.h"

#include "device/LumManager49.h"
#include "device/ModelComparison.h"
#include "device/VerifiedSend.h"
#include "documents/MidiChart.h"
#include "documents/SettingsFile.h"
#include "editor/DialogService.h"
#include "editor/EditHistory.h"
#include "editor/EditorTexts.h"
#include "device/KeyboardReadThread.h"
#include "editor/UpdaterRunner.h"

namespace
{
    juce::File documentsDirectory()
    {
        return juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);
    }

    constexpr auto warning = juce::MessageBoxIconType::WarningIcon;
    constexpr int leftOutLinesShown = 12;
}

EditorCommands::EditorCommands (Host& p, LumManager49& m, KeyboardReader& c, KeyboardReadThread& r, EditHistory& h,
                                DialogService& d)
    : panel (p), manager (m), keyboardCheck (c), startupRead (r), history (h), dialogs (d),
      lastFolder (documentsDirectory())
{
}

void EditorCommands::resetToDefaults()
{
    const auto before = manager.getModel();
    manager.resetItemDefaults();   // the item defaults, and the firmware revision cleared

    auto after = manager.getModel();
    for (const auto& global : factoryGlobals())
        after.globals[(size_t) global.index] = (juce::int16) global.value;

    after.unknown.clear();   // the defaults are values the editor knows, and sends
    history.replaceModel (before, after, "Default Values");
}

void EditorCommands::sendToKeyboard()
{
    if (! manager.isConnected())
    {
        dialogs.showMessageBox (juce::MessageBoxIconType::InfoIcon, EditorTexts::keyboardProblemTitle,
                                EditorTexts::notDetectedForSend);
        return;
    }

    panel.setStatusText ({}, false);
    waitForTheReadAfterIdentification();
    dialogs.showWaitCursor();
    const auto report = sendAndVerify (manager, keyboardCheck, manager.getModel());
    dialogs.hideWaitCursor();

    if (report.send.keyboardWentAway() || report.send.noKeyboardOutput)
    {
        // The cable went during the send: the link goes now, not at the next look at the ports.
        manager.dropLink();
        panel.keyboardPortsVanished();
        dialogs.showMessageBox (warning, EditorTexts::keyboardProblemTitle,
                                EditorTexts::sendInterrupted (report.send.framesSent, report.send.framesPlanned));
        return;
    }

    reportLeftOutValues (report.send.leftOut);
    reportVerification (report);
}

void EditorCommands::sendEditLive (const ModelField& field, int value)
{
    if (! manager.isConnected() || startupRead.isReading() || updating)
        return;

    const auto report = sendFieldAndCheck (manager, keyboardCheck, field, value);

    if (report.outcome == FieldSendReport::Outcome::keyboardGone
        || (report.outcome == FieldSendReport::Outcome::noKeyboard && ! manager.keyboardOutputIsListed()))
    {
        manager.dropLink();
        panel.keyboardPortsVanished();
    }

    panel.setStatusText (report.describe(), false);
}

void EditorCommands::reportVerification (const VerifiedSendReport& report)
{
    if (report.readBack == KeyboardReader::Outcome::keyboardGone)
    {
        history.markSentButUnchecked();
        manager.dropLink();
        panel.keyboardPortsVanished();
        dialogs.showMessageBox (warning, EditorTexts::keyboardProblemTitle, EditorTexts::keyboardWentAwayAfterSend);
        return;
    }

    if (report.readBack != KeyboardReader::Outcome::completed)
    {
        history.markSentButUnchecked();
        dialogs.showMessageBox (warning, EditorTexts::keyboardProblemTitle, EditorTexts::readBackFailed);
        relinkAfterSilence();
        return;
    }

    if (report.keyboardHoldsWhatWasSent())
    {
        history.markClean();
        panel.setStatusText (EditorTexts::keyboardHoldsWhatWasSent (report.check.counts), true);
        return;
    }

    history.markSentButUnchecked();

    if (dialogs.showOkCancelBox (warning, EditorTexts::keyboardDiffersTitle,
                                 EditorTexts::keyboardDiffers (report.check.differences),
                                 EditorTexts::sendAgain, EditorTexts::close))
        sendToKeyboard();
}

void EditorCommands::waitForTheReadAfterIdentification()
{
    // Its model is handed over when it ends: a check before that would compare the editor's
    // old values, and a send would send them.
    if (startupRead.waitUntilIdle (KeyboardReader::answerTimeoutMs * 2))
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
}

std::optional<SettingsModel> EditorCommands::readKeyboard()
{
    waitForTheReadAfterIdentification();
    const auto result = keyboardCheck.read();

    if (! result.completed())
        return std::nullopt;

    return result.model;
}

void EditorCommands::relinkAfterSilence()
{
    // A keyboard plugged in again at once keeps its ports' names and numbers, so the port
    // list cannot tell; the ports the link holds are dead, though. Link again from scratch.
    manager.dropLink();
    panel.keyboardPortsVanished();
    manager.searchAgain();
}

void EditorCommands::compareWithKeyboard()
{
    if (! manager.isConnected())
    {
        dialogs.showMessageBox (juce::MessageBoxIconType::InfoIcon, EditorTexts::keyboardProblemTitle, EditorTexts::notDetected);
        return;
    }

    dialogs.showWaitCursor();
    const auto held = readKeyboard();
    dialogs.hideWaitCursor();

    if (! held.has_value())
    {
        dialogs.showMessageBox (warning, EditorTexts::keyboardProblemTitle, EditorTexts::compareReadFailed);
        relinkAfterSilence();
        return;
    }

    const auto editor = manager.getModel();
    const auto check = checkModels (editor, *held, ComparisonScope::keyboardReport);

    if (check.differences.empty())
    {
        dialogs.showMessageBox (juce::MessageBoxIconType::InfoIcon, EditorTexts::compareTitle,
                                EditorTexts::keyboardHoldsWhatTheEditorShows (check.counts));
        return;
    }

    if (! dialogs.showOkCancelBox (juce::MessageBoxIconType::QuestionIcon, EditorTexts::compareTitle,
                                   EditorTexts::keyboardDiffersFromEditor (check.differences),
                                   EditorTexts::takeKeyboardValues, EditorTexts::close))
        return;

    auto taken = editor;
    applyDifferences (taken, check.differences, true);
    history.replaceModel (editor, taken, EditorTexts::takeKeyboardValues);
}

void EditorCommands::reportLeftOutValues (const std::vector<LeftOutValue>& leftOut)
{
    if (! leftOut.empty())
        dialogs.showMessageBox (warning, EditorTexts::valuesNotSentTitle, describeLeftOutValues (leftOut));
}

void EditorCommands::loadSettings()
{
    const auto file = dialogs.browseForFileToOpen ({ EditorTexts::loadTitle, lastFolder, "*.vr49" });

    if (! file.has_value())
        return;

    rememberFolderOf (*file);

    const auto before = manager.getModel();
    auto loaded = before;

    if (const auto result = loadSettingsFile (*file, loaded); result.failed())
    {
        dialogs.showMessageBox (warning, EditorTexts::notLoadedTitle, EditorTexts::notLoaded (*file, result.getErrorMessage()));
        return;
    }

    history.replaceModel (before, loaded, "Load " + file->getFileName());
    lastSettingsName = file->getFileNameWithoutExtension();
    history.markClean();   // what the editor holds is in that file

    if (! manager.isConnected())
        panel.showNotDetectedLater();
}

std::optional<juce::File> EditorCommands::chooseFileToSave (const juce::String& title, const juce::String& pattern,
                                                            const juce::File& proposed)
{
    const auto extension = proposed.getFileExtension().substring (1);
    const auto chosen = dialogs.browseForFileToSave ({ title, proposed, pattern }, true);

    if (! chosen.has_value())
        return std::nullopt;

    rememberFolderOf (*chosen);

    const auto file = chosen->withFileExtension (extension);

    // The chooser asked about the name the user typed; forcing the extension can
    // land on another existing file, which must not be replaced unasked.
    if (file != *chosen && file.exists()
        && ! dialogs.showOkCancelBox (warning, "File already exists",
                                      "There's already a file called: " + file.getFullPathName()
                                          + "\n\nAre you sure you want to overwrite it?",
                                      "Overwrite", "Cancel"))
        return std::nullopt;

    return file;
}

bool EditorCommands::saveSettings()
{
    const auto file = chooseFileToSave (EditorTexts::saveTitle, "*.vr49",
                                        lastFolder.getChildFile (lastSettingsName).withFileExtension ("vr49"));

    if (! file.has_value())
        return false;

    if (const auto result = saveSettingsFile (manager, *file); result.failed())
    {
        dialogs.showMessageBox (warning, EditorTexts::notSavedTitle, EditorTexts::notSaved (*file, result.getErrorMessage()));
        return false;
    }

    history.markClean();
    lastSettingsName = file->getFileNameWithoutExtension();
    return true;
}

void EditorCommands::rememberFolderOf (const juce::File& file)
{
    lastFolder = file.getParentDirectory();
}

void EditorCommands::exportChart()
{
    const auto file = chooseFileToSave (EditorTexts::chartTitle, "*.html",
                                        lastFolder.getChildFile (lastSettingsName).withFileExtension ("html"));

    if (! file.has_value())
        return;

    if (const auto result = exportMidiChart (manager, *file); result.failed())
        dialogs.showMessageBox (warning, EditorTexts::chartNotWrittenTitle,
                                EditorTexts::chartNotWritten (*file, result.getErrorMessage()));
}

bool EditorCommands::runUpdate (FirmwareUpdateRequest request)
{
    // While the dialogue runs, the bootloader's port comes and goes: that is this update.
    const juce::ScopedValueSetter<bool> busy (updating, true);
    request.configurationKept = keeper.hasKept();
    request.saveACopy = [this] { saveACopyOfTheKeptConfiguration(); };

    // Until it restarts with the new firmware, that bootloader is no update left unfinished.
    request.bootloaderUsed = &updatedBootloader;
    return runFirmwareUpdate (manager, request, dialogs);
}

void EditorCommands::upgradeFirmware()
{
    if (manager.isConnected())
    {
        waitForTheReadAfterIdentification();
        dialogs.showWaitCursor();
        const bool kept = keeper.keepFrom (keyboardCheck);
        dialogs.hideWaitCursor();

        if (! kept && ! dialogs.showOkCancelBox (warning, FirmwareDialogTexts::enterUpdateModeTitle,
                                                 EditorTexts::keptReadFailed, "OK", "Cancel"))
            return;
    }

    runUpdate ({});
}

void EditorCommands::offerToFinishTheUpdate (const juce::MidiDeviceInfo& bootloaderPort)
{
    if (updating || manager.isConnected()
        || (bootloaderPort.identifier.isNotEmpty() && bootloaderPort.identifier == updatedBootloader))
        return;

    if (! dialogs.showOkCancelBox (juce::MessageBoxIconType::QuestionIcon, EditorTexts::inUpdateModeTitle,
                                   EditorTexts::keyboardInUpdateMode (bootloaderPort.name), EditorTexts::chooseFirmware,
                                   EditorTexts::notNow))
        return;

    FirmwareUpdateRequest request;
    request.keyboardInUpdateMode = true;
    runUpdate (request);
}

void EditorCommands::saveACopyOfTheKeptConfiguration()
{
    if (! keeper.hasKept())
        return;

    const auto file = chooseFileToSave (EditorTexts::saveTitle, "*.vr49",
                                        ConfigurationKeeper::defaultCopyIn (lastFolder, juce::Time::getCurrentTime()));

    if (! file.has_value())
        return;

    if (const auto result = saveSettingsFile (keeper.getKept(), *file); result.failed())
        dialogs.showMessageBox (warning, EditorTexts::notSavedTitle, EditorTexts::notSaved (*file, result.getErrorMessage()));
}

void EditorCommands::offerKeptConfigurationBack (const SettingsModel& keyboardNow)
{
    if (! keeper.hasKept())
        return;

    const auto changes = keeper.compareWith (keyboardNow);
    const auto kept = keeper.getKept();
    keeper.forget();

    if (! changes.any()
        || ! dialogs.showOkCancelBox (juce::MessageBoxIconType::QuestionIcon, EditorTexts::afterTheUpdateTitle,
                                      EditorTexts::configurationChangedByTheUpdate (changes.describe()),
                                      EditorTexts::restoreMyConfiguration, EditorTexts::keepTheKeyboards))
        return;

    // Undoable as taking the keyboard's values is; then sent and checked.
    history.replaceModel (manager.getModel(), kept, EditorTexts::restoreMyConfiguration);
    sendToKeyboard();
}

juce::String describeLeftOutValues (const std::vector<LeftOutValue>& leftOut)
{
    juce::String text;
    text << (leftOut.size() == 1 ? "1 value was" : juce::String ((int) leftOut.size()) + " values were")
         << " not sent, because a MIDI data byte carries only 0 to 127; the keyboard keeps its own value there:\n";

    for (size_t i = 0; i < leftOut.size() && i < (size_t) leftOutLinesShown; ++i)
        text << "\n" << leftOut[i].field.describe() << " (" << leftOut[i].value << ")";

    if (leftOut.size() > (size_t) leftOutLinesShown)
        text << "\n... and " << (int) (leftOut.size() - leftOutLinesShown) << " more";

    return text;
}
