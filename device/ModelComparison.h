#pragma once

#include "device/ModelField.h"
#include "device/SettingsModel.h"

#include <optional>
#include <set>
#include <vector>

/** Which values two models are compared on. */
enum class ComparisonScope
{
    wholeModel,        // two files, or a model before and after an edit: every value, known or not
    keyboardReport     // a model against a read of the keyboard: what the keyboard has and a send writes
};

/** What the two sides of a comparison are, in the words of a report: "in the editor",
    "on the keyboard", "in gig.vr49". */
struct ComparedSides
{
    juce::String expected, actual;

    static ComparedSides editorAndKeyboard()   { return { "in the editor", "on the keyboard" }; }
    static ComparedSides sentAndKeyboard()     { return { "sent", "on the keyboard" }; }
    static ComparedSides fileAndKeyboard()     { return { "in the file", "on the keyboard" }; }
};

/** A value that differs; nothing on a side that has no value there. A side that does
    not know its value (the keyboard never told it) differs from one that does. */
struct ModelDifference
{
    ModelField field;
    std::optional<int> expected;
    std::optional<int> actual;
    bool expectedKnown = true;
    bool actualKnown = true;

    /** "Bnk1:P1 - Cutoff: CC number 74 - Brightness in the editor, 71 - Timbre/Harmonic
        Intens. on the keyboard", "Knob mode: Absolute in the file, Relative on the keyboard". */
    juce::String describe (const ComparedSides& sides) const;

    /** One side's value in the field's words; "not known" for a value nobody told. */
    juce::String describeExpected() const;
    juce::String describeActual() const;
};

/** How many values a check looked at, and how many it could not. */
struct ComparedCounts
{
    int controls = 0;       // controls with a value on both sides
    int globals = 0;
    int curves = 0;
    int notChecked = 0;     // values one side does not know
};

/** What a comparison found: the differences in field order, and what was looked at. */
struct ModelCheck
{
    std::vector<ModelDifference> differences;
    ComparedCounts counts;
};

/** Compares `expected` with `actual`; fields in `ignored` are left out. Within
    keyboardReport a value one side does not know is not compared but counted as not
    checked. */
ModelCheck checkModels (const SettingsModel& expected, const SettingsModel& actual, ComparisonScope scope,
                        const std::set<ModelField>& ignored = {});

/** The differences alone. */
std::vector<ModelDifference> compareModels (const SettingsModel& expected, const SettingsModel& actual,
                                            ComparisonScope scope, const std::set<ModelField>& ignored = {});

/** A send checked against a read of the keyboard: only the values that were sent, each
    compared when the keyboard told it and counted as not checked when it did not. */
ModelCheck checkSentValues (const SettingsModel& sent, const std::vector<ModelField>& sentFields,
                            const SettingsModel& heldByKeyboard);

/** The values of `from` at these differences written into `model`, known or not as
    `from` has them. */
void applyDifferences (SettingsModel& model, const std::vector<ModelDifference>& differences, bool takeActualSide);

/** "84 controls, 6 globals" (and the curves, when any were checked). */
juce::String describeCheckedCounts (const ComparedCounts& counts);

/** "127 values not checked: the keyboard does not tell them"; nothing when all were. */
juce::String describeNotChecked (const ComparedCounts& counts);
