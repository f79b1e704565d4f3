#pragma once

#include <juce_core/juce_core.h>

class LumManager49;

// The settings file (".vr49"): the whole model as an XML document
// <Settings><Items><Item .../>...</Items><Globals>...</Globals><Curves>...</Curves></Settings>.

/** Files above this size are refused before they are parsed. */
constexpr juce::int64 maxSettingsFileSize = 16 * 1024 * 1024;

/** Writes every existing item and all globals and curves. The file is replaced only
    once the whole document is written; false when it could not be. */
bool saveSettingsFile (LumManager49& manager, const juce::File& file);

/** Reads a file back into the model. A missing, oversized or malformed file leaves
    the model as it was (and answers false); bad elements are skipped one by one.
    A processing instruction inside the document refuses it too. */
bool loadSettingsFile (LumManager49& manager, const juce::File& file);

/** The model as the settings document. */
std::unique_ptr<juce::XmlElement> createSettingsDocument (LumManager49& manager);

/** Applies a parsed settings document to the model. */
void applySettingsDocument (LumManager49& manager, const juce::XmlElement& root);

/** An attribute's integer: leading blanks, an optional sign, decimal digits up to the
    first other character, clamped to 32 bits; text that is no number reads 0. */
int parseSettingsInteger (const juce::String& text);
