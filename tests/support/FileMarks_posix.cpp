#include "tests/support/FileMarks.h"

#include <sys/stat.h>

void markForKeeping (const juce::File& file)   { ::chmod (file.getFullPathName().toRawUTF8(), 0640); }

unsigned markOf (const juce::File& file)
{
    struct stat status {};
    ::stat (file.getFullPathName().toRawUTF8(), &status);
    return status.st_mode & 07777;
}

unsigned keptMark()   { return 0640; }

void makeReadOnly (const juce::File& file)   { ::chmod (file.getFullPathName().toRawUTF8(), 0444); }
