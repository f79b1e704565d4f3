#include "simulator/KeyboardStateFile.h"

#include "documents/SettingsFile.h"

namespace
{
    KeyboardConfiguration configurationOf (const SettingsModel& model, KeyboardConfiguration configuration)
    {
        for (size_t p = 0; p < model.itemParams.size(); ++p)
            for (const auto& [item, value] : model.itemParams[p])
                configuration.itemParams[p][item] = value;

        std::copy (model.globals.begin(), model.globals.end(), configuration.globals.begin());
        std::copy (model.curves.begin(), model.curves.end(), configuration.curves.begin());
        return configuration;
    }

    SettingsModel modelOf (const KeyboardConfiguration& configuration)
    {
        SettingsModel model;

        for (size_t p = 0; p < configuration.itemParams.size(); ++p)
            for (const auto& [item, value] : configuration.itemParams[p])
                model.itemParams[p][item] = value;

        for (size_t i = 0; i < model.globals.size(); ++i)
            model.globals[i] = (juce::int16) configuration.globals[i];

        for (size_t i = 0; i < model.curves.size(); ++i)
            model.curves[i] = (juce::int16) configuration.curves[i];

        return model;
    }
}

juce::Result loadKeyboardState (const juce::File& file, SimulatedKeyboard& keyboard)
{
    if (! file.existsAsFile())
        return juce::Result::ok();

    const auto held = keyboard.getConfiguration();
    auto model = modelOf (held);

    if (const auto loaded = loadSettingsFile (file, model); loaded.failed())
        return loaded;

    keyboard.setConfiguration (configurationOf (model, held));
    return juce::Result::ok();
}

juce::Result saveKeyboardState (const SimulatedKeyboard& keyboard, const juce::File& file)
{
    return saveSettingsFile (modelOf (keyboard.getConfiguration()), file);
}
