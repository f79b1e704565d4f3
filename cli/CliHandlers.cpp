#include "cli/CliHandlers.h"

#include "cli/CliExitCode.h"
#include "cli/CliOutput.h"
#include "cli/KeyboardSession.h"
#include "cli/ProgressLine.h"
#include "device/BootloaderPortName.h"
#include "device/FieldChoices.h"
#include "device/ModelComparison.h"
#include "documents/DocumentWriter.h"
#include "documents/MidiChart.h"
#include "documents/SettingsFile.h"

#include <cstdio>

//==============================================================================
int runPorts (const CliOptions& options, const juce::StringArray&)
{
    KeyboardSession session (options);
    juce::StringArray notOpened;
    const auto keyboards = session.findKeyboards (notOpened);

    const auto describe = [&] (const juce::String& name, bool input) {
        for (const auto& keyboard : keyboards)
            if ((input ? keyboard.inputName : keyboard.outputName) == name)
                return "   <- the keyboard, firmware " + firmwareRevisionText (keyboard.revision);

        if (input && notOpened.contains (name))
            return juce::String ("   (could not be opened: another program may hold it)");

        if (isUpdatePortName (name))
            return juce::String ("   <- a keyboard in update mode");

        return juce::String();
    };

    say ("Inputs:");
    for (const auto& name : session.getPorts().getInputNames())
        say ("  " + name + describe (name, true));

    say ("Outputs:");
    for (const auto& name : session.getPorts().getOutputNames())
        say ("  " + name + describe (name, false));

    return KeyboardSession::interrupted ? exitCancelled : exitDone;
}

int runBackup (const CliOptions& options, const juce::StringArray& arguments)
{
    const auto file = fileArgument (arguments[0]);

    // Found out before the keyboard is read, not after.
    if (const auto writable = checkWritable (file); writable.failed())
        return fail (exitFileError, "\"" + file.getFullPathName() + "\": " + writable.getErrorMessage());

    int status = exitDone;
    const auto session = connectedSession (options, status);

    if (session == nullptr)
        return status;

    const auto model = readKeyboard (*session, status);

    if (! model.has_value())
        return status;

    if (const auto saved = saveSettingsFile (*model, file); saved.failed())
        return fail (exitFileError, "\"" + file.getFullPathName() + "\": " + saved.getErrorMessage());

    say ("backed up the keyboard's configuration to " + file.getFullPathName());
    return exitDone;
}

int runRestore (const CliOptions& options, const juce::StringArray& arguments)
{
    int status = exitDone;
    const auto model = loadFile (arguments[0], status);   // a damaged file is refused before anything is sent

    if (! model.has_value())
        return status;

    const auto session = connectedSession (options, status);

    if (session == nullptr)
        return status;

    ProgressLine progress ("sending");
    const auto report = session->sendAndVerify (*model, [&progress] (double fraction) { progress.show (fraction); });
    progress.finish();
    return reportRestore (report, options.json);
}

int runVerify (const CliOptions& options, const juce::StringArray& arguments)
{
    int status = exitDone;
    const auto model = loadFile (arguments[0], status);

    if (! model.has_value())
        return status;

    const auto session = connectedSession (options, status);
    const auto held = session != nullptr ? readKeyboard (*session, status) : std::nullopt;

    if (! held.has_value())
        return status;

    const auto check = checkModels (*model, *held, ComparisonScope::keyboardReport);

    if (check.differences.empty() && ! options.json)
    {
        say ("the keyboard holds what " + fileArgument (arguments[0]).getFileName() + " holds ("
             + describeCounts (check.counts) + ")");
        return exitDone;
    }

    return printDifferences (check.differences, ComparedSides::fileAndKeyboard(), options.json);
}

int runDiff (const CliOptions& options, const juce::StringArray& arguments)
{
    int status = exitDone;
    const auto a = loadFile (arguments[0], status);
    const auto b = a.has_value() ? loadFile (arguments[1], status) : std::nullopt;

    if (! b.has_value())
        return status;

    const ComparedSides sides { "in " + fileArgument (arguments[0]).getFileName(),
                                "in " + fileArgument (arguments[1]).getFileName() };
    return printDifferences (compareModels (*a, *b, ComparisonScope::wholeModel), sides, options.json);
}

int runChart (const CliOptions&, const juce::StringArray& arguments)
{
    int status = exitDone;
    const auto model = loadFile (arguments[0], status);

    if (! model.has_value())
        return status;

    const auto out = fileArgument (arguments[1]);

    if (const auto written = exportMidiChart (*model, out); written.failed())
        return fail (exitFileError, "\"" + out.getFullPathName() + "\": " + written.getErrorMessage());

    say ("wrote the MIDI chart to " + out.getFullPathName());
    return exitDone;
}

