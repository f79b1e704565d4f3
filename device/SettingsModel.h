#pragma once

#include "device/ControlCatalogue.h"
#include "device/ModelField.h"

#include <array>
#include <map>
#include <optional>
#include <set>
#include <vector>

/** The keyboard's whole configuration as a value: what the device manager holds as
    its members, what a settings file stores, what a read of the keyboard yields. */
struct SettingsModel
{
    std::array<std::map<ItemId, int>, ItemParam::count> itemParams;   // 1..6 used
    std::array<juce::int16, globalCount> globals {};
    std::array<juce::int16, curveCount> curves {};

    /** Values the keyboard was asked for and did not tell. A send leaves them out, so
        the keyboard keeps its own, and a check counts them as not checked. Loading,
        editing and "Default Values" make a value known again. */
    std::set<ModelField> unknown;

    bool isKnown (const ModelField& field) const   { return unknown.count (field) == 0; }

    /** The catalogue's defaults, globals and curves 0: the model of a new manager. */
    static SettingsModel catalogueDefaults();

    bool operator== (const SettingsModel& other) const;
    bool operator!= (const SettingsModel& other) const   { return ! (*this == other); }
};

/** Writes the catalogue's defaults into the six item tables (entries of items without
    defaults are removed). */
void applyCatalogueDefaults (std::array<std::map<ItemId, int>, ItemParam::count>& itemParams);

/** One value of the model; nothing for an item field the item has no entry for. */
std::optional<int> valueOf (const SettingsModel& model, const ModelField& field);

/** Sets one value, which is then known; nothing removes an item field's entry. Globals
    and curves keep the low 16 bits. */
void setValue (SettingsModel& model, const ModelField& field, std::optional<int> value);

/** Every value "Send to Keyboard" could write: each stored field of every catalogue item
    but the pitch wheel, the globals the editor shows and the curves it sends. */
std::vector<ModelField> sendableFields (const SettingsModel& model);
