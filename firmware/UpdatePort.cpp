#include "firmware/UpdatePort.h"

#include "device/LumManager49.h"

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

namespace
{
    juce::String findUpdateOutput (const juce::StringArray& outputs, const juce::String& requestedName)
    {
        for (const auto& name : outputs)
            if (isUpdatePortName (name, requestedName))
                return name;

        return {};
    }
}

bool attachUpdatePort (juce::MidiInputCallback* callback, const juce::String& portName, LumManager49& manager)
{
    if (callback == nullptr)
    {
        manager.setForwardCallback (nullptr);
        manager.closeInputs();
        return false;
    }

    manager.stopScan();
    manager.closeInputs();
    manager.releaseDeviceOutput();

    const auto found = findUpdateOutput (manager.getPortSystem().getOutputNames(), portName);
    const auto name = found.isNotEmpty() ? found : updatePortName (portName);

    if (! manager.connectPorts (name, name))
        return false;

    manager.openInputs();
    manager.setForwardCallback (callback);
    return true;
}
