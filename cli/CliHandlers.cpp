#include "cli/CliHandlers.h"

#include "cli/CliExitCode.h"
#include "cli/IdentityProbe.h"
#include "cli/KeyboardSession.h"
#include "cli/ProgressLine.h"
#include "device/ModelComparison.h"
#include "documents/DocumentWriter.h"
#include "documents/MidiChart.h"
#include "documents/SettingsFile.h"
#include "firmware/FirmwareBurner.h"
#include "firmware/FirmwareImage.h"
#include "firmware/UpdatePort.h"
#include "simulator/SimulatedKeyboard.h"

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace
{
    int fail (int status, const juce::String& text)
    {
        std::fprintf (stderr, "konsolion-cli: %s\n", text.toRawUTF8());
        return status;
    }

    void say (const juce::String& text)
    {
        std::printf ("%s\n", text.toRawUTF8());
        std::fflush (stdout);
    }

    juce::File fileArgument (const juce::String& path)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (path);
    }

    /** A settings file, or the exit status and the line that say why not. */
    std::optional<SettingsModel> loadFile (const juce::String& path, int& status)
    {
        auto model = SettingsModel::catalogueDefaults();
        const auto file = fileArgument (path);

        if (const auto result = loadSettingsFile (file, model); result.failed())
        {
            status = fail (exitFileError, "\"" + file.getFullPathName() + "\": " + result.getErrorMessage());
            return std::nullopt;
        }

        return model;
    }

    juce::var differenceAsJson (const ModelDifference& difference)
    {
        auto* object = new juce::DynamicObject();
        const auto& field = difference.field;
        object->setProperty ("group", field.group == ModelField::Group::item ? "item"
                                      : field.group == ModelField::Group::global ? "global" : "curve");
        object->setProperty ("id", field.id);

        if (field.group == ModelField::Group::item)
        {
            object->setProperty ("control", controlDisplayName (field.id));
            object->setProperty ("field", itemFieldName (field.param));
        }
        else
        {
            object->setProperty ("field", field.describe());
        }

        object->setProperty ("expected", difference.expected.has_value() ? juce::var (*difference.expected) : juce::var());
        object->setProperty ("actual", difference.actual.has_value() ? juce::var (*difference.actual) : juce::var());
        return juce::var (object);
    }

    /** One a line, or as JSON; answers the exit status: differences found or not. */
    int printDifferences (const std::vector<ModelDifference>& differences, bool json)
    {
        if (json)
        {
            juce::Array<juce::var> list;
            for (const auto& difference : differences)
                list.add (differenceAsJson (difference));

            auto* object = new juce::DynamicObject();
            object->setProperty ("count", (int) differences.size());
            object->setProperty ("differences", list);
            say (juce::JSON::toString (juce::var (object), true));
        }
        else
        {
            for (const auto& difference : differences)
                say (difference.describe());
        }

        return differences.empty() ? exitDone : exitDifferences;
    }

    /** A session linked to the keyboard, or the exit status and the line that say why not. */
    std::unique_ptr<KeyboardSession> connectedSession (const CliOptions& options, int& status)
    {
        auto session = std::make_unique<KeyboardSession> (options);
        const auto result = session->connect();

        if (result.wasOk())
            return session;

        status = KeyboardSession::interrupted ? fail (exitCancelled, "cancelled")
                                              : fail (exitNoKeyboard, result.getErrorMessage());
        return nullptr;
    }

    std::optional<SettingsModel> readKeyboard (KeyboardSession& session, int& status)
    {
        SettingsModel model;
        ProgressLine progress ("reading");
        progress.show (0.0);
        const auto result = session.read (model);
        progress.show (result.wasOk() ? 1.0 : 0.0);
        progress.finish();

        if (result.wasOk())
            return model;

        status = KeyboardSession::interrupted ? fail (exitCancelled, "cancelled")
                                              : fail (exitTransferFailed, result.getErrorMessage());
        return std::nullopt;
    }

    void reportLeftOut (const std::vector<LeftOutValue>& leftOut)
    {
        for (const auto& value : leftOut)
            say ("not sent (a MIDI data byte carries only 0 to 127): " + value.field.describe() + " ("
                 + juce::String (value.value) + ")");
    }
}

//==============================================================================
int runPorts (const CliOptions& options, const juce::StringArray&)
{
    KeyboardSession session (options);
    const auto answers = probeEveryOutput (session.getPorts(), KeyboardSession::interrupted);

    say ("Inputs:");
    for (const auto& name : session.getPorts().getInputNames())
        say ("  " + name + answers.describeInput (name));

    say ("Outputs:");
    for (const auto& name : session.getPorts().getOutputNames())
        say ("  " + name + answers.describeOutput (name));

    return KeyboardSession::interrupted ? exitCancelled : exitDone;
}

int runBackup (const CliOptions& options, const juce::StringArray& arguments)
{
    int status = exitDone;
    const auto session = connectedSession (options, status);

    if (session == nullptr)
        return status;

    const auto model = readKeyboard (*session, status);

    if (! model.has_value())
        return status;

    const auto file = fileArgument (arguments[0]);

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
    const auto report = session->send (*model, [&progress] (double fraction) { progress.show (fraction); });
    progress.finish();

    if (KeyboardSession::interrupted)
        return fail (exitCancelled, "cancelled after " + juce::String (report.framesSent) + " of "
                                        + juce::String (report.framesPlanned) + " frames: the keyboard holds part of the file");

    if (! report.completed)
        return fail (exitTransferFailed, "the keyboard was disconnected during the send: " + juce::String (report.framesSent)
                                             + " of " + juce::String (report.framesPlanned) + " frames were sent");

    reportLeftOut (report.leftOut);
    const auto held = readKeyboard (*session, status);

    if (! held.has_value())
        return status;

    std::set<ModelField> leftOut;
    for (const auto& value : report.leftOut)
        leftOut.insert (value.field);

    const auto differences = compareModels (*model, *held, ComparisonScope::sentSettings, leftOut);

    if (differences.empty() && ! options.json)
    {
        const auto counts = countCompared (*model, ComparisonScope::sentSettings);
        say ("restored: the keyboard holds what was sent (" + juce::String (counts.controls) + " controls, "
             + juce::String (counts.globals) + (counts.globals == 1 ? " global)" : " globals)"));
        return exitDone;
    }

    if (! differences.empty() && ! options.json)
        std::fprintf (stderr, "konsolion-cli: the keyboard does not hold what was sent:\n");

    return printDifferences (differences, options.json);
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

    return printDifferences (compareModels (*model, *held, ComparisonScope::keyboardReport), options.json);
}

int runDiff (const CliOptions& options, const juce::StringArray& arguments)
{
    int status = exitDone;
    const auto a = loadFile (arguments[0], status);
    const auto b = a.has_value() ? loadFile (arguments[1], status) : std::nullopt;

    if (! b.has_value())
        return status;

    return printDifferences (compareModels (*a, *b, ComparisonScope::wholeModel), options.json);
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

//==============================================================================
namespace
{
    /** Why an image cannot be flashed, before anything is sent; nothing when it can. */
    std::optional<juce::String> checkImage (const juce::File& image)
    {
        if (const auto readable = checkReadable (image); readable.failed())
            return readable.getErrorMessage();

        if (image.getSize() == 0)
            return juce::String ("the image is empty");

        if (blockCountFor (packedSizeFor (image.getSize())) > FirmwareLayout::maxBlockCount)
            return juce::String ("the image is too long for the bootloader (at most 58720228 bytes)");

        juce::FileInputStream in (image);

        if (! in.openedOk())
            return in.getStatus().getErrorMessage();

        return std::nullopt;
    }

    bool userConfirms (const CliOptions& options)
    {
        if (options.yes)
            return true;

        std::fprintf (stderr, "Unplug the keyboard, then plug it in again while holding \"Sound\", \"Multi\" and \"Edit\".\n"
                              "Flash it now? [y/N] ");
        std::fflush (stderr);

        std::string answer;
        if (! std::getline (std::cin, answer))
            return false;

        return answer == "y" || answer == "Y" || answer == "yes";
    }

    struct BurnThread : juce::Thread
    {
        BurnThread (FirmwareBurner& b, juce::String p) : juce::Thread ("firmware worker"), burner (b), path (std::move (p)) {}
        void run() override   { succeeded = burner.burn (path); }

        FirmwareBurner& burner;
        const juce::String path;
        std::atomic<bool> succeeded { false };
    };

    const juce::String incompleteFirmware ("the keyboard now holds an incomplete firmware: restart it in update mode "
                                           "and flash it again");
}

int runFlash (const CliOptions& options, const juce::StringArray& arguments)
{
    const auto image = fileArgument (arguments[0]);

    if (const auto problem = checkImage (image))
        return fail (exitFileError, "\"" + image.getFullPathName() + "\": " + *problem);

    KeyboardSession session (options);

    if (! userConfirms (options))
        return fail (exitCancelled, "not flashed");

    if (auto* keyboard = session.getSimulatedKeyboard())
        keyboard->restartInUpdateMode();   // as the real one, plugged in holding the three keys

    ProgressLine progress ("flashing");
    FirmwareBurner burner (session.getManager(), [&progress] (double fraction) { progress.show (fraction); });

    if (! attachUpdatePort (&burner, "USB A", session.getManager()))
    {
        attachUpdatePort (nullptr, "USB A", session.getManager());
        return fail (exitNoKeyboard, "no bootloader port (\"USB A\") found: is the keyboard in update mode?");
    }

    BurnThread worker (burner, image.getFullPathName());
    worker.startThread();

    while (worker.isThreadRunning())
    {
        if (KeyboardSession::interrupted)
            worker.signalThreadShouldExit();   // nothing more is sent; the block in transit is waited out

        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }

    progress.finish();
    attachUpdatePort (nullptr, "USB A", session.getManager());

    if (worker.succeeded)
    {
        say ("flashed " + image.getFileName() + ": the keyboard holds the new firmware");
        return exitDone;
    }

    const auto note = burner.didStartTransfer() ? "; " + incompleteFirmware : juce::String();

    if (KeyboardSession::interrupted)
        return fail (exitCancelled, "cancelled" + note);

    return fail (exitTransferFailed, "the bootloader did not take the whole image" + note);
}
