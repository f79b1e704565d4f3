#pragma once

#include "device/LumManager49.h"
#include "editor/DialogService.h"
#include "testing/FrameChecks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

// Helpers shared by the tests.

/** Runs the message loop until the predicate holds or the time is up; answers the predicate. */
bool pumpUntil (const std::function<bool()>& predicate, int timeoutMs = 3000);

/** Runs the message loop for a while, so that posted notifications are delivered. */
void pumpFor (int milliseconds);

juce::MidiMessage messageOf (std::initializer_list<int> bytes);
std::vector<int> bytesOf (const juce::MidiMessage& message);

/** A clock the search reads instead of the real one. */
struct FakeClock
{
    std::atomic<juce::uint32> now { 100000 };

    void attachTo (LumManager49& manager);
    void advance (juce::uint32 ms) { now += ms; }
};

/** Records the manager's events, from whichever thread they come. */
class RecordingListener : public LumManagerListener
{
public:
    struct Event
    {
        int code, first, second;
        bool onMessageThread;
    };

    void managerEvent (int event, int first, int second, int reserved) override;

    std::vector<Event> events() const;
    int count (int code) const;
    bool waitFor (int code, int occurrences = 1, int timeoutMs = 3000) const;

private:
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<Event> recorded;
};

/** Answers the editor's and the firmware update's dialogs without a display. */
class ScriptedDialogs : public DialogService
{
public:
    struct Shown
    {
        juce::String kind;   // "message", "okCancel", "yesNoCancel"
        juce::MessageBoxIconType icon;
        juce::String title;
        juce::String message;
    };

    void showMessageBox (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message) override;
    bool showOkCancelBox (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                          const juce::String& okText, const juce::String& cancelText) override;
    int showYesNoCancelBox (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                            const juce::String& yesText, const juce::String& noText, const juce::String& cancelText) override;
    std::optional<juce::File> browseForFileToOpen (const FileChoice& choice) override;
    std::optional<juce::File> browseForFileToSave (const FileChoice& choice, bool warnAboutOverwriting) override;
    bool runThreadWithProgressWindow (juce::ThreadWithProgressWindow& task) override;
    void showWaitCursor() override    { ++waitCursorShown; }
    void hideWaitCursor() override    { ++waitCursorHidden; }

    std::vector<Shown> shown;
    std::deque<bool> okCancelAnswers;                   // empty: OK (but "Close" rather than "Try Again")
    std::deque<int> yesNoCancelAnswers;                 // empty: cancel (0)
    std::deque<std::optional<juce::File>> fileAnswers;  // empty: cancelled
    std::vector<FileChoice> fileRequests;
    std::vector<bool> overwriteWarnings;
    std::vector<juce::StringArray> okCancelButtons;
    int waitCursorShown = 0, waitCursorHidden = 0;

    /** While the progress window runs: when this answers true, the user presses "Cancel". */
    std::function<bool()> cancelProgressWhen;
    std::function<void()> onOkCancel;   // runs when a box with a choice is answered
    int progressWindowsRun = 0;
};

/** A scratch folder removed at the end of the test. */
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();

    juce::File file (const juce::String& name) const   { return folder.getChildFile (name); }
    const juce::File& get() const noexcept             { return folder; }

private:
    juce::File folder;
};

/** The path of a file under tests/data. */
juce::File testDataFile (const juce::String& name);

/** The written file holds exactly the bytes of the expected one (which must not be empty). */
void expectSameBytes (const juce::File& written, const juce::File& expected);
