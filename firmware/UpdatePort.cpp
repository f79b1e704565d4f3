#include "firmware/UpdatePort.h"

#include "device/LumManager49.h"

juce::String updatePortName (const juce::String& requestedName)
{
    if (juce::SystemStats::getOperatingSystemType() == juce::SystemStats::WinXP)
        return "USB Audio Device";

    return requestedName;
}

bool attachUpdatePort (juce::MidiInputCallback* callback, const juce::String& portName, LumManager49& manager)
{
    const auto name = updatePortName (portName);

    if (callback == nullptr)
    {
        manager.setForwardCallback (nullptr);
        manager.closeInputs();
        return false;
    }

    manager.closeInputs();
    manager.releaseDeviceOutput();

    if (! manager.connectPorts (name, name))
        return false;

    manager.openInputs();
    manager.setForwardCallback (callback);
    return true;
}
