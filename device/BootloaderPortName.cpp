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

    // Wine's WinMM over ALSA puts the ALSA client's name before the port's: "USB A - USB A MIDI 1".
    const auto winePrefix = deviceName + " - ";
    const auto name = portName.startsWith (winePrefix + deviceName + " MIDI ") ? portName.substring (winePrefix.length())
                                                                               : portName;
    if (name == deviceName)
        return true;

    const auto alsaSuffix = name.fromFirstOccurrenceOf (deviceName + " MIDI ", false, false);
    return name.startsWith (deviceName + " MIDI ") && alsaSuffix.isNotEmpty()
           && alsaSuffix.containsOnly ("0123456789");
}

juce::String findBootloaderOutput (const juce::StringArray& outputNames, const juce::String& requestedName)
{
    for (const auto& name : outputNames)
        if (isUpdatePortName (name, requestedName))
            return name;

    return {};
}
