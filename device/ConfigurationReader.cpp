#include "device/ConfigurationReader.h"

#include <functional>

namespace
{
    constexpr ItemId firstHiddenItem = 99;
    constexpr ItemId lastHiddenItem = 106;

    /** The read's requests in order, with the answer each one waits for. */
    struct Step
    {
        std::function<bool (LumManager49&)> request;
        int answerEvent;
        int answerFirst;   // -1: any
    };

    const std::vector<Step>& steps()
    {
        using M = LumManager49;
        static const std::vector<Step> list {
            { [] (M& m) { return m.requestItemNumbers(); }, ManagerEvent::NumbersArrived, -1 },
            { [] (M& m) { return m.requestItemParam (ItemParam::Mode); }, ManagerEvent::ParameterListArrived, ItemParam::Mode },
            { [] (M& m) { return m.requestItemParam (ItemParam::Channel); }, ManagerEvent::ParameterListArrived, ItemParam::Channel },
            { [] (M& m) { return m.requestItemParam (ItemParam::MinLsb); }, ManagerEvent::ParameterListArrived, ItemParam::MinLsb },
            { [] (M& m) { return m.requestItemParam (ItemParam::MaxMsb); }, ManagerEvent::ParameterListArrived, ItemParam::MaxMsb },
            { [] (M& m) { return m.requestMidiChannel(); }, ManagerEvent::MidiChannelAnswer, -1 },
            { [] (M& m) { return m.requestKnobMode(); }, ManagerEvent::KnobModeAnswer, -1 },
            { [] (M& m) { return m.requestGlobal (GlobalIndex::LowerChannel); }, ManagerEvent::GlobalAnswer, GlobalIndex::LowerChannel },
            { [] (M& m) { return m.requestGlobal (GlobalIndex::FaderMode); }, ManagerEvent::GlobalAnswer, GlobalIndex::FaderMode },
            { [] (M& m) { return m.requestGlobal (GlobalIndex::SplitMode); }, ManagerEvent::GlobalAnswer, GlobalIndex::SplitMode },
            { [] (M& m) { return m.requestGlobal (GlobalIndex::SplitPoint); }, ManagerEvent::GlobalAnswer, GlobalIndex::SplitPoint },
            { [] (M& m) { return m.requestOctaveShift(); }, ManagerEvent::OctaveShiftAnswer, -1 },
        };
        return list;
    }

    constexpr int splitPointStep = 10;

    bool isListOfAnotherParameter (int event, int first)
    {
        return event == ManagerEvent::ParameterListArrived
               && first != ItemParam::Mode && first != ItemParam::Channel
               && first != ItemParam::MinLsb && first != ItemParam::MaxMsb;
    }
}

ConfigurationReader::ConfigurationReader (LumManager49& m, Target t) : manager (m), target (t) {}

ConfigurationReader::~ConfigurationReader()
{
    if (target == Target::ownModel)
        manager.captureAnswersInto (nullptr);
}

void ConfigurationReader::start()
{
    if (target == Target::ownModel)
    {
        {
            const juce::ScopedLock modelLock (manager.getModelLock());
            readModel = SettingsModel::catalogueDefaults();
        }

        manager.captureAnswersInto (&readModel);
    }
    else
    {
        manager.captureAnswersInto (nullptr);
    }

    {
        const std::lock_guard<std::mutex> lock (mutex);
        outcome = Outcome::reading;
        readingBack = true;
    }

    ask (0);
}

void ConfigurationReader::ask (int nextStep)
{
    {
        const std::lock_guard<std::mutex> lock (mutex);
        step = nextStep;
        lastRequestMs = juce::Time::getMillisecondCounter();
    }

    steps()[(size_t) nextStep].request (manager);
}

bool ConfigurationReader::takeAnswer (int event, int first, int& answered)
{
    const std::lock_guard<std::mutex> lock (mutex);

    if (outcome != Outcome::reading)
        return false;

    const auto& expected = steps()[(size_t) step];

    if (event != expected.answerEvent || (expected.answerFirst >= 0 && first != expected.answerFirst))
        return false;

    answered = step;
    return true;
}

void ConfigurationReader::handleManagerEvent (int event, int first)
{
    if (! readingBack)
        return;

    // A list of a parameter the read never asks for ends it, as the editor always did.
    if (isListOfAnotherParameter (event, first))
    {
        end (Outcome::completed);
        return;
    }

    int answered = 0;

    if (! takeAnswer (event, first, answered))
        return;

    if (listener != nullptr && (event == ManagerEvent::NumbersArrived || event == ManagerEvent::ParameterListArrived))
        listener->readDeliveredItemValues();

    if (listener != nullptr && answered == splitPointStep)
        listener->readReachedTheGlobals();

    if (answered + 1 < (int) steps().size())
    {
        ask (answered + 1);
        return;
    }

    for (ItemId item = firstHiddenItem; item <= lastHiddenItem; ++item)
        manager.resetItemValue (item);

    end (Outcome::completed);
}

void ConfigurationReader::abort()
{
    if (readingBack)
        end (Outcome::aborted);
}

void ConfigurationReader::end (Outcome result)
{
    {
        const std::lock_guard<std::mutex> lock (mutex);

        if (outcome != Outcome::reading)
            return;

        // A read into its own model keeps taking the answers until the next read or
        // its end: an answer later than the wait must not land in the manager's model.
        outcome = result;
        readingBack = false;
    }

    changed.notify_all();

    if (listener != nullptr)
        listener->readEnded (result);
}

ConfigurationReader::Outcome ConfigurationReader::waitUntilEnded (int answerTimeoutMs)
{
    std::unique_lock<std::mutex> lock (mutex);

    while (outcome == Outcome::reading)
    {
        const auto waited = juce::Time::getMillisecondCounter() - lastRequestMs;

        if (waited >= (juce::uint32) answerTimeoutMs)
        {
            lock.unlock();
            end (Outcome::noAnswer);
            lock.lock();
            break;
        }

        changed.wait_for (lock, std::chrono::milliseconds (answerTimeoutMs - (int) waited));
    }

    return outcome;
}

ConfigurationReader::Outcome ConfigurationReader::getOutcome() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return outcome;
}

SettingsModel ConfigurationReader::getReadModel() const
{
    const juce::ScopedLock modelLock (manager.getModelLock());   // the manager writes it under its lock
    return readModel;
}
