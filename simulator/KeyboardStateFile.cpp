#include "simulator/KeyboardStateFile.h"

#include "documents/SettingsFile.h"

juce::Result loadKeyboardState (const juce::File& file, SimulatedKeyboard& keyboard)
{
    if (! file.existsAsFile())
        return juce::Result::ok();

    auto held = keyboard.getConfiguration();
    auto model = held.toModel();

    if (const auto loaded = loadSettingsFile (file, model); loaded.failed())
        return loaded;

    held.takeValuesOf (model);
    keyboard.setConfiguration (held);
    return juce::Result::ok();
}

juce::Result saveKeyboardState (const SimulatedKeyboard& keyboard, const juce::File& file)
{
    return saveSettingsFile (keyboard.getConfiguration().toModel(), file);
}
