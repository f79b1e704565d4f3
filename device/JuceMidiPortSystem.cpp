#include "device/JuceMidiPortSystem.h"

#include "device/AlsaSubscriptions.h"

#if JUCE_LINUX
 #include <alsa/asoundlib.h>
#endif

namespace
{
    class JuceInputPort : public MidiInputPort
    {
    public:
        JuceInputPort (std::unique_ptr<juce::MidiInput> in, juce::String id)
            : input (std::move (in)), identifier (std::move (id)) {}

        void start() override                   { input->start(); }
        void stop() override                    { input->stop(); }
        juce::String getName() const override   { return input->getName(); }

        bool isStillConnected() const override
        {
            // A device plugged in again can get back its address, but not our subscription.
            return countSubscriptionsFromThisProcess (identifier) != 0;
        }

    private:
        std::unique_ptr<juce::MidiInput> input;
        const juce::String identifier;
    };

    class JuceOutputPort : public MidiOutputPort
    {
    public:
        explicit JuceOutputPort (std::unique_ptr<juce::MidiOutput> out) : output (std::move (out)) {}

        juce::String getName() const override   { return output->getName(); }

    private:
        void transmit (const juce::MidiMessage& message) override   { output->sendMessageNow (message); }

        std::unique_ptr<juce::MidiOutput> output;
    };

   #if JUCE_LINUX
    // Where no ALSA sequencer exists every port query would print an error on stderr.
    void ignoreAlsaErrors (const char*, int, const char*, int, const char*, ...) {}
   #endif
}

JuceMidiPortSystem::JuceMidiPortSystem()
{
   #if JUCE_LINUX
    snd_lib_error_set_handler (ignoreAlsaErrors);
   #endif
}

juce::Array<juce::MidiDeviceInfo> JuceMidiPortSystem::getInputDevices()    { return juce::MidiInput::getAvailableDevices(); }
juce::Array<juce::MidiDeviceInfo> JuceMidiPortSystem::getOutputDevices()   { return juce::MidiOutput::getAvailableDevices(); }

std::unique_ptr<MidiInputPort> JuceMidiPortSystem::openInput (const juce::String& identifier, MidiPortReceiver& receiver)
{
    if (identifier.isEmpty())
        return {};

    const auto before = countSubscriptionsFromThisProcess (identifier);
    auto input = juce::MidiInput::openDevice (identifier, &receiver);

    if (input == nullptr)
        return {};

    // JUCE keeps an input whose subscription the system refused (another program holds
    // the device): it would never deliver anything. It counts as not opened.
    if (before >= 0 && countSubscriptionsFromThisProcess (identifier) <= before)
        return {};

    return std::make_unique<JuceInputPort> (std::move (input), identifier);
}

std::unique_ptr<MidiOutputPort> JuceMidiPortSystem::openOutput (const juce::String& identifier)
{
    if (identifier.isEmpty())
        return {};

    if (auto output = juce::MidiOutput::openDevice (identifier))
        return std::make_unique<JuceOutputPort> (std::move (output));

    return {};
}
