#include "simulator/VirtualStudio.h"

VirtualStudio::VirtualStudio (SimulatedKeyboard::Identity identity)
    : midiThrough (std::make_unique<MidiThroughDevice> (ports, "Midi Through Port-0")),
      keyboard (std::make_unique<SimulatedKeyboard> (ports, identity))
{
    synthModule = ports.addSink ("Synth Module", [] (const juce::MidiMessage&) {});
    padController = ports.addSource ("Pad Controller");
}

VirtualStudio::~VirtualStudio()
{
    synthModule->disconnect();
    keyboard.reset();
    midiThrough.reset();
}
