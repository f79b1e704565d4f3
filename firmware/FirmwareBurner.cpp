#include "firmware/FirmwareBurner.h"

#include "device/LumManager49.h"
#include "firmware/HalvekFWUpdater.h"

FirmwareBurner::FirmwareBurner (LumManager49& m, std::function<void (double)> p)
    : manager (m), progress (std::move (p))
{
}

FirmwareBurner::~FirmwareBurner() = default;

bool FirmwareBurner::burn (const juce::String& firmwarePath)
{
    auto newUpdater = std::make_unique<HalvekFWUpdater>();
    newUpdater->setHelper (this);

    if (traceSink)
        newUpdater->setTraceSink (traceSink);
    HalvekFWUpdater* working = newUpdater.get();
    {
        const std::lock_guard<std::mutex> lock (updaterMutex);
        updater = std::move (newUpdater);
    }

    bool succeeded = false;

    if (working->setFirmwareFile (firmwarePath))
        succeeded = working->burn();

    transferStarted = working->hasStartedTransfer();
    working->finish();

    std::unique_ptr<HalvekFWUpdater> finished;
    {
        const std::lock_guard<std::mutex> lock (updaterMutex);
        finished = std::move (updater);
    }

    return succeeded;
}

void FirmwareBurner::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    const std::lock_guard<std::mutex> lock (updaterMutex);

    if (updater != nullptr)
        updater->handleMidiMessage (message);
}

void FirmwareBurner::sendMidiMessage (const juce::MidiMessage& message)
{
    manager.sendToKeyboard (message);
}

void FirmwareBurner::reportProgress (double fraction)
{
    if (progress)
        progress (fraction);
}
