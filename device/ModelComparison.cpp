#include "device/ModelComparison.h"

namespace
{
    constexpr ItemId pitchWheelItem = 65;

    /** The globals a read of the keyboard answers, but the octave shift: that is where
        the keyboard's octave buttons stand, not a setting. */
    const std::set<int>& reportedGlobals()
    {
        static const std::set<int> globals { GlobalIndex::UpperChannel, GlobalIndex::KnobMode,
                                             GlobalIndex::LowerChannel, GlobalIndex::FaderMode,
                                             GlobalIndex::SplitMode, GlobalIndex::SplitPoint };
        return globals;
    }

    const std::set<ItemId>& keyboardItems()
    {
        static const auto items = knownItemIdsFromCatalogue();
        return items;
    }

    std::optional<int> valueAt (const SettingsModel& model, int param, ItemId item)
    {
        const auto& table = model.itemParams[(size_t) param];
        const auto found = table.find (item);
        return found != table.end() ? std::optional<int> (found->second) : std::nullopt;
    }

    /** The items and item fields a comparison looks at. */
    std::set<ItemId> comparedItems (const SettingsModel& expected, const SettingsModel& actual, ComparisonScope scope)
    {
        std::set<ItemId> items;

        for (const auto* model : { &expected, &actual })
            for (int p = ItemParam::firstStored; p <= ItemParam::lastStored; ++p)
                for (const auto& entry : model->itemParams[(size_t) p])
                    items.insert (entry.first);

        if (scope == ComparisonScope::wholeModel)
            return items;

        std::set<ItemId> onTheKeyboard;
        const auto& sent = expected.itemParams[ItemParam::Number];

        for (const auto item : items)
            if (keyboardItems().count (item) != 0
                && (scope == ComparisonScope::keyboardReport || (sent.count (item) != 0 && item != pitchWheelItem)))
                onTheKeyboard.insert (item);

        return onTheKeyboard;
    }

    int lastComparedParam (ComparisonScope scope)
    {
        // The keyboard is never asked for the options.
        return scope == ComparisonScope::wholeModel ? ItemParam::Option : ItemParam::MaxMsb;
    }

    std::set<int> comparedGlobals (ComparisonScope scope)
    {
        switch (scope)
        {
            case ComparisonScope::wholeModel:
            {
                std::set<int> all;
                for (int i = 0; i < globalCount; ++i)
                    all.insert (i);
                return all;
            }
            case ComparisonScope::keyboardReport: return reportedGlobals();
            case ComparisonScope::sentSettings:   return { GlobalIndex::UpperChannel };   // the only global sent
        }

        return {};
    }

    juce::String valueText (const std::optional<int>& value)
    {
        return value.has_value() ? juce::String (*value) : juce::String ("none");
    }
}

juce::String ModelDifference::describe() const
{
    const auto separator = field.group == ModelField::Group::item ? " " : ": ";
    return field.describe() + separator + valueText (expected) + " -> " + valueText (actual);
}

std::vector<ModelDifference> compareModels (const SettingsModel& expected, const SettingsModel& actual,
                                            ComparisonScope scope, const std::set<ModelField>& ignored)
{
    std::vector<ModelDifference> differences;

    const auto consider = [&] (ModelField field, std::optional<int> a, std::optional<int> b) {
        if (a != b && ignored.count (field) == 0)
            differences.push_back ({ field, a, b });
    };

    for (const auto item : comparedItems (expected, actual, scope))
        for (int p = ItemParam::firstStored; p <= lastComparedParam (scope); ++p)
            consider (ModelField::item (item, p), valueAt (expected, p, item), valueAt (actual, p, item));

    for (const auto index : comparedGlobals (scope))
        consider (ModelField::global (index), expected.globals[(size_t) index], actual.globals[(size_t) index]);

    if (scope == ComparisonScope::wholeModel)
        for (int i = 0; i < curveCount; ++i)
            consider (ModelField::curve (i), expected.curves[(size_t) i], actual.curves[(size_t) i]);

    return differences;
}

ComparedCounts countCompared (const SettingsModel& expected, ComparisonScope scope)
{
    return { (int) comparedItems (expected, expected, scope).size(), (int) comparedGlobals (scope).size() };
}
