#pragma once

#include "device/SettingsModel.h"

#include <juce_core/juce_core.h>

class LumManager49;

// The settings file (".vr49"): the whole model as an XML document
// <Settings><Items><Item .../>...</Items><Globals>...</Globals><Curves>...</Curves></Settings>.

/** Files above this size are refused before they are parsed. */
constexpr juce::int64 maxSettingsFileSize = 16 * 1024 * 1024;

/** Writes every existing item and all globals and curves. The file is replaced only
    once the whole document is written (see writeDocument); the result says why not. */
juce::Result saveSettingsFile (const SettingsModel& model, const juce::File& file);
juce::Result saveSettingsFile (LumManager49& manager, const juce::File& file);

/** Reads a file over `model`: what the file leaves out keeps its value; bad elements
    are skipped one by one. A file that cannot be read, is too large, is no XML, holds a
    processing instruction, or has none of the three groups is refused, `model`
    untouched, and the result says why. */
juce::Result loadSettingsFile (const juce::File& file, SettingsModel& model);

/** A file's bytes as text, as loadSettingsFile takes them: UTF-8 (a byte-order mark
    skipped), UTF-16 after its byte-order mark, anything else as Windows-1252. */
juce::String settingsTextFromBytes (const void* data, size_t size);

/** The same from a document already in memory (what loadSettingsFile does once it has read the file). */
juce::Result loadSettingsText (const juce::String& text, SettingsModel& model);

/** The document saveSettingsFile writes, as text. */
juce::String settingsDocumentText (const SettingsModel& model);

/** The same into the manager's model, replaced at once and only when the file loads. */
juce::Result loadSettingsFile (LumManager49& manager, const juce::File& file);

/** The model as the settings document. */
std::unique_ptr<juce::XmlElement> createSettingsDocument (const SettingsModel& model);

/** Applies a parsed settings document to the model. */
void applySettingsDocument (SettingsModel& model, const juce::XmlElement& root);

/** An attribute's integer: leading blanks, an optional sign, decimal digits up to the
    first other character, clamped to 32 bits; text that is no number reads 0. */
int parseSettingsInteger (const juce::String& text);
