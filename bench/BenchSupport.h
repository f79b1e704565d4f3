#pragma once

#include "editor/DialogService.h"

#include <juce_events/juce_events.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

// Timing helpers for the benchmarks: repeated runs, medians, and a table line
// with the floor measured or computed in the same run.

inline double millisecondsOf (const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
}

inline double median (std::vector<double> values)
{
    std::sort (values.begin(), values.end());
    const auto n = values.size();
    return n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

inline void pumpMessagesUntil (const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (! done() && juce::Time::getMillisecondCounter() < deadline)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
}

void printResult (const juce::String& name, int runs, double medianMs, double floorMs, const juce::String& floorText);

/** The editor's boxes answered at once and counted, with no window: a benchmark must
    never wait for a user. */
struct UnattendedDialogs : DialogService
{
    void showMessageBox (juce::MessageBoxIconType, const juce::String&, const juce::String&) override   { ++boxes; }
    bool showOkCancelBox (juce::MessageBoxIconType, const juce::String&, const juce::String&, const juce::String&,
                          const juce::String&) override   { ++boxes; return false; }
    int showYesNoCancelBox (juce::MessageBoxIconType, const juce::String&, const juce::String&, const juce::String&,
                            const juce::String&, const juce::String&) override   { ++boxes; return 0; }
    std::optional<juce::File> browseForFileToOpen (const FileChoice&) override                  { return std::nullopt; }
    std::optional<juce::File> browseForFileToSave (const FileChoice&, bool) override            { return std::nullopt; }
    bool runThreadWithProgressWindow (juce::ThreadWithProgressWindow&) override                 { return false; }
    void showWaitCursor() override {}
    void hideWaitCursor() override {}

    int boxes = 0;
};
