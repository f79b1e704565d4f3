#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

/** Queries on a frame received from the keyboard. */
class ILumMidiMessage
{
public:
    virtual bool isItemConfigRequest() const = 0;
    virtual bool isItemConfigResponse() const = 0;
    virtual int getItemConfigItem() const = 0;
    virtual std::vector<int> getItemConfigPairs() const = 0;
    virtual bool isItemValueRequest() const = 0;
    virtual bool isItemValueResponse() const = 0;
    virtual int getItemValueItem() const = 0;
    virtual int getItemValue() const = 0;
    virtual bool isMidiChannelRequest() const = 0;
    virtual bool isMidiChannelResponse() const = 0;
    virtual int getMidiChannel() const = 0;
    virtual bool isKnobModeRequest() const = 0;
    virtual bool isKnobModeResponse() const = 0;
    virtual bool isKnobRelative() const = 0;
    virtual bool isOctaveShiftRequest() const = 0;
    virtual bool isOctaveShiftResponse() const = 0;
    virtual int getOctaveShift() const = 0;
    virtual bool isLedStateRequest() const = 0;
    virtual bool isLedStateResponse() const = 0;
    virtual int getLedStateItem() const = 0;
    virtual int getLedState() const = 0;
    virtual bool isOwnSysEx() const = 0;
    virtual juce::String toHexString() const = 0;
    virtual juce::String describe() const = 0;
    virtual ~ILumMidiMessage() = default;
};

/** A received message seen as a frame of the keyboard's protocol. Adds no data. */
class LumMidiMessage49 : public ILumMidiMessage, public juce::MidiMessage
{
public:
    explicit LumMidiMessage49 (const juce::MidiMessage& message);

    bool isItemConfigRequest() const override;
    bool isItemConfigResponse() const override;
    int getItemConfigItem() const override;
    std::vector<int> getItemConfigPairs() const override;
    bool isItemValueRequest() const override;
    bool isItemValueResponse() const override;
    int getItemValueItem() const override;
    int getItemValue() const override;
    bool isMidiChannelRequest() const override;
    bool isMidiChannelResponse() const override;
    int getMidiChannel() const override;
    bool isKnobModeRequest() const override;
    bool isKnobModeResponse() const override;
    bool isKnobRelative() const override;
    bool isOctaveShiftRequest() const override;
    bool isOctaveShiftResponse() const override;
    int getOctaveShift() const override;
    bool isLedStateRequest() const override;
    bool isLedStateResponse() const override;
    int getLedStateItem() const override;
    int getLedState() const override;
    bool isOwnSysEx() const override;
    juce::String toHexString() const override;
    juce::String describe() const override;

private:
    int byteAt (int index) const;
    bool hasQueryHeader() const;
    bool hasValueByte() const;
    bool isCommandWithGroup (int command, int group) const;
    bool isGlobalQuery (int command, int index) const;
    juce::String frameKind() const;
};
