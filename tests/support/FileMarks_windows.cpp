#include "tests/support/FileMarks.h"

#include <windows.h>

namespace
{
    DWORD attributesOf (const juce::File& file)   { return GetFileAttributesW (file.getFullPathName().toWideCharPointer()); }

    void addAttribute (const juce::File& file, DWORD attribute)
    {
        SetFileAttributesW (file.getFullPathName().toWideCharPointer(), (attributesOf (file) & ~FILE_ATTRIBUTE_NORMAL) | attribute);
    }
}

void markForKeeping (const juce::File& file)   { addAttribute (file, FILE_ATTRIBUTE_HIDDEN); }

unsigned markOf (const juce::File& file)   { return attributesOf (file) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY); }

unsigned keptMark()   { return FILE_ATTRIBUTE_HIDDEN; }

void makeReadOnly (const juce::File& file)   { addAttribute (file, FILE_ATTRIBUTE_READONLY); }
