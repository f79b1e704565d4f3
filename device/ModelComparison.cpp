#include "device/ModelComparison.h"

namespace
{
    const std::set<ItemId>& keyboardItems()
    {
        static const auto items = knownItemIdsFromCatalogue();
        return items;
    }

    /** The items either model has a value for, within the scope. */
    std::set<ItemId> comparedItems (const SettingsModel& expected, const SettingsModel& actual, ComparisonScope scope)
    {
        std::set<ItemId> items;

        for (const auto* model : { &expected, &actual })
            for (int p = ItemParam::firstStored; p <= ItemParam::lastStored; ++p)
                for (const auto& entry : model->itemParams[(size_t) p])
                    if (scope == ComparisonScope::wholeModel || keyboardItems().count (entry.first) != 0)
                        items.insert (entry.first);

        return items;
    }

    std::vector<ModelField> comparedFields (const SettingsModel& expected, const SettingsModel& actual,
                                            ComparisonScope scope)
    {
        std::vector<ModelField> fields;

        for (const auto item : comparedItems (expected, actual, scope))
            for (int p = ItemParam::firstStored; p <= ItemParam::lastStored; ++p)
                fields.push_back (ModelField::item (item, p));

        if (scope == ComparisonScope::wholeModel)
        {
            for (int i = 0; i < globalCount; ++i)
                fields.push_back (ModelField::global (i));

            for (int i = 0; i < curveCount; ++i)
                fields.push_back (ModelField::curve (i));

            return fields;
        }

        // The octave shift is left out: it is where the keyboard's octave buttons stand, not a setting.
        for (const auto index : editorGlobals)
            fields.push_back (ModelField::global (index));

        for (const auto index : sentCurves)
            fields.push_back (ModelField::curve (index));

        return fields;
    }

    /** Counts the fields compared on both sides, by the control, global or curve they belong to. */
    struct CheckTally
    {
        std::set<ItemId> controls;
        std::set<int> globals, curves;
        int notChecked = 0;

        void checked (const ModelField& field)
        {
            switch (field.group)
            {
                case ModelField::Group::item:   controls.insert (field.id); break;
                case ModelField::Group::global: globals.insert (field.id); break;
                case ModelField::Group::curve:  curves.insert (field.id); break;
            }
        }

        ComparedCounts counts() const
        {
            return { (int) controls.size(), (int) globals.size(), (int) curves.size(), notChecked };
        }
    };

    /** Compares one field, or counts it as not checked when one side does not know it. */
    void compareField (ModelCheck& check, CheckTally& tally, const ModelField& field, const SettingsModel& expected,
                       const SettingsModel& actual, bool unknownIsNotChecked)
    {
        const ModelDifference pair { field, valueOf (expected, field), valueOf (actual, field),
                                     expected.isKnown (field), actual.isKnown (field) };

        if (! pair.expected.has_value() && ! pair.actual.has_value())
            return;

        // Against the keyboard: a value neither side knows is nothing to compare, and one
        // the keyboard does not tell cannot be checked; one only the keyboard knows differs.
        if (unknownIsNotChecked && ! pair.expectedKnown && ! pair.actualKnown)
            return;

        if (unknownIsNotChecked && ! pair.actualKnown)
        {
            ++tally.notChecked;
            return;
        }

        tally.checked (field);

        if (pair.expected != pair.actual || pair.expectedKnown != pair.actualKnown)
            check.differences.push_back (pair);
    }

    juce::String sideText (const ModelField& field, std::optional<int> value, bool known)
    {
        return known ? field.describeValue (value) : juce::String ("not known");
    }
}

juce::String ModelDifference::describeExpected() const   { return sideText (field, expected, expectedKnown); }
juce::String ModelDifference::describeActual() const     { return sideText (field, actual, actualKnown); }

juce::String ModelDifference::describe (const ComparedSides& sides) const
{
    const auto separator = field.group == ModelField::Group::item ? " " : ": ";
    return field.describe() + separator + describeExpected() + " " + sides.expected + ", " + describeActual() + " "
           + sides.actual;
}

ModelCheck checkModels (const SettingsModel& expected, const SettingsModel& actual, ComparisonScope scope,
                        const std::set<ModelField>& ignored)
{
    ModelCheck check;
    CheckTally tally;

    for (const auto& field : comparedFields (expected, actual, scope))
        if (ignored.count (field) == 0)
            compareField (check, tally, field, expected, actual, scope == ComparisonScope::keyboardReport);

    check.counts = tally.counts();
    return check;
}

std::vector<ModelDifference> compareModels (const SettingsModel& expected, const SettingsModel& actual,
                                            ComparisonScope scope, const std::set<ModelField>& ignored)
{
    return checkModels (expected, actual, scope, ignored).differences;
}

ModelCheck checkSentValues (const SettingsModel& sent, const std::vector<ModelField>& sentFields,
                            const SettingsModel& heldByKeyboard)
{
    ModelCheck check;
    CheckTally tally;

    for (const auto& field : sentFields)
        compareField (check, tally, field, sent, heldByKeyboard, true);

    check.counts = tally.counts();
    return check;
}

void applyDifferences (SettingsModel& model, const std::vector<ModelDifference>& differences, bool takeActualSide)
{
    for (const auto& difference : differences)
    {
        setValue (model, difference.field, takeActualSide ? difference.actual : difference.expected);

        if (! (takeActualSide ? difference.actualKnown : difference.expectedKnown))
            model.unknown.insert (difference.field);
    }
}

namespace
{
    juce::String counted (int count, const char* one, const char* many)
    {
        return juce::String (count) + " " + (count == 1 ? one : many);
    }
}

juce::String describeCheckedCounts (const ComparedCounts& counts)
{
    auto text = counted (counts.controls, "control", "controls") + ", " + counted (counts.globals, "global", "globals");

    if (counts.curves > 0)
        text << ", " << counted (counts.curves, "curve", "curves");

    return text;
}

juce::String describeNotChecked (const ComparedCounts& counts)
{
    if (counts.notChecked == 0)
        return {};

    return counted (counts.notChecked, "value", "values") + " not checked: the keyboard does not tell them";
}
