#pragma once

#include "device/ModelField.h"
#include "device/SettingsModel.h"

#include <optional>
#include <set>
#include <vector>

/** Which values two models are compared on. */
enum class ComparisonScope
{
    wholeModel,        // two files: every item field, every global, every curve
    keyboardReport,    // a model against a read of the keyboard: what the read covers
    sentSettings       // a send against a read of the keyboard: what the send sets and the read covers
};

/** A value that differs; nothing on a side that has no value there. */
struct ModelDifference
{
    ModelField field;
    std::optional<int> expected;
    std::optional<int> actual;

    /** "Bnk1:P1 - Cutoff: CC number 74 -> 71", "Split point 60 -> 62", "none" for no value. */
    juce::String describe() const;
};

/** Differences from `expected` to `actual`, in field order; fields in `ignored` are
    left out (values a send could not carry, say). */
std::vector<ModelDifference> compareModels (const SettingsModel& expected, const SettingsModel& actual,
                                            ComparisonScope scope, const std::set<ModelField>& ignored = {});

/** How many controls and globals a comparison of this scope looks at in `expected`. */
struct ComparedCounts
{
    int controls = 0;
    int globals = 0;
};

ComparedCounts countCompared (const SettingsModel& expected, ComparisonScope scope);
