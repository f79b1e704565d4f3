#include "simulator/FrameLog.h"

FrameLog::FrameLog (const juce::String& path)
{
    if (path.isNotEmpty())
        file = std::fopen (path.toRawUTF8(), "a");
}

FrameLog::~FrameLog()
{
    if (file != nullptr)
        std::fclose (file);
}

juce::String FrameLog::hexOf (const juce::MidiMessage& message)
{
    return juce::String::toHexString (message.getRawData(), message.getRawDataSize()).toUpperCase();
}

void FrameLog::frame (const juce::MidiMessage& message)   { writeLine (hexOf (message)); }
void FrameLog::note (const juce::String& text)            { writeLine ("# " + text); }

void FrameLog::writeLine (const juce::String& line)
{
    const std::lock_guard<std::mutex> lock (mutex);

    if (file == nullptr)
        return;

    std::fputs ((line + "\n").toRawUTF8(), file);
    std::fflush (file);
}
