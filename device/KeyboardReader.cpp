#include "device/KeyboardReader.h"

struct KeyboardReader::Step
{
    std::function<bool (LumManager49&)> request;
    Answer answer;
};

namespace
{
    using M = LumManager49;

    /** How long the answers to the optional requests are waited for: a keyboard that told
        everything else this quickly would tell these as quickly, if it answers them at all. */
    constexpr int optionalWaitPerSlowestAnswer = 5;
    constexpr int pollPeriodMs = 50;

    juce::uint32 millisecondsSince (juce::uint32 start)
    {
        return juce::Time::getMillisecondCounter() - start;
    }

    /** A model of the catalogue's defaults in which nothing the keyboard could tell is known yet. */
    SettingsModel modelAwaitingAnswers()
    {
        auto model = SettingsModel::catalogueDefaults();

        for (const auto& field : sendableFields (model))
            model.unknown.insert (field);

        return model;
    }
}

const std::vector<KeyboardReader::Step>& KeyboardReader::requiredSteps()
{
    static const std::vector<KeyboardReader::Step> steps {
        { [] (M& m) { return m.requestItemNumbers(); }, { ManagerEvent::NumbersArrived, -1 } },
        { [] (M& m) { return m.requestItemParam (ItemParam::Mode); }, { ManagerEvent::ParameterListArrived, ItemParam::Mode } },
        { [] (M& m) { return m.requestItemParam (ItemParam::Channel); }, { ManagerEvent::ParameterListArrived, ItemParam::Channel } },
        { [] (M& m) { return m.requestItemParam (ItemParam::MinLsb); }, { ManagerEvent::ParameterListArrived, ItemParam::MinLsb } },
        { [] (M& m) { return m.requestItemParam (ItemParam::MaxMsb); }, { ManagerEvent::ParameterListArrived, ItemParam::MaxMsb } },
        { [] (M& m) { return m.requestMidiChannel(); }, { ManagerEvent::MidiChannelAnswer, -1 } },
        { [] (M& m) { return m.requestKnobMode(); }, { ManagerEvent::KnobModeAnswer, -1 } },
        { [] (M& m) { return m.requestGlobal (GlobalIndex::LowerChannel); }, { ManagerEvent::GlobalAnswer, GlobalIndex::LowerChannel } },
        { [] (M& m) { return m.requestGlobal (GlobalIndex::FaderMode); }, { ManagerEvent::GlobalAnswer, GlobalIndex::FaderMode } },
        { [] (M& m) { return m.requestGlobal (GlobalIndex::SplitMode); }, { ManagerEvent::GlobalAnswer, GlobalIndex::SplitMode } },
        { [] (M& m) { return m.requestGlobal (GlobalIndex::SplitPoint); }, { ManagerEvent::GlobalAnswer, GlobalIndex::SplitPoint } },
        { [] (M& m) { return m.requestOctaveShift(); }, { ManagerEvent::OctaveShiftAnswer, -1 } },
    };
    return steps;
}

KeyboardReader::KeyboardReader (LumManager49& m) : manager (m) {}

KeyboardReader::~KeyboardReader()
{
    manager.removeAnswerCapture (&model);
}

bool KeyboardReader::isReading() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return reading;
}

void KeyboardReader::beginReading()
{
    {
        const juce::ScopedLock modelLock (manager.getModelLock());   // the manager writes it under this lock
        model = modelAwaitingAnswers();
    }

    {
        const std::lock_guard<std::mutex> lock (mutex);
        reading = true;
        slowestAnswerMs = 0;
    }

    // Registered until the next read: an answer later than its wait lands here, never
    // in the manager's own model.
    manager.addAnswerCapture (&model);
}

SettingsModel KeyboardReader::endReading()
{
    SettingsModel told;
    {
        const juce::ScopedLock modelLock (manager.getModelLock());
        told = model;
    }

    const std::lock_guard<std::mutex> lock (mutex);
    reading = false;
    awaited.clear();
    return told;
}

KeyboardReader::Result KeyboardReader::read (const std::function<bool()>& shouldStop,
                                             const std::function<void (double)>& progress)
{
    beginReading();

    Result result;
    result.outcome = runRequiredSteps (shouldStop, progress);

    if (result.completed())
        askOptionalValues (shouldStop);

    if (result.completed() && shouldStop && shouldStop())
        result.outcome = Outcome::stopped;

    result.model = endReading();
    return result;
}

std::optional<KeyboardReader::Step> KeyboardReader::stepAnswering (const ModelField& field)
{
    if (field.group == ModelField::Group::item && field.param == ItemParam::Option)
        return Step { [] (M& m) { return m.requestItemParam (ItemParam::Option); },
                      { ManagerEvent::ParameterListArrived, ItemParam::Option } };

    if (field.group == ModelField::Group::curve)
        return Step { [index = field.id] (M& m) { return m.requestCurve (index); }, { ManagerEvent::CurveAnswer, field.id } };

    // The read's own requests: the one whose answer carries this value.
    for (const auto& step : requiredSteps())
    {
        const auto& answer = step.answer;
        const bool answers = field.group == ModelField::Group::item
            ? (field.param == ItemParam::Number ? answer.event == ManagerEvent::NumbersArrived
                                                : answer.event == ManagerEvent::ParameterListArrived && answer.first == field.param)
            : (answer.event == ManagerEvent::MidiChannelAnswer && field.id == GlobalIndex::UpperChannel)
                  || (answer.event == ManagerEvent::KnobModeAnswer && field.id == GlobalIndex::KnobMode)
                  || (answer.event == ManagerEvent::OctaveShiftAnswer && field.id == GlobalIndex::OctaveShift)
                  || (answer.event == ManagerEvent::GlobalAnswer && answer.first == field.id);

        if (answers)
            return step;
    }

    return std::nullopt;
}

std::optional<int> KeyboardReader::readField (const ModelField& field, const std::function<bool()>& shouldStop)
{
    const auto step = stepAnswering (field);

    if (! step.has_value())
        return std::nullopt;

    beginReading();
    expect ({ step->answer });
    const bool answered = step->request (manager) && awaitAnswers (answerTimeoutMs, shouldStop);
    const auto told = endReading();

    if (! answered || ! told.isKnown (field))
        return std::nullopt;

    return valueOf (told, field);
}

KeyboardReader::Outcome KeyboardReader::runRequiredSteps (const std::function<bool()>& shouldStop,
                                                          const std::function<void (double)>& progress)
{
    const auto& steps = requiredSteps();

    for (size_t i = 0; i < steps.size(); ++i)
    {
        expect ({ steps[i].answer });
        const auto askedAt = juce::Time::getMillisecondCounter();

        if (! steps[i].request (manager))
            return Outcome::noKeyboard;

        if (! awaitAnswers (answerTimeoutMs, shouldStop))
        {
            if (shouldStop && shouldStop())
                return Outcome::stopped;

            return manager.keyboardOutputIsListed() ? Outcome::noAnswer : Outcome::keyboardGone;
        }

        {
            const std::lock_guard<std::mutex> lock (mutex);
            slowestAnswerMs = std::max (slowestAnswerMs, millisecondsSince (askedAt));
        }

        if (progress)
            progress ((double) (i + 1) / (double) steps.size());
    }

    for (ItemId item = firstHiddenItem; item <= lastHiddenItem; ++item)
        manager.resetItemValue (item);

    return Outcome::completed;
}

void KeyboardReader::askOptionalValues (const std::function<bool()>& shouldStop)
{
    // Asked one after another without waiting in between: a keyboard that does not
    // answer them costs one short wait, not four.
    std::vector<Answer> answers { { ManagerEvent::ParameterListArrived, ItemParam::Option } };

    for (const auto curve : sentCurves)
        answers.push_back ({ ManagerEvent::CurveAnswer, curve });

    expect (answers);
    manager.requestItemParam (ItemParam::Option);

    for (const auto curve : sentCurves)
        manager.requestCurve (curve);

    awaitAnswers (optionalWaitMs(), shouldStop);
}

int KeyboardReader::optionalWaitMs() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return juce::jlimit (optionalAnswerWaitMs, answerTimeoutMs, (int) slowestAnswerMs * optionalWaitPerSlowestAnswer);
}

void KeyboardReader::expect (const std::vector<Answer>& answers)
{
    const std::lock_guard<std::mutex> lock (mutex);
    awaited = answers;
}

bool KeyboardReader::awaitAnswers (int timeoutMs, const std::function<bool()>& shouldStop)
{
    const auto start = juce::Time::getMillisecondCounter();
    std::unique_lock<std::mutex> lock (mutex);

    while (! awaited.empty())
    {
        const auto waited = (int) millisecondsSince (start);

        if (waited >= timeoutMs)
            return false;

        lock.unlock();
        const bool stop = shouldStop && shouldStop();
        lock.lock();

        if (stop)
            return false;

        answered.wait_for (lock, std::chrono::milliseconds (juce::jmin (pollPeriodMs, timeoutMs - waited)));
    }

    return true;
}

void KeyboardReader::handleManagerEvent (int event, int first)
{
    bool any = false;
    {
        const std::lock_guard<std::mutex> lock (mutex);

        if (! reading)
            return;

        // Only the answers awaited now move the read on: a late answer to an earlier
        // request, or one asked by another read, does not.
        const auto before = awaited.size();
        awaited.erase (std::remove_if (awaited.begin(), awaited.end(),
                                       [event, first] (const Answer& a) { return a.matches (event, first); }),
                       awaited.end());
        any = awaited.size() != before;
    }

    if (any)
        answered.notify_all();
}
