#pragma once

#include "device/MidiPortSystem.h"

#include <array>
#include <atomic>
#include <optional>
#include <vector>

/** A keyboard that answered the identity request: the input it answered on, the output
    that reaches it, and its firmware revision (all zero when its reply carried none). */
struct FoundKeyboard
{
    juce::String inputName, outputName;
    std::array<juce::uint8, 4> revision {};
};

/** Finds keyboards quickly, outside the editor's start-up search: the identity request
    goes to every output at once, and each input that answers is paired with the output
    of the same name (a USB keyboard's two ports share their name). Only when a reply
    came on an input whose name no output has are the outputs asked one after another,
    to learn which of them reaches it.

    The inputs are held open while it asks and until the probe goes: JUCE's ALSA input
    thread ends a while after the last input stops, and an input opened meanwhile (the
    link to the keyboard just found) would stay silent. Let the probe go once the link
    is made. */
class KeyboardProbe
{
public:
    /** How long the keyboard is given to answer. */
    static constexpr int answerWaitMs = 500;

    explicit KeyboardProbe (MidiPortSystem& ports, const std::atomic<bool>* interrupted = nullptr);
    ~KeyboardProbe();

    /** Every keyboard that answers, after the whole wait. */
    std::vector<FoundKeyboard> findAll();

    /** The first keyboard that answers, as soon as it has. */
    std::optional<FoundKeyboard> findFirst();

    /** Whether the keyboard answers on exactly these ports. */
    std::optional<FoundKeyboard> askPorts (const juce::String& inputName, const juce::String& outputName);

    /** The inputs the last question could not open: gone meanwhile, or held by another
        program (the keyboard's answers there cannot be heard). */
    juce::StringArray getInputsNotOpened() const;

private:
    class ReplyCollector;
    struct OpenInputs;

    std::vector<FoundKeyboard> probe (bool stopAtFirst);
    std::optional<juce::String> outputReaching (const juce::String& inputName);
    void openInputs (const juce::String& onlyThisOne = {});
    bool interruptedNow() const;

    MidiPortSystem& ports;
    const std::atomic<bool>* interrupted;
    std::unique_ptr<ReplyCollector> collector;
    std::unique_ptr<OpenInputs> inputs;   // after the collector: deleted first
};
