#include "device/MidiPortSystem.h"

#include <mutex>

namespace
{
    std::mutex& processSendLock()
    {
        static std::mutex lock;
        return lock;
    }
}

void MidiOutputPort::sendMessageNow (const juce::MidiMessage& message)
{
    const std::lock_guard<std::mutex> lock (processSendLock());
    transmit (message);
}

namespace
{
    juce::StringArray namesOf (const juce::Array<juce::MidiDeviceInfo>& devices)
    {
        juce::StringArray names;

        for (const auto& device : devices)
            names.add (device.name);

        return names;
    }

    juce::String identifierOf (const juce::Array<juce::MidiDeviceInfo>& devices, const juce::String& name)
    {
        for (const auto& device : devices)
            if (device.name == name)
                return device.identifier;

        return {};
    }
}

juce::String MidiPortSystem::inputIdentifierOf (const juce::String& name)    { return identifierOf (getInputDevices(), name); }
juce::String MidiPortSystem::outputIdentifierOf (const juce::String& name)   { return identifierOf (getOutputDevices(), name); }

juce::StringArray MidiPortSystem::getInputNames()    { return namesOf (getInputDevices()); }
juce::StringArray MidiPortSystem::getOutputNames()   { return namesOf (getOutputDevices()); }
