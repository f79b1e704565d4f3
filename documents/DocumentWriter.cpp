#include "documents/DocumentWriter.h"
#include "documents/DocumentWriterPlatform.h"

juce::Result writeXmlDocument (const juce::File& target, const juce::XmlElement& root)
{
    juce::MemoryOutputStream out;
    root.writeTo (out);
    return writeDocument (target, out.getMemoryBlock());
}

juce::File followLinks (juce::File file)
{
    for (int hops = 0; hops < 40 && file.isSymbolicLink(); ++hops)
    {
        const auto target = file.getNativeLinkedTarget();
        file = juce::File::isAbsolutePath (target) ? juce::File (target)
                                                  : file.getParentDirectory().getChildFile (target);
    }

    return file;
}

juce::Result checkReadable (const juce::File& file)
{
    if (file.isDirectory())
        return juce::Result::fail (quoted (file) + " is a folder");

    if (! file.existsAsFile())
        return juce::Result::fail (quoted (file) + " does not exist");

    return checkReadPermission (file);
}
