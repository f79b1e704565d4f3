#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdio>
#include <mutex>

/** A file with one line for every message the keyboard received, in hex
    ("F0 00 6D 3A 7F 03 ... F7"), and lines starting with "# " for what happened
    to the cable. Each line is on disk once written, for checks reading alongside. */
class FrameLog
{
public:
    /** Appends to the file; an empty path logs nothing. */
    explicit FrameLog (const juce::String& path);
    ~FrameLog();

    bool isOpen() const noexcept   { return file != nullptr; }

    void frame (const juce::MidiMessage& message);
    void note (const juce::String& text);

    /** "F0 7E 7F 06 01 F7" */
    static juce::String hexOf (const juce::MidiMessage& message);

private:
    void writeLine (const juce::String& line);

    std::mutex mutex;
    std::FILE* file = nullptr;
};
