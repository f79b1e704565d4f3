#include "firmware/FWUpdaterBase.h"

FWUpdaterBase::FWUpdaterBase()
    : traceSink ([] (const juce::String& line) { juce::Logger::outputDebugString (line); })
{
}

void FWUpdaterBase::setHelper (IFWHelper* newHelper)   { helper = newHelper; }
void FWUpdaterBase::finish()                            {}

bool FWUpdaterBase::setFirmwareFile (const juce::String& path)
{
    firmwarePath = path;
    return true;
}

void FWUpdaterBase::setTraceSink (TraceSink sink)       { traceSink = std::move (sink); }
void FWUpdaterBase::trace (const juce::String& line) const { traceSink (line); }

void FWUpdaterBase::send (const juce::MidiMessage& message) const
{
    if (helper != nullptr)
        helper->sendMidiMessage (message);
}

void FWUpdaterBase::report (double fraction) const
{
    if (helper != nullptr)
        helper->reportProgress (fraction);
}
