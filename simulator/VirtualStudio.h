#pragma once

#include "simulator/MidiThroughDevice.h"
#include "simulator/SimulatedKeyboard.h"

/** A small MIDI setup on virtual ports: "Midi Through Port-0", the simulated keyboard,
    an output-only "Synth Module" and an input-only "Pad Controller". The keyboard's
    output is the second of three outputs, so the search really probes. */
class VirtualStudio
{
public:
    explicit VirtualStudio (SimulatedKeyboard::Identity identity = {});
    ~VirtualStudio();

    VirtualMidiPortSystem& getPorts() noexcept        { return ports; }
    SimulatedKeyboard& getKeyboard() noexcept          { return *keyboard; }

private:
    VirtualMidiPortSystem ports;
    std::unique_ptr<MidiThroughDevice> midiThrough;
    std::unique_ptr<SimulatedKeyboard> keyboard;
    std::shared_ptr<VirtualMidiPortSystem::Sink> synthModule;
    std::shared_ptr<VirtualMidiPortSystem::Source> padController;
};
