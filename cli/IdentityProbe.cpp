#include "cli/IdentityProbe.h"

#include "device/DeviceFrames.h"
#include "device/FramePacing.h"
#include "editor/EditorChoices.h"

#include <mutex>
#include <thread>

namespace
{
    constexpr int answerWaitMs = 500;

    /** Collects the keyboard's identity replies, from whichever input they come. */
    struct ReplyCollector : MidiPortReceiver
    {
        void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override
        {
            handleIncomingPortMessage (source != nullptr ? source->getName() : juce::String ("unknown"), message);
        }

        void handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double) override {}

        void handleIncomingPortMessage (const juce::String& sourceName, const juce::MidiMessage& message) override
        {
            if (! isIdentityReply (message))
                return;

            const auto revision = identityRevision (message).value_or (std::array<juce::uint8, 4> {});
            const std::lock_guard<std::mutex> lock (mutex);
            replies.emplace_back (sourceName, firmwareRevisionText (revision));
        }

        std::vector<std::pair<juce::String, juce::String>> take()
        {
            const std::lock_guard<std::mutex> lock (mutex);
            return std::exchange (replies, {});
        }

        std::mutex mutex;
        std::vector<std::pair<juce::String, juce::String>> replies;
    };

    juce::String describe (const std::map<juce::String, juce::String>& answers, const juce::String& name)
    {
        const auto found = answers.find (name);
        return found != answers.end() ? "   <- the keyboard, firmware " + found->second : juce::String();
    }
}

juce::String IdentityAnswers::describeInput (const juce::String& name) const    { return describe (revisionByInput, name); }
juce::String IdentityAnswers::describeOutput (const juce::String& name) const   { return describe (revisionByOutput, name); }

IdentityAnswers probeEveryOutput (MidiPortSystem& ports, const std::atomic<bool>& interrupted)
{
    ReplyCollector collector;
    std::vector<std::unique_ptr<MidiInputPort>> inputs;

    for (int i = 0; i < ports.getInputNames().size(); ++i)
        if (auto input = ports.openInput (i, collector))
        {
            input->start();
            inputs.push_back (std::move (input));
        }

    IdentityAnswers answers;
    const auto outputs = ports.getOutputNames();

    for (int i = 0; i < outputs.size() && ! interrupted; ++i)
    {
        auto output = ports.openOutput (i);

        if (output == nullptr)
            continue;

        output->sendMessageNow (buildIdentityRequest());
        pauseAfterIdentityRequest();
        std::this_thread::sleep_for (std::chrono::milliseconds (answerWaitMs));

        for (const auto& [input, revision] : collector.take())
        {
            answers.revisionByInput[input] = revision;
            // The keyboard's output has its input's name where ALSA names them; else the one probed.
            answers.revisionByOutput[outputs.contains (input) ? input : outputs[i]] = revision;
        }
    }

    for (auto& input : inputs)
        input->stop();

    inputs.clear();   // deleting waits for a delivery still running
    return answers;
}
