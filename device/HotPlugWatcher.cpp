#include "device/HotPlugWatcher.h"

#include "device/BootloaderPortName.h"

namespace
{
    juce::Array<juce::MidiDeviceInfo> missingFrom (const juce::Array<juce::MidiDeviceInfo>& devices,
                                                    const juce::Array<juce::MidiDeviceInfo>& others)
    {
        juce::Array<juce::MidiDeviceInfo> missing;

        for (const auto& device : devices)
            if (! others.contains (device))
                missing.add (device);

        return missing;
    }

    bool namesAny (const juce::Array<juce::MidiDeviceInfo>& devices, const juce::StringArray& names)
    {
        for (const auto& device : devices)
            if (names.contains (device.name))
                return true;

        return false;
    }

    juce::StringArray namesOf (const juce::Array<juce::MidiDeviceInfo>& devices)
    {
        juce::StringArray names;

        for (const auto& device : devices)
            names.add (device.name);

        return names;
    }
}

HotPlugWatcher::HotPlugWatcher (LumManager49& m, Listener& l) : manager (m), listener (l) {}

HotPlugWatcher::~HotPlugWatcher()
{
    stopTimer();
}

void HotPlugWatcher::start()
{
    knownInputs = manager.getPortSystem().getInputDevices();
    knownOutputs = manager.getPortSystem().getOutputDevices();
    startTimer (pollPeriodMs);
}

void HotPlugWatcher::stop()
{
    stopTimer();
}

void HotPlugWatcher::poll()
{
    if (manager.isStartupSearchRunning() || manager.isLinkBorrowed())
        return;   // the last look stays as it is: whatever changed meanwhile is seen afterwards

    auto& ports = manager.getPortSystem();
    const auto inputs = ports.getInputDevices();
    const auto outputs = ports.getOutputDevices();

    // Plugged in again between two looks, under the same names and addresses: the lists
    // cannot tell, but the keyboard's input no longer delivers. It is a new device.
    if (manager.keyboardInputIsDead() && namesAny (inputs, { manager.getInputPortName() }))
    {
        const auto keyboardOutput = manager.getOutputPortName();
        manager.dropLink();
        listener.keyboardPortsVanished();
        knownInputs = inputs;
        knownOutputs = outputs;
        manager.searchAgain (outputs.isEmpty() ? juce::StringArray() : juce::StringArray (keyboardOutput));
        return;
    }

    if (inputs == knownInputs && outputs == knownOutputs)
    {
        probeAgainIfUnanswered (outputs);
        return;
    }

    auto vanished = missingFrom (knownInputs, inputs);
    vanished.addArray (missingFrom (knownOutputs, outputs));
    const auto appeared = missingFrom (outputs, knownOutputs);
    knownInputs = inputs;
    knownOutputs = outputs;

    if (manager.isConnected() && namesAny (vanished, { manager.getInputPortName(), manager.getOutputPortName() }))
    {
        manager.dropLink();
        listener.keyboardPortsVanished();
    }

    if (manager.isConnected() || appeared.isEmpty())
        return;

    // A keyboard that starts in its bootloader answers no identity request: it is shown.
    for (const auto& output : appeared)
        if (isUpdatePortName (output.name))
        {
            listener.bootloaderAppeared (output);
            break;
        }

    // A search of other outputs may be running: it starts again, now over every output.
    unansweredOutputs = manager.isSearching() ? namesOf (outputs) : namesOf (appeared);
    probesLeft = probesAfterPlugIn - 1;
    manager.searchAgain (manager.isSearching() ? juce::StringArray() : unansweredOutputs);
}

void HotPlugWatcher::probeAgainIfUnanswered (const juce::Array<juce::MidiDeviceInfo>& outputs)
{
    if (manager.isConnected())
        probesLeft = 0;

    if (probesLeft <= 0 || manager.isSearching())
        return;

    juce::StringArray stillThere;

    for (const auto& name : unansweredOutputs)
        if (namesAny (outputs, { name }))
            stillThere.add (name);

    if (stillThere.isEmpty())
    {
        probesLeft = 0;
        return;
    }

    --probesLeft;
    manager.searchAgain (stillThere);
}
