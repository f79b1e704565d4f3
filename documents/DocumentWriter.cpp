#include "documents/DocumentWriter.h"

juce::Result writeXmlDocument (const juce::File& target, const juce::XmlElement& root)
{
    juce::MemoryOutputStream out;
    root.writeTo (out);
    return writeDocument (target, out.getMemoryBlock());
}
