#include "editor/EditorCommands.h"

#include "device/LumManager49.h"
#include "device/ModelComparison.h"
#include "documents/MidiChart.h"
#include "documents/SettingsFile.h"
#include "editor/DialogService.h"
#include "editor/EditHistory.h"
#include "editor/EditorTexts.h"
#include "editor/KbdSettingComponentVR49.h"
#include "firmware/UpdaterRunner.h"

namespace
{
    juce::File documentsDirectory()
    {
        return juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);
    }

    constexpr auto warning = juce::MessageBoxIconType::WarningIcon;
    constexpr int leftOutLinesShown = 12;
}

EditorCommands::EditorCommands (KbdSettingComponentVR49& p, LumManager49& m, EditHistory& h, DialogService& d)
    : panel (p), manager (m), history (h), dialogs (d)
{
}

void EditorCommands::resetToDefaults()
{
    const auto before = manager.getModel();
    manager.resetItemDefaults();   // the item defaults, and the firmware revision cleared

    auto after = manager.getModel();
    for (const auto& [index, value] : { std::pair<int, int> { GlobalIndex::LowerChannel, 0 },
                                        { GlobalIndex::UpperChannel, 0 }, { GlobalIndex::FaderMode, 1 },
                                        { GlobalIndex::KnobMode, 1 }, { GlobalIndex::SplitMode, 1 },
                                        { GlobalIndex::SplitPoint, 60 } })
        after.globals[(size_t) index] = (juce::int16) value;

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

    panel.setStatusText ({});
    const auto sent = manager.getModel();
    dialogs.showWaitCursor();
    const auto report = manager.sendAllToKeyboard();
    const auto held = report.completed ? readKeyboard() : std::nullopt;   // the read back, under the same cursor
    dialogs.hideWaitCursor();

    if (! report.completed)
    {
        // The cable went during the send: the link goes now, not at the next look at the ports.
        manager.dropLink();
        panel.keyboardPortsVanished();
        dialogs.showMessageBox (warning, EditorTexts::keyboardProblemTitle,
                                EditorTexts::sendInterrupted (report.framesSent, report.framesPlanned));
        return;
    }

    reportLeftOutValues (report.leftOut);
    verifySend (sent, report, held);
}

void EditorCommands::verifySend (const SettingsModel& sent, const SendAllReport& report,
                                 const std::optional<SettingsModel>& held)
{
    if (! held.has_value())
    {
        dialogs.showMessageBox (warning, EditorTexts::keyboardProblemTitle, EditorTexts::readBackFailed);
        relinkAfterSilence();
        return;
    }

    // What could not be carried was told already; it is no difference.
    std::set<ModelField> leftOut;
    for (const auto& value : report.leftOut)
        leftOut.insert (value.field);

    const auto differences = compareModels (sent, *held, ComparisonScope::sentSettings, leftOut);

    if (differences.empty())
    {
        history.markClean();
        panel.setStatusText (EditorTexts::keyboardHoldsWhatWasSent (countCompared (sent, ComparisonScope::sentSettings)));
        return;
    }

    if (dialogs.showOkCancelBox (warning, EditorTexts::keyboardDiffersTitle, EditorTexts::keyboardDiffers (differences),
                                 EditorTexts::sendAgain, EditorTexts::close))
        sendToKeyboard();
}

std::optional<SettingsModel> EditorCommands::readKeyboard()
{
    constexpr int answerTimeoutMs = 1000;
    // The read after a connection goes into the editor's model: it ends first, or its
    // answers would land in this one.
    if (panel.isReadingBack())
        panel.getConfigurationRead().waitUntilEnded (answerTimeoutMs);

    auto& reader = panel.getKeyboardCheck();
    reader.start();
    const auto outcome = reader.waitUntilEnded (answerTimeoutMs);

    if (outcome != ConfigurationReader::Outcome::completed)
        return std::nullopt;

    return reader.getReadModel();
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
    const auto differences = compareModels (editor, *held, ComparisonScope::keyboardReport);

    if (differences.empty())
    {
        dialogs.showMessageBox (juce::MessageBoxIconType::InfoIcon, EditorTexts::compareTitle,
                                EditorTexts::keyboardHoldsWhatTheEditorShows (countCompared (editor, ComparisonScope::keyboardReport)));
        return;
    }

    if (! dialogs.showOkCancelBox (juce::MessageBoxIconType::QuestionIcon, EditorTexts::compareTitle,
                                   EditorTexts::keyboardDiffersFromEditor (differences), EditorTexts::takeKeyboardValues,
                                   EditorTexts::close))
        return;

    auto taken = editor;
    for (const auto& difference : differences)
        if (difference.actual.has_value())
            setValue (taken, difference.field, difference.actual);

    history.replaceModel (editor, taken, EditorTexts::takeKeyboardValues);
}

void EditorCommands::reportLeftOutValues (const std::vector<LeftOutValue>& leftOut)
{
    if (! leftOut.empty())
        dialogs.showMessageBox (warning, EditorTexts::valuesNotSentTitle, describeLeftOutValues (leftOut));
}

void EditorCommands::loadSettings()
{
    const auto file = dialogs.browseForFileToOpen ({ EditorTexts::loadTitle, documentsDirectory(), "*.vr49" });

    if (! file.has_value())
        return;

    const auto before = manager.getModel();
    auto loaded = before;

    if (const auto result = loadSettingsFile (*file, loaded); result.failed())
    {
        dialogs.showMessageBox (warning, EditorTexts::notLoadedTitle, EditorTexts::notLoaded (*file, result.getErrorMessage()));
        return;
    }

    history.replaceModel (before, loaded, "Load " + file->getFileName());
    history.markClean();   // what the editor holds is in that file

    if (! manager.isConnected())
        panel.showNotDetectedLater();
}

std::optional<juce::File> EditorCommands::chooseFileToSave (const juce::String& title, const juce::String& pattern,
                                                            const juce::String& extension)
{
    const auto chosen = dialogs.browseForFileToSave ({ title, documentsDirectory(), pattern }, true);

    if (! chosen.has_value())
        return std::nullopt;

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
    const auto file = chooseFileToSave (EditorTexts::saveTitle, "*.vr49", "vr49");

    if (! file.has_value())
        return false;

    if (const auto result = saveSettingsFile (manager, *file); result.failed())
    {
        dialogs.showMessageBox (warning, EditorTexts::notSavedTitle, EditorTexts::notSaved (*file, result.getErrorMessage()));
        return false;
    }

    history.markClean();
    return true;
}

void EditorCommands::exportChart()
{
    const auto file = chooseFileToSave (EditorTexts::chartTitle, "*.html", "html");

    if (! file.has_value())
        return;

    if (const auto result = exportMidiChart (manager, *file); result.failed())
        dialogs.showMessageBox (warning, EditorTexts::chartNotWrittenTitle,
                                EditorTexts::chartNotWritten (*file, result.getErrorMessage()));
}

void EditorCommands::upgradeFirmware()
{
    runFirmwareUpdate (manager, {}, dialogs);
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
