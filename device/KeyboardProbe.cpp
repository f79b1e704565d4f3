#include "device/KeyboardProbe.h"

#include "device/DeviceFrames.h"
#include "device/FramePacing.h"

#include <condition_variable>
#include <mutex>

/** Collects the keyboard's identity replies, from whichever input they come. */
class KeyboardProbe::ReplyCollector : public MidiPortReceiver
{
public:
    struct Reply
    {
        juce::String inputName;
        std::array<juce::uint8, 4> revision;
    };

    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override
    {
        handleIncomingPortMessage (source != nullptr ? source->getName() : juce::String ("unknown"), message);
    }

    void handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double) override {}

    void handleIncomingPortMessage (const juce::String& sourceName, const juce::MidiMessage& message) override
    {
        if (! isIdentityReply (message))
            return;

        {
            const std::lock_guard<std::mutex> lock (mutex);
            replies.push_back ({ sourceName, identityRevision (message).value_or (std::array<juce::uint8, 4> {}) });
        }

        arrived.notify_all();
    }

    /** Waits until a reply satisfying the condition has come, or the time is up. */
    template <typename Condition>
    void waitFor (int timeoutMs, Condition condition, const std::function<bool()>& interrupted)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds (timeoutMs);
        std::unique_lock<std::mutex> lock (mutex);

        while (! condition (replies) && ! interrupted() && std::chrono::steady_clock::now() < deadline)
            arrived.wait_for (lock, std::chrono::milliseconds (20));
    }

    std::vector<Reply> take()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return std::exchange (replies, {});
    }

private:
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<Reply> replies;
};

/** The inputs, open for as long as the probe needs them. */
struct KeyboardProbe::OpenInputs
{
        OpenInputs (MidiPortSystem& ports, MidiPortReceiver& receiver, const juce::String& onlyThisOne = {})
        {
            for (const auto& device : ports.getInputDevices())
            {
                if (onlyThisOne.isNotEmpty() && device.name != onlyThisOne)
                    continue;

                if (auto input = ports.openInput (device.identifier, receiver))
                {
                    input->start();
                    inputs.push_back (std::move (input));
                }
                else
                {
                    notOpened.addIfNotAlreadyThere (device.name);
                }
            }
        }

        ~OpenInputs()
        {
            for (auto& input : inputs)
                input->stop();

            inputs.clear();   // deleting waits for a delivery still running
        }

        bool empty() const   { return inputs.empty(); }

        std::vector<std::unique_ptr<MidiInputPort>> inputs;
        juce::StringArray notOpened;
};

namespace
{
    bool askOutput (MidiPortSystem& ports, const juce::String& identifier)
    {
        auto output = ports.openOutput (identifier);

        if (output == nullptr)
            return false;

        output->sendMessageNow (buildIdentityRequest());
        pauseAfterIdentityRequest();
        return true;
    }
}

KeyboardProbe::KeyboardProbe (MidiPortSystem& p, const std::atomic<bool>* i)
    : ports (p), interrupted (i), collector (std::make_unique<ReplyCollector>())
{
}

KeyboardProbe::~KeyboardProbe()
{
    inputs.reset();
}

void KeyboardProbe::openInputs (const juce::String& onlyThisOne)
{
    inputs.reset();
    inputs = std::make_unique<OpenInputs> (ports, *collector, onlyThisOne);
}

juce::StringArray KeyboardProbe::getInputsNotOpened() const
{
    return inputs != nullptr ? inputs->notOpened : juce::StringArray();
}

bool KeyboardProbe::interruptedNow() const
{
    return interrupted != nullptr && interrupted->load();
}

std::vector<FoundKeyboard> KeyboardProbe::findAll()
{
    return probe (false);
}

std::optional<FoundKeyboard> KeyboardProbe::findFirst()
{
    auto found = probe (true);
    return found.empty() ? std::nullopt : std::optional<FoundKeyboard> (found.front());
}

std::vector<FoundKeyboard> KeyboardProbe::probe (bool stopAtFirst)
{
    openInputs();
    collector->take();
    const auto outputs = ports.getOutputNames();

    for (const auto& device : ports.getOutputDevices())
        if (! interruptedNow())
            askOutput (ports, device.identifier);

    const auto anyReply = [] (const auto& replies) { return ! replies.empty(); };
    const auto never = [] (const auto&) { return false; };
    const auto stop = [this] { return interruptedNow(); };

    if (stopAtFirst)
        collector->waitFor (answerWaitMs, anyReply, stop);
    else
        collector->waitFor (answerWaitMs, never, stop);

    std::vector<FoundKeyboard> found;

    for (const auto& reply : collector->take())
    {
        if (std::any_of (found.begin(), found.end(), [&] (const auto& k) { return k.inputName == reply.inputName; }))
            continue;

        const auto output = outputs.contains (reply.inputName) ? std::optional<juce::String> (reply.inputName)
                                                               : outputReaching (reply.inputName);

        if (output.has_value())
            found.push_back ({ reply.inputName, *output, reply.revision });

        if (stopAtFirst && ! found.empty())
            break;
    }

    return found;
}

std::optional<juce::String> KeyboardProbe::outputReaching (const juce::String& inputName)
{
    // The names tell nothing: ask the outputs one by one and see which one the input answers.
    const auto fromThatInput = [&inputName] (const auto& replies) {
        return std::any_of (replies.begin(), replies.end(), [&] (const auto& r) { return r.inputName == inputName; });
    };

    for (const auto& output : ports.getOutputDevices())
    {
        if (interruptedNow())
            break;

        collector->take();

        if (! askOutput (ports, output.identifier))
            continue;

        collector->waitFor (answerWaitMs, fromThatInput, [this] { return interruptedNow(); });

        if (fromThatInput (collector->take()))
            return output.name;
    }

    return std::nullopt;
}

std::optional<FoundKeyboard> KeyboardProbe::askPorts (const juce::String& inputName, const juce::String& outputName)
{
    openInputs (inputName);
    collector->take();
    if (inputs->empty() || ! askOutput (ports, ports.outputIdentifierOf (outputName)))
        return std::nullopt;

    const auto fromThatInput = [&inputName] (const auto& replies) {
        return std::any_of (replies.begin(), replies.end(), [&] (const auto& r) { return r.inputName == inputName; });
    };

    collector->waitFor (answerWaitMs, fromThatInput, [this] { return interruptedNow(); });

    for (const auto& reply : collector->take())
        if (reply.inputName == inputName)
            return FoundKeyboard { inputName, outputName, reply.revision };

    return std::nullopt;
}
