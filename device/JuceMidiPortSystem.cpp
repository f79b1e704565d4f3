#include "device/JuceMidiPortSystem.h"

#if JUCE_LINUX
 #include <alsa/asoundlib.h>
#endif

namespace
{
    class JuceInputPort : public MidiInputPort
    {
    public:
        explicit JuceInputPort (std::unique_ptr<juce::MidiInput> in) : input (std::move (in)) {}

        void start() override                   { input->start(); }
        void stop() override                    { input->stop(); }
        juce::String getName() const override   { return input->getName(); }

    private:
        std::unique_ptr<juce::MidiInput> input;
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

std::unique_ptr<MidiInputPort> JuceMidiPortSystem::openInput (int index, MidiPortReceiver& receiver)
{
    const auto devices = juce::MidiInput::getAvailableDevices();

    if (! juce::isPositiveAndBelow (index, devices.size()))
        return {};

    if (auto input = juce::MidiInput::openDevice (devices[index].identifier, &receiver))
        return std::make_unique<JuceInputPort> (std::move (input));

    return {};
}

std::unique_ptr<MidiOutputPort> JuceMidiPortSystem::openOutput (int index)
{
    const auto devices = juce::MidiOutput::getAvailableDevices();

    if (! juce::isPositiveAndBelow (index, devices.size()))
        return {};

    if (auto output = juce::MidiOutput::openDevice (devices[index].identifier))
        return std::make_unique<JuceOutputPort> (std::move (output));

    return {};
}
