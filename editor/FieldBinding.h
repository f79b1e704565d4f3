#pragma once

#include "device/ModelField.h"
#include "device/SettingsModel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

/** One combo box of the panel and the model value it stands for: a global, or a field
    of the selected control. The value travels as the position of the chosen item. */
struct FieldBinding
{
    juce::ComboBox* comboBox;
    ModelField::Group group;
    int index;   // the global's index, or the item field's ItemParam
    int (*positionOf) (int value);
    int (*valueAt) (int position);

    static FieldBinding global (juce::ComboBox& box, int index, int (*positionOf) (int), int (*valueAt) (int));
    static FieldBinding item (juce::ComboBox& box, int param, int (*positionOf) (int), int (*valueAt) (int));

    /** The model value this field stands for; nothing for an item field without a
        selected control, -1 for an item without that field. */
    std::optional<int> read (const SettingsModel& model, ItemId selected) const;

    /** The model field written for the selected control; nothing without one. */
    std::optional<ModelField> fieldFor (ItemId selected) const;

    /** Shows the value (an empty field when it has no item) without notifying anyone.
        Answers the value the field now stands for when that differs from the model's
        (a two-state global stored as 0 shows its first choice, which stands for 1). */
    std::optional<int> show (int value) const;
};

/** The identity mapping of the decimal lists. */
int samePosition (int value);
