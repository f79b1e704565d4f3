#include "firmware/UpdatePort.h"

#include "device/LumManager49.h"

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

    const auto found = findBootloaderOutput (manager.getPortSystem().getOutputNames(), portName);
    const auto name = found.isNotEmpty() ? found : updatePortName (portName);

    if (! manager.connectPorts (name, name))
        return false;

    manager.openInputs();
    manager.setForwardCallback (callback);
    return true;
}
