#pragma once

#include "device/ControlCatalogue.h"

#include <array>
#include <map>

/** The keyboard's whole configuration as a value: what the device manager holds as
    its members, what a settings file stores, what a read of the keyboard yields. */
struct SettingsModel
{
    std::array<std::map<ItemId, int>, ItemParam::count> itemParams;   // 1..6 used
    std::array<juce::int16, globalCount> globals {};
    std::array<juce::int16, curveCount> curves {};

    /** The catalogue's defaults, globals and curves 0: the model of a new manager. */
    static SettingsModel catalogueDefaults();

    bool operator== (const SettingsModel& other) const;
    bool operator!= (const SettingsModel& other) const   { return ! (*this == other); }
};

/** Writes the catalogue's defaults into the six item tables (entries of items without
    defaults are removed). */
void applyCatalogueDefaults (std::array<std::map<ItemId, int>, ItemParam::count>& itemParams);
