#include "firmware/ConfigurationKeeper.h"

#include <set>

bool ConfigurationKeeper::keepFrom (KeyboardReader& reader, const std::function<bool()>& shouldStop)
{
    const auto result = reader.read (shouldStop);

    if (! result.completed())
        return false;

    kept = result.model;
    return true;
}

ConfigurationKeeper::Changes ConfigurationKeeper::compareWith (const SettingsModel& keyboardNow) const
{
    Changes changes;

    if (! kept.has_value())
        return changes;

    changes.values = compareModels (*kept, keyboardNow, ComparisonScope::keyboardReport);
    std::set<ItemId> controls;
    std::set<int> globals;

    for (const auto& value : changes.values)
    {
        if (value.field.group == ModelField::Group::item)
            controls.insert (value.field.id);
        else if (value.field.group == ModelField::Group::global)
            globals.insert (value.field.id);
    }

    changes.controls = (int) controls.size();
    changes.globals = (int) globals.size();
    return changes;
}

juce::String ConfigurationKeeper::Changes::describe() const
{
    const auto counted = [] (int n, const char* one, const char* many) {
        return juce::String (n) + " " + (n == 1 ? one : many);
    };

    juce::StringArray parts;

    if (controls > 0)
        parts.add (counted (controls, "control", "controls"));

    if (globals > 0)
        parts.add (counted (globals, "global", "globals"));

    if (parts.isEmpty())
        parts.add (counted ((int) values.size(), "value", "values"));

    return parts.joinIntoString (" and ");
}

juce::File ConfigurationKeeper::defaultCopyIn (const juce::File& folder, juce::Time when)
{
    return folder.getChildFile ("Vantor 49 before the update " + when.formatted ("%Y-%m-%d %H-%M") + ".vr49");
}
