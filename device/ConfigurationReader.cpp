#include "device/ConfigurationReader.h"

namespace
{
    constexpr ItemId firstHiddenItem = 99;
    constexpr ItemId lastHiddenItem = 106;
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
        lastRequestMs = juce::Time::getMillisecondCounter();
    }

    readingBack = true;
    sendFirstRequest();
}

void ConfigurationReader::sendFirstRequest()
{
    requestSent();
    manager.requestItemNumbers();
}

void ConfigurationReader::requestSent()
{
    const std::lock_guard<std::mutex> lock (mutex);
    lastRequestMs = juce::Time::getMillisecondCounter();
}

void ConfigurationReader::handleManagerEvent (int event, int first)
{
    if (readingBack)
        continueRead (event, first);
}

void ConfigurationReader::continueRead (int event, int first)
{
    const auto ask = [this] (auto request) { requestSent(); request(); };
    auto& m = manager;

    switch (event)
    {
        case ManagerEvent::NumbersArrived:
            if (listener != nullptr)
                listener->readDeliveredItemValues();

            ask ([&m] { m.requestItemParam (ItemParam::Mode); });
            break;

        case ManagerEvent::ParameterListArrived:
            if (listener != nullptr)
                listener->readDeliveredItemValues();

            switch (first)
            {
                case ItemParam::Mode:    ask ([&m] { m.requestItemParam (ItemParam::Channel); }); break;
                case ItemParam::Channel: ask ([&m] { m.requestItemParam (ItemParam::MinLsb); }); break;
                case ItemParam::MinLsb:  ask ([&m] { m.requestItemParam (ItemParam::MaxMsb); }); break;
                case ItemParam::MaxMsb:  ask ([&m] { m.requestMidiChannel(); }); break;
                default:                 end (Outcome::completed); break;
            }
            break;

        case ManagerEvent::MidiChannelAnswer:
            ask ([&m] { m.requestKnobMode(); });
            break;

        case ManagerEvent::KnobModeAnswer:
            ask ([&m] { m.requestGlobal (GlobalIndex::LowerChannel); });
            break;

        case ManagerEvent::GlobalAnswer:
            switch (first)
            {
                case GlobalIndex::LowerChannel: ask ([&m] { m.requestGlobal (GlobalIndex::FaderMode); }); break;
                case GlobalIndex::FaderMode:    ask ([&m] { m.requestGlobal (GlobalIndex::SplitMode); }); break;
                case GlobalIndex::SplitMode:    ask ([&m] { m.requestGlobal (GlobalIndex::SplitPoint); }); break;
                case GlobalIndex::SplitPoint:
                    if (listener != nullptr)
                        listener->readReachedTheGlobals();

                    ask ([&m] { m.requestOctaveShift(); });
                    break;
                default: break;
            }
            break;

        case ManagerEvent::OctaveShiftAnswer:
            for (ItemId item = firstHiddenItem; item <= lastHiddenItem; ++item)
                manager.resetItemValue (item);

            end (Outcome::completed);
            break;

        default:
            break;
    }
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
    }

    readingBack = false;
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
