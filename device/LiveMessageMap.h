#pragma once

#include "device/SettingsModel.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <optional>
#include <vector>

/** What a control sends as it is played, from the configuration it holds: a Control
    Change, a note, the pitch bend or the channel pressure, on a channel (0: any). */
struct LiveSignature
{
    enum class Kind { controlChange, note, pitchBend, pressure };

    Kind kind;
    int channel;   // 1..16, or 0 for a control that sends on every channel ("All", "Panel")
    int number;    // controller or note number; 0 for pitch bend and pressure

    bool sharesMessagesWith (const LiveSignature& other) const noexcept;

    /** "CC 74 ch 1", "note 36 ch 10", "pitch bend ch 1". */
    juce::String describe() const;
};

/** A message from the keyboard's input, read against its configuration: the controls
    that send it, in catalogue order, and its value (decoded for the endless encoders). */
struct LiveTouch
{
    LiveSignature signature;
    int value = 0;                  // 0..127, -63..63 for an encoder, 0..16383 for the pitch bend
    std::vector<ItemId> controls;   // empty: a message no control of the keyboard sends

    /** "64", or "note 36, vel 100" for a note. */
    juce::String valueText() const;

    /** Where the value lies in its range, 0..1 (a pitch bend's centre is 0.5). */
    float level() const;
};

/** Which control of the keyboard sent a message, worked out from the model (its modes,
    channels and numbers, and the two part channels), not from a fixed table. Several
    controls may send the same message: all of them are named. Channel Pressure belongs to
    the pads whose note came last. */
class LiveMessageMap
{
public:
    explicit LiveMessageMap (const SettingsModel& model);

    /** Nothing for a message that is no live control at all (SysEx, clock, a note off). */
    std::optional<LiveTouch> interpret (const juce::MidiMessage& message, const std::vector<ItemId>& lastNoteControls = {}) const;

    /** What the control sends; nothing for a control in a mode that sends none of these. */
    std::optional<LiveSignature> signatureOf (ItemId item) const;

    /** The other controls that send the same messages as this one. */
    std::vector<ItemId> clashesWith (ItemId item) const;

    /** Every group of two or more controls that send the same messages, by the first's ItemId. */
    std::vector<std::vector<ItemId>> allClashes() const;

private:
    std::vector<ItemId> controlsSending (const LiveSignature& signature) const;

    std::vector<std::pair<ItemId, LiveSignature>> signatures;   // in catalogue order
};
