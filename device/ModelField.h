#pragma once

#include "device/ControlCatalogue.h"

#include <optional>
#include <vector>

/** One value of the settings model, as the user knows it: a control's field, a
    global parameter or a curve entry. */
struct ModelField
{
    enum class Group { item, global, curve };

    Group group;
    int id;          // ItemId, or index into globals or curves
    int param = 0;   // the ItemParam of an item field

    static ModelField item (ItemId item, int param)   { return { Group::item, item, param }; }
    static ModelField global (int index)              { return { Group::global, index, 0 }; }
    static ModelField curve (int index)               { return { Group::curve, index, 0 }; }

    /** "Bnk1:P1 - Cutoff: CC number", "Split point", "Curve 4". */
    juce::String describe() const;

    /** A value in the words of the field that shows it: "74 - Brightness", "Relative",
        "C3", "Upper", "10" for channel code 9; a value the field has no words for as its
        number; "none" for no value. */
    juce::String describeValue (std::optional<int> value) const;

    bool operator< (const ModelField& other) const;
    bool operator== (const ModelField& other) const;
};

/** A control's display name, or "Item n" for one without a name. */
juce::String controlDisplayName (ItemId item);

/** The controls' display names joined with commas: "Bnk1:P1 - Cutoff, Bnk2:P1". */
juce::String controlDisplayNames (const std::vector<ItemId>& items);

/** The editor's name of an item field ("Mode", "Channel", "CC number", "Min / LSB", ...). */
juce::String itemFieldName (int param);

/** The editor's name of a global ("Part 1 channel", "Split point", ...), else "Global n". */
juce::String globalFieldName (int index);
