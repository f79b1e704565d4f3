#pragma once

#include <juce_core/juce_core.h>

/** Writes a document as an editor must: the bytes go to a new file beside the target
    and replace it only once they are all written and flushed, so a failure leaves the
    old file whole. A symbolic link is followed (the link stays and its target gets the
    new contents), an existing file keeps its permissions, and a file without write
    permission is refused rather than replaced. On failure the result says why, in
    words for the user ("the folder ... does not exist", "the disk is full"). */
juce::Result writeDocument (const juce::File& target, const juce::MemoryBlock& bytes);

/** The XML document as the editor writes it: UTF-8, JUCE's default layout. */
juce::Result writeXmlDocument (const juce::File& target, const juce::XmlElement& root);

/** Why writeDocument would refuse this target, found before anything is written (a
    scratch file is made and removed to learn whether the folder takes one); ok when it
    would not. */
juce::Result checkWritable (const juce::File& target);

/** The file a chain of symbolic links ends at; the file itself when it is no link. */
juce::File followLinks (juce::File file);

/** Why a file could not be read, in words for the user; ok when it can be. */
juce::Result checkReadable (const juce::File& file);
