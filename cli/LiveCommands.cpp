// konsolion-cli's clashes and monitor: what the keyboard's controls send as they are played.

#include "cli/CliExitCode.h"
#include "cli/CliHandlers.h"
#include "cli/CliOutput.h"
#include "device/LiveMessageMap.h"
#include "device/LiveMessageQueue.h"
#include "device/ModelField.h"
#include "simulator/KeyboardCommandPipe.h"
#include "simulator/SimulatedKeyboard.h"

#include <cstdio>

namespace
{
    juce::String rawBytes (const juce::MidiMessage& message)
    {
        return juce::String::toHexString (message.getRawData(), message.getRawDataSize()).toUpperCase();
    }

    juce::String kindWord (LiveSignature::Kind kind)
    {
        switch (kind)
        {
            case LiveSignature::Kind::controlChange: return "cc";
            case LiveSignature::Kind::note:          return "note";
            case LiveSignature::Kind::pitchBend:     return "pitch-bend";
            case LiveSignature::Kind::pressure:      return "pressure";
        }

        return {};
    }

    juce::var controlsAsJson (const std::vector<ItemId>& items)
    {
        juce::Array<juce::var> list;

        for (const auto item : items)
        {
            auto* control = new juce::DynamicObject();
            control->setProperty ("item", item);
            control->setProperty ("name", controlDisplayName (item));
            list.add (juce::var (control));
        }

        return list;
    }

    /** "Bnk1:P1 - Cutoff  CC 74  ch 1  64", or the bytes of a message no control sends. */
    juce::String describeLive (const juce::MidiMessage& message, const std::optional<LiveTouch>& touch)
    {
        if (! touch.has_value() || touch->controls.empty())
            return "unknown  " + rawBytes (message);

        return controlDisplayNames (touch->controls) + "  " + touch->signature.describe() + "  " + juce::String (touch->value);
    }

    juce::String liveAsJson (const juce::MidiMessage& message, const std::optional<LiveTouch>& touch)
    {
        auto* object = new juce::DynamicObject();
        const bool known = touch.has_value() && ! touch->controls.empty();
        object->setProperty ("known", known);

        if (touch.has_value())
        {
            object->setProperty ("kind", kindWord (touch->signature.kind));
            object->setProperty ("channel", touch->signature.channel);

            if (touch->signature.kind == LiveSignature::Kind::controlChange || touch->signature.kind == LiveSignature::Kind::note)
                object->setProperty ("number", touch->signature.number);

            object->setProperty ("value", touch->value);
        }

        object->setProperty ("controls", controlsAsJson (known ? touch->controls : std::vector<ItemId>()));
        object->setProperty ("raw", rawBytes (message));
        return juce::JSON::toString (juce::var (object), true);
    }

    /** With --simulate and --commands: the named pipe plays the simulated keyboard. */
    std::unique_ptr<KeyboardCommandPipe> playSimulatedKeyboard (const CliOptions& options, KeyboardSession& session)
    {
        auto* keyboard = session.getSimulatedKeyboard();

        if (options.commandFifo.isEmpty() || keyboard == nullptr)
            return nullptr;

        return std::make_unique<KeyboardCommandPipe> (options.commandFifo, *keyboard,
            KeyboardCommands::Actions { {}, [] { KeyboardSession::interrupted = true; } },
            [] (const juce::String& problem) { std::fprintf (stderr, "konsolion-cli: %s\n", problem.toRawUTF8()); });
    }
}

int runClashes (const CliOptions& options, const juce::StringArray& arguments)
{
    int status = exitDone;
    const auto model = loadFile (arguments[0], status);

    if (! model.has_value())
        return status;

    const LiveMessageMap map (*model);
    const auto clashes = map.allClashes();

    if (options.json)
    {
        juce::Array<juce::var> list;

        for (const auto& group : clashes)
        {
            auto* clash = new juce::DynamicObject();
            const auto signature = *map.signatureOf (group.front());
            clash->setProperty ("kind", kindWord (signature.kind));
            clash->setProperty ("channel", signature.channel);
            clash->setProperty ("number", signature.number);
            clash->setProperty ("message", signature.describe());
            clash->setProperty ("controls", controlsAsJson (group));
            list.add (juce::var (clash));
        }

        sayCountedList ("clashes", list);
    }
    else
    {
        for (const auto& group : clashes)
            say (map.signatureOf (group.front())->describe() + ": " + controlDisplayNames (group));

        if (clashes.empty())
            std::fprintf (stderr, "konsolion-cli: no two controls send the same message\n");
    }

    return clashes.empty() ? exitDone : exitDifferences;
}

int runMonitor (const CliOptions& options, const juce::StringArray&)
{
    int status = exitDone;
    auto session = connectedSession (options, status);

    if (session == nullptr)
        return status;

    // The names follow what the keyboard really holds, not the catalogue.
    const auto model = readKeyboard (*session, status);

    if (! model.has_value())
        return status;

    const LiveMessageMap map (*model);
    LiveMessageQueue queue (65536);   // printed as fast as they come: nothing is dropped in practice
    auto& manager = session->getManager();
    manager.addLiveListener (&queue);

    const auto commands = playSimulatedKeyboard (options, *session);
    std::fprintf (stderr, "konsolion-cli: showing what the keyboard sends; Ctrl+C ends\n");

    std::vector<ItemId> lastNoteControls;
    bool keyboardGone = false;

    while (! KeyboardSession::interrupted && ! keyboardGone)
    {
        KeyboardSession::waitUntil ([&] { return queue.hasMessages(); }, 200);

        for (const auto& message : queue.take())
        {
            const auto touch = map.interpret (message, lastNoteControls);

            if (touch.has_value() && touch->signature.kind == LiveSignature::Kind::note && ! touch->controls.empty())
                lastNoteControls = touch->controls;

            say (options.json ? liveAsJson (message, touch) : describeLive (message, touch));
            std::fflush (stdout);
        }

        keyboardGone = ! manager.keyboardOutputIsListed();
    }

    manager.dropLink();   // nothing reaches the queue once the link is dropped
    manager.removeLiveListener (&queue);

    if (keyboardGone && ! KeyboardSession::interrupted)
        return fail (exitNoKeyboard, "the keyboard went away");

    return exitDone;
}
