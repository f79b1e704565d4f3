#include "device/LiveMessageMap.h"

#include "device/DeviceFrames.h"

namespace
{
    std::optional<LiveSignature::Kind> kindOfMode (int mode)
    {
        switch (mode)
        {
            case ItemMode::Control:
            case ItemMode::RelativeControl:
            case ItemMode::DurationControl:
            case ItemMode::ControlToggle:   return LiveSignature::Kind::controlChange;
            case ItemMode::MidiNote:
            case ItemMode::MidiNoteGated:   return LiveSignature::Kind::note;
            case ItemMode::PitchBend:       return LiveSignature::Kind::pitchBend;
            case ItemMode::Aftertouch:      return LiveSignature::Kind::pressure;
            default:                        return std::nullopt;
        }
    }

    /** 1..16, or 0 for every channel; the part channels as the model holds them. */
    int channelOfCode (int code, const SettingsModel& model)
    {
        switch (code)
        {
            case ChannelUpper: return model.globals[GlobalIndex::UpperChannel] % 16 + 1;
            case ChannelLower: return model.globals[GlobalIndex::LowerChannel] % 16 + 1;
            case ChannelAll:
            case ChannelPanel: return 0;
            default:           return juce::isPositiveAndBelow (code, 16) ? code + 1 : -1;
        }
    }

    std::optional<int> lookUp (const SettingsModel& model, int param, ItemId item)
    {
        return valueOf (model, ModelField::item (item, param));
    }
}

bool LiveSignature::sharesMessagesWith (const LiveSignature& other) const noexcept
{
    return kind == other.kind && number == other.number
           && (channel == other.channel || channel == 0 || other.channel == 0);
}

juce::String LiveSignature::describe() const
{
    const auto on = channel == 0 ? juce::String ("every channel") : "ch " + juce::String (channel);

    switch (kind)
    {
        case Kind::controlChange: return "CC " + juce::String (number) + "  " + on;
        case Kind::note:          return "note " + juce::String (number) + "  " + on;
        case Kind::pitchBend:     return "pitch bend  " + on;
        case Kind::pressure:      return "pressure  " + on;
    }

    return {};
}

juce::String LiveTouch::valueText() const
{
    if (signature.kind == LiveSignature::Kind::note)
        return "note " + juce::String (signature.number) + ", vel " + juce::String (value);

    return juce::String (value);
}

float LiveTouch::level() const
{
    if (signature.kind == LiveSignature::Kind::pitchBend)
        return (float) value / 16383.0f;

    if (value < 0 || (signature.kind == LiveSignature::Kind::controlChange && ! controls.empty()
                      && isEndlessEncoder (controls.front())))
        return (float) (value + 63) / 126.0f;   // an encoder's step, centred

    return (float) value / 127.0f;
}

LiveMessageMap::LiveMessageMap (const SettingsModel& model)
{
    for (const auto& entry : controlCatalogue())
    {
        const auto item = entry.id;

        // The pitch wheel sends the pitch bend whatever its fields say.
        if (item == pitchWheelItem)
        {
            signatures.push_back ({ item, { LiveSignature::Kind::pitchBend, 0, 0 } });
            continue;
        }

        const auto mode = lookUp (model, ItemParam::Mode, item);
        const auto channel = lookUp (model, ItemParam::Channel, item);
        const auto number = lookUp (model, ItemParam::Number, item);

        if (! mode || ! channel || ! number || isHiddenItem (item))
            continue;

        const auto kind = kindOfMode (*mode);
        const auto onChannel = channelOfCode (*channel, model);

        if (kind && onChannel >= 0 && isDataByte (*number))
            signatures.push_back ({ item, { *kind, onChannel,
                                            *kind == LiveSignature::Kind::controlChange || *kind == LiveSignature::Kind::note
                                                ? *number : 0 } });
    }
}

std::optional<LiveSignature> LiveMessageMap::signatureOf (ItemId item) const
{
    for (const auto& [id, signature] : signatures)
        if (id == item)
            return signature;

    return std::nullopt;
}

std::vector<ItemId> LiveMessageMap::controlsSending (const LiveSignature& sent) const
{
    std::vector<ItemId> controls;

    for (const auto& [item, signature] : signatures)
        if (signature.sharesMessagesWith (sent))
            controls.push_back (item);

    return controls;
}

std::optional<LiveTouch> LiveMessageMap::interpret (const juce::MidiMessage& message,
                                                   const std::vector<ItemId>& lastNoteControls) const
{
    if (message.isSysEx() || message.getRawDataSize() < 2)
        return std::nullopt;

    LiveTouch touch;
    const auto channel = message.getChannel();

    if (message.isController())
    {
        touch.signature = { LiveSignature::Kind::controlChange, channel, message.getControllerNumber() };
        touch.value = message.getControllerValue();
    }
    else if (message.isPitchWheel())
    {
        touch.signature = { LiveSignature::Kind::pitchBend, channel, 0 };
        touch.value = message.getPitchWheelValue();
    }
    else if (message.isNoteOn (false))
    {
        touch.signature = { LiveSignature::Kind::note, channel, message.getNoteNumber() };
        touch.value = message.getVelocity();
    }
    else if (message.isChannelPressure())
    {
        touch.signature = { LiveSignature::Kind::pressure, channel, 0 };
        touch.value = message.getChannelPressureValue();
        touch.controls = lastNoteControls;   // the pads a pressure follows
        return touch;
    }
    else
    {
        return std::nullopt;
    }

    touch.controls = controlsSending (touch.signature);

    // The two endless encoders send sign and magnitude.
    if (touch.signature.kind == LiveSignature::Kind::controlChange && ! touch.controls.empty()
        && isEndlessEncoder (touch.controls.front()))
        touch.value = decodeSignMagnitude (touch.value);

    return touch;
}

std::vector<ItemId> LiveMessageMap::clashesWith (ItemId item) const
{
    std::vector<ItemId> others;

    if (const auto signature = signatureOf (item))
        for (const auto other : controlsSending (*signature))
            if (other != item)
                others.push_back (other);

    return others;
}

std::vector<std::vector<ItemId>> LiveMessageMap::allClashes() const
{
    std::vector<std::vector<ItemId>> groups;
    std::set<ItemId> grouped;

    for (const auto& [item, signature] : signatures)
    {
        if (grouped.count (item) != 0)
            continue;

        auto group = controlsSending (signature);

        if (group.size() < 2)
            continue;

        grouped.insert (group.begin(), group.end());
        groups.push_back (std::move (group));
    }

    return groups;
}
