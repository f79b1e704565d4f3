#pragma once

#include <juce_events/juce_events.h>

#include <memory>

/** Under Wine, JUCE's Windows windows stop repainting after their first frame: JUCE 7
    turns repaint() into drawing only on a vertical blank, and Wine does not implement
    IDXGIOutput::WaitForVBlank. The timer this returns does at 60 Hz what the blank would
    have done. Nothing anywhere else (a real Windows, Linux). */
std::unique_ptr<juce::Timer> startRepaintPumpUnderWine();

/** Whether this program runs under Wine (whose ntdll exports wine_get_version). */
bool isRunningUnderWine();
