#pragma once

#include "device/SettingsModel.h"

#include <juce_core/juce_core.h>

class LumManager49;

// The MIDI chart: a printable HTML page with a row per item and three globals.

/** Builds the page from the model and writes it (see writeDocument); the result says why not. */
juce::Result exportMidiChart (const SettingsModel& model, const juce::File& file);
juce::Result exportMidiChart (LumManager49& manager, const juce::File& file);

std::unique_ptr<juce::XmlElement> createMidiChartDocument (const SettingsModel& model);

/** "Control - 1" ... "Aftertouch - 14"; "Err" for any other code. */
juce::String chartModeText (int mode);

/** "1 - 0x00" ... "16 - 0x0F", "Lwr - 0x40", "Master - 0x41", "All - 0x7E", "Pnl - 0x7F"; else "Err". */
juce::String chartChannelText (int channel);

/** The item's chart name, or its number when the chart has none. */
juce::String chartItemName (int item);
