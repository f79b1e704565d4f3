#include "device/ModelField.h"

#include "device/FieldChoices.h"

#include <tuple>

juce::String controlDisplayName (ItemId item)
{
    static const auto names = displayNamesFromCatalogue();
    const auto found = names.find (item);
    return found != names.end() ? found->second : "Item " + juce::String (item);
}

juce::String controlDisplayNames (const std::vector<ItemId>& items)
{
    juce::StringArray names;

    for (const auto item : items)
        names.add (controlDisplayName (item));

    return names.joinIntoString (", ");
}

juce::String itemFieldName (int param)
{
    switch (param)
    {
        case ItemParam::Mode:    return "Mode";
        case ItemParam::Channel: return "Channel";
        case ItemParam::Number:  return "CC number";
        case ItemParam::MinLsb:  return "Min / LSB";
        case ItemParam::MaxMsb:  return "Max / MSB";
        case ItemParam::Option:  return "Option";
        default:                 return "Parameter " + juce::String (param);
    }
}

juce::String globalFieldName (int index)
{
    switch (index)
    {
        case GlobalIndex::LowerChannel: return "Part 2 channel";
        case GlobalIndex::UpperChannel: return "Part 1 channel";
        case GlobalIndex::KnobMode:     return "Knob mode";
        case GlobalIndex::FaderMode:    return "Fader mode";
        case GlobalIndex::SplitMode:    return "Split mode";
        case GlobalIndex::SplitPoint:   return "Split point";
        case GlobalIndex::OctaveShift:  return "Octave shift";
        default:                        return "Global " + juce::String (index);
    }
}

juce::String ModelField::describe() const
{
    switch (group)
    {
        case Group::item:   return controlDisplayName (id) + ": " + itemFieldName (param);
        case Group::global: return globalFieldName (id);
        case Group::curve:  return "Curve " + juce::String (id);
    }

    return {};
}

namespace
{
    /** The choice at this position of a list, or the value itself when it has no place there. */
    juce::String choiceOrNumber (const juce::StringArray& choices, int position, int value)
    {
        return juce::isPositiveAndBelow (position, choices.size()) ? choices[position] : juce::String (value);
    }

    juce::String itemValueText (int param, int value)
    {
        switch (param)
        {
            case ItemParam::Mode:    return choiceOrNumber (modeChoices(), value, value);
            case ItemParam::Channel: return choiceOrNumber (channelChoices(), channelToPosition (value), value);
            case ItemParam::Number:  return choiceOrNumber (controllerNameChoices(), value, value);
            default:                 return juce::String (value);
        }
    }

    juce::String globalValueText (int index, int value)
    {
        switch (index)
        {
            case GlobalIndex::LowerChannel:
            case GlobalIndex::UpperChannel: return choiceOrNumber (decimalChoices (1, 16), value, value);
            case GlobalIndex::KnobMode:     return value == 127 ? "Relative" : "Absolute";
            case GlobalIndex::FaderMode:    return value == 127 ? "Drawbar" : "Normal";
            case GlobalIndex::SplitMode:    return value == 127 ? "On" : "Off";
            case GlobalIndex::SplitPoint:   return choiceOrNumber (noteNameChoices(), value, value);
            default:                        return juce::String (value);
        }
    }
}

juce::String ModelField::describeValue (std::optional<int> value) const
{
    if (! value.has_value())
        return "none";

    switch (group)
    {
        case Group::item:   return itemValueText (param, *value);
        case Group::global: return globalValueText (id, *value);
        case Group::curve:  return juce::String (*value);
    }

    return {};
}

bool ModelField::operator< (const ModelField& other) const
{
    return std::tie (group, id, param) < std::tie (other.group, other.id, other.param);
}

bool ModelField::operator== (const ModelField& other) const
{
    return group == other.group && id == other.id && param == other.param;
}
