#include "tests/support/TestSupport.h"

bool pumpUntil (const std::function<bool()>& predicate, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (! predicate())
    {
        if (juce::Time::getMillisecondCounter() > deadline)
            return predicate();

        juce::MessageManager::getInstance()->runDispatchLoopUntil (2);
    }

    return true;
}

void pumpFor (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

juce::MidiMessage messageOf (std::initializer_list<int> bytes)
{
    std::vector<juce::uint8> raw;

    for (auto b : bytes)
        raw.push_back ((juce::uint8) b);

    return juce::MidiMessage (raw.data(), (int) raw.size(), 0.0);
}

std::vector<int> bytesOf (const juce::MidiMessage& message)
{
    return { message.getRawData(), message.getRawData() + message.getRawDataSize() };
}

void FakeClock::attachTo (LumManager49& manager)
{
    manager.setMillisecondClock ([this] { return now.load(); });
}

//==============================================================================
void RecordingListener::managerEvent (int event, int first, int second, int)
{
    const auto* mm = juce::MessageManager::getInstanceWithoutCreating();
    const bool onMessageThread = mm != nullptr && mm->isThisTheMessageThread();
    {
        const std::lock_guard<std::mutex> lock (mutex);
        recorded.push_back ({ event, first, second, onMessageThread });
    }
    changed.notify_all();
}

std::vector<RecordingListener::Event> RecordingListener::events() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return recorded;
}

int RecordingListener::count (int code) const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return (int) std::count_if (recorded.begin(), recorded.end(), [code] (const Event& e) { return e.code == code; });
}

bool RecordingListener::waitFor (int code, int occurrences, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock (mutex);
    return changed.wait_for (lock, std::chrono::milliseconds (timeoutMs), [&] {
        return std::count_if (recorded.begin(), recorded.end(), [code] (const Event& e) { return e.code == code; })
               >= occurrences;
    });
}

//==============================================================================
void ScriptedDialogs::showMessageBox (juce::MessageBoxIconType icon, const juce::String& title,
                                      const juce::String& message)
{
    shown.push_back ({ "message", icon, title, message });
}

bool ScriptedDialogs::showOkCancelBox (juce::MessageBoxIconType icon, const juce::String& title,
                                       const juce::String& message, const juce::String& okText,
                                       const juce::String& cancelText)
{
    shown.push_back ({ "okCancel", icon, title, message });
    okCancelButtons.push_back ({ okText, cancelText });

    if (onOkCancel)
        onOkCancel();

    if (okCancelAnswers.empty())
        return okText != "Try Again";   // unscripted, a failed update is not tried again for ever

    const auto answer = okCancelAnswers.front();
    okCancelAnswers.pop_front();
    return answer;
}

int ScriptedDialogs::showYesNoCancelBox (juce::MessageBoxIconType icon, const juce::String& title,
                                        const juce::String& message, const juce::String& yesText,
                                        const juce::String& noText, const juce::String& cancelText)
{
    shown.push_back ({ "yesNoCancel", icon, title, message });
    okCancelButtons.push_back ({ yesText, noText, cancelText });

    if (onOkCancel)
        onOkCancel();

    if (yesNoCancelAnswers.empty())
        return 0;

    const auto answer = yesNoCancelAnswers.front();
    yesNoCancelAnswers.pop_front();
    return answer;
}

std::optional<juce::File> ScriptedDialogs::browseForFileToOpen (const FileChoice& choice)
{
    fileRequests.push_back (choice);

    if (fileAnswers.empty())
        return std::nullopt;

    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<juce::File> ScriptedDialogs::browseForFileToSave (const FileChoice& choice, bool warnAboutOverwriting)
{
    overwriteWarnings.push_back (warnAboutOverwriting);
    return browseForFileToOpen (choice);
}

bool ScriptedDialogs::runThreadWithProgressWindow (juce::ThreadWithProgressWindow& task)
{
    ++progressWindowsRun;
    task.startThread();

    while (task.isThreadRunning())
    {
        if (cancelProgressWhen && cancelProgressWhen())
        {
            // What the window's "Cancel" button does.
            task.signalThreadShouldExit();
            task.waitForThreadToExit (10000);
            return false;
        }

        juce::MessageManager::getInstance()->runDispatchLoopUntil (2);
    }

    return true;
}

//==============================================================================
ScratchFolder::ScratchFolder()
    : folder (juce::File::createTempFile ("konsolion-test"))
{
    folder.createDirectory();
}

ScratchFolder::~ScratchFolder()
{
    folder.deleteRecursively();
}

juce::File testDataFile (const juce::String& name)
{
    return juce::File (KONSOLION_TEST_DATA_DIR).getChildFile (name);
}

void expectSameBytes (const juce::File& written, const juce::File& expected)
{
    juce::MemoryBlock writtenBytes, expectedBytes;
    written.loadFileAsData (writtenBytes);
    expected.loadFileAsData (expectedBytes);
    ASSERT_GT (expectedBytes.getSize(), 0u) << expected.getFullPathName();
    EXPECT_EQ (writtenBytes.toString(), expectedBytes.toString());
}
