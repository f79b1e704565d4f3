#include "cli/CliOutput.h"

#include "cli/CliExitCode.h"
#include "cli/ProgressLine.h"
#include "documents/SettingsFile.h"

#include <cstdio>

namespace
{
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
}

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


void sayCountedList (const char* name, const juce::Array<juce::var>& list)
{
    auto* object = new juce::DynamicObject();
    object->setProperty ("count", list.size());
    object->setProperty (name, list);
    say (juce::JSON::toString (juce::var (object), true));
}

/** One a line, or as JSON; answers the exit status: differences found or not. */
int printDifferences (const std::vector<ModelDifference>& differences, const ComparedSides& sides, bool json)
{
    if (json)
    {
        juce::Array<juce::var> list;
        for (const auto& difference : differences)
            list.add (differenceAsJson (difference, sides));

        sayCountedList ("differences", list);
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

    return printDifferences (report.check.differences, ComparedSides::fileAndKeyboard(), json);
}
