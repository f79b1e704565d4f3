#include "device/BootloaderPortName.h"

juce::String updatePortName (const juce::String& requestedName)
{
    if (juce::SystemStats::getOperatingSystemType() == juce::SystemStats::WinXP)
        return "USB Audio Device";

    return requestedName;
}

bool isUpdatePortName (const juce::String& portName, const juce::String& requestedName)
{
    const auto deviceName = updatePortName (requestedName);

    if (portName == deviceName)
        return true;

    const auto alsaSuffix = portName.fromFirstOccurrenceOf (deviceName + " MIDI ", false, false);
    return portName.startsWith (deviceName + " MIDI ") && alsaSuffix.isNotEmpty()
           && alsaSuffix.containsOnly ("0123456789");
}

juce::String findBootloaderOutput (const juce::StringArray& outputNames, const juce::String& requestedName)
{
    for (const auto& name : outputNames)
        if (isUpdatePortName (name, requestedName))
            return name;

    return {};
}
