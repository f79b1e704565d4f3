#include "cli/CliHandlers.h"

#include "cli/CliExitCode.h"
#include "cli/KeyboardSession.h"
#include "cli/ProgressLine.h"
#include "device/FieldChoices.h"
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

    juce::var differenceAsJson (const ModelDifference& difference, const ComparedSides& sides)
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

        const auto number = [] (std::optional<int> value, bool known) {
            return value.has_value() && known ? juce::var (*value) : juce::var();
        };
        object->setProperty ("expected", number (difference.expected, difference.expectedKnown));
        object->setProperty ("actual", number (difference.actual, difference.actualKnown));
        object->setProperty ("expectedText", difference.describeExpected());
        object->setProperty ("actualText", difference.describeActual());
        object->setProperty ("text", difference.describe (sides));
        return juce::var (object);
    }

    /** One a line, or as JSON; answers the exit status: differences found or not. */
    int printDifferences (const std::vector<ModelDifference>& differences, const ComparedSides& sides, bool json)
    {
        if (json)
        {
            juce::Array<juce::var> list;
            for (const auto& difference : differences)
                list.add (differenceAsJson (difference, sides));

            auto* object = new juce::DynamicObject();
            object->setProperty ("count", (int) differences.size());
            object->setProperty ("differences", list);
            say (juce::JSON::toString (juce::var (object), true));
        }
        else
        {
            for (const auto& difference : differences)
                say (difference.describe (sides));
        }

        return differences.empty() ? exitDone : exitDifferences;
    }

    /** "84 controls, 6 globals", then what could not be checked. */
    juce::String describeCounts (const ComparedCounts& counts)
    {
        const auto notChecked = describeNotChecked (counts);
        return describeCheckedCounts (counts) + (notChecked.isEmpty() ? juce::String() : "; " + notChecked);
    }

    ComparedSides fileAndKeyboard()   { return { "in the file", "on the keyboard" }; }

    /** A session linked to the keyboard, or the exit status and the line that say why not. */
    std::unique_ptr<KeyboardSession> connectedSession (const CliOptions& options, int& status)
    {
        auto session = std::make_unique<KeyboardSession> (options);

        if (const auto failure = session->connect())
        {
            status = fail (failure->status, failure->message);
            return nullptr;
        }

        return session;
    }

    /** Why a read did not complete, as the exit status and its line. */
    int readFailure (KeyboardReader::Outcome outcome, const juce::String& when)
    {
        switch (outcome)
        {
            case KeyboardReader::Outcome::stopped:
                return fail (exitCancelled, "cancelled");
            case KeyboardReader::Outcome::keyboardGone:
            case KeyboardReader::Outcome::noKeyboard:
                return fail (exitNoKeyboard, "the keyboard went away " + when);
            case KeyboardReader::Outcome::noAnswer:
            case KeyboardReader::Outcome::completed:
                break;
        }

        return fail (exitTransferFailed, "the keyboard stopped answering " + when);
    }

    std::optional<SettingsModel> readKeyboard (KeyboardSession& session, int& status)
    {
        ProgressLine progress ("reading");
        progress.show (0.0);
        const auto result = session.read ([&progress] (double fraction) { progress.show (fraction); });
        progress.finish();

        if (result.completed())
            return result.model;

        status = readFailure (result.outcome, "before its whole configuration was read");
        return std::nullopt;
    }

    void reportLeftOut (const std::vector<LeftOutValue>& leftOut)
    {
        for (const auto& value : leftOut)
            say ("not sent (a MIDI data byte carries only 0 to 127): " + value.field.describe() + " ("
                 + juce::String (value.value) + ")");
    }

    juce::String framesSentText (const SendAllReport& report)
    {
        return juce::String (report.framesSent) + " of " + juce::String (report.framesPlanned) + " frames were sent";
    }

    /** What a restore's verified send came to, as the exit status and what it printed. */
    int reportRestore (const VerifiedSendReport& report, bool json)
    {
        if (report.send.stopped || (report.readBackDone && report.readBack == KeyboardReader::Outcome::stopped))
            return fail (exitCancelled, "cancelled after " + framesSentText (report.send)
                                            + ": the keyboard may hold part of the file");

        if (report.send.keyboardWentAway() || report.send.noKeyboardOutput)
            return fail (exitNoKeyboard, "the keyboard went away during the send: " + framesSentText (report.send)
                                             + ", so it does not hold the file");

        reportLeftOut (report.send.leftOut);

        if (report.readBack != KeyboardReader::Outcome::completed)
            return readFailure (report.readBack, "after the send, before it could be read back: "
                                                 "whether it holds the file was not checked");

        if (report.check.differences.empty() && ! json)
        {
            say ("restored: the keyboard holds what was sent (" + describeCounts (report.check.counts) + ")");
            return exitDone;
        }

        if (! report.check.differences.empty() && ! json)
            std::fprintf (stderr, "konsolion-cli: the keyboard does not hold what was sent:\n");

        return printDifferences (report.check.differences, fileAndKeyboard(), json);
    }
}

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

    return printDifferences (check.differences, fileAndKeyboard(), options.json);
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

    constexpr juce::uint32 lookAtPortsEveryMs = 250;

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

    // As the real one, plugged in again holding the three keys; an absent one stays absent.
    if (auto* keyboard = session.getSimulatedKeyboard(); keyboard != nullptr && keyboard->isPresent())
        keyboard->restartInUpdateMode();

    ProgressLine progress ("flashing");
    FirmwareBurner burner (session.getManager(), [&progress] (double fraction) { progress.show (fraction); });

    // The transfer's diagnostic lines would break the progress bar: only --verbose shows them.
    burner.setTraceSink ([verbose = options.verbose] (const juce::String& line) {
        if (verbose)
            std::fprintf (stderr, "%s\n", line.toRawUTF8());
    });

    if (! attachUpdatePort (&burner, "USB A", session.getManager()))
    {
        attachUpdatePort (nullptr, "USB A", session.getManager());
        return fail (exitNoKeyboard, "no bootloader port (\"USB A\") found: is the keyboard in update mode?");
    }

    BurnThread worker (burner, image.getFullPathName());
    worker.startThread();
    bool wentAway = false;
    auto nextLookAtPorts = juce::Time::getMillisecondCounter();

    while (worker.isThreadRunning())
    {
        if (KeyboardSession::interrupted)
            worker.signalThreadShouldExit();   // nothing more is sent; the block in transit is waited out

        // A bootloader that is gone answers nothing: say so now, not after every block's retries.
        if (juce::Time::getMillisecondCounter() >= nextLookAtPorts)
        {
            nextLookAtPorts = juce::Time::getMillisecondCounter() + lookAtPortsEveryMs;

            if (! worker.succeeded && ! session.getManager().keyboardOutputIsListed())
            {
                wentAway = true;
                worker.signalThreadShouldExit();
            }
        }

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

    if (wentAway)
        return fail (exitNoKeyboard, "the keyboard went away during the update" + note);

    return fail (exitTransferFailed, "the bootloader did not take the whole image" + note);
}
