#include "editor/FieldBinding.h"

int samePosition (int value)   { return value; }

FieldBinding FieldBinding::global (juce::ComboBox& box, int index, int (*positionOf) (int), int (*valueAt) (int))
{
    return { &box, ModelField::Group::global, index, positionOf, valueAt };
}

FieldBinding FieldBinding::item (juce::ComboBox& box, int param, int (*positionOf) (int), int (*valueAt) (int))
{
    return { &box, ModelField::Group::item, param, positionOf, valueAt };
}

std::optional<int> FieldBinding::read (const SettingsModel& model, ItemId selected) const
{
    if (group == ModelField::Group::global)
        return model.globals[(size_t) index];

    if (selected < 0)
        return std::nullopt;

    const auto& table = model.itemParams[(size_t) index];
    const auto found = table.find (selected);
    return found != table.end() ? found->second : -1;
}

std::optional<ModelField> FieldBinding::fieldFor (ItemId selected) const
{
    if (group == ModelField::Group::global)
        return ModelField::global (index);

    if (selected < 0)
        return std::nullopt;

    return ModelField::item (selected, index);
}

std::optional<int> FieldBinding::show (int value) const
{
    const auto position = positionOf (value);

    if (! juce::isPositiveAndBelow (position, comboBox->getNumItems()))
    {
        // A value the list cannot show leaves the field empty, and is kept.
        comboBox->setSelectedId (0, juce::dontSendNotification);
        return std::nullopt;
    }

    comboBox->setSelectedItemIndex (position, juce::dontSendNotification);
    const auto shown = valueAt (position);
    return shown != value ? std::optional<int> (shown) : std::nullopt;
}
