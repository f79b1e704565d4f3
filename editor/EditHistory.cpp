#include "editor/EditHistory.h"

#include "device/ModelComparison.h"

namespace
{
    struct FieldEdit : juce::UndoableAction
    {
        FieldEdit (LumManager49& m, EditHistory::Listener& l, ModelField f, std::optional<int> b, bool bKnown, int a)
            : manager (m), listener (l), field (f), before (b), beforeKnown (bKnown), after (a) {}

        bool perform() override   { return apply (after, true); }
        bool undo() override      { return apply (before, beforeKnown); }
        int getSizeInUnits() override   { return 1; }

        bool apply (std::optional<int> value, bool known)
        {
            manager.setValue (field, value, known);
            listener.historyChangedModel (field.group == ModelField::Group::item ? std::optional<ItemId> (field.id)
                                                                                : std::nullopt);
            listener.fieldChanged (field, known ? value : std::nullopt);
            return true;
        }

        LumManager49& manager;
        EditHistory::Listener& listener;
        const ModelField field;
        const std::optional<int> before;
        const bool beforeKnown;
        const int after;
    };

    /** Keeps only the values that changed, not two whole models: a long session's
        hundreds of loads and "Default Values" would otherwise hold megabytes. */
    struct ModelReplacement : juce::UndoableAction
    {
        ModelReplacement (LumManager49& m, EditHistory::Listener& l, const SettingsModel& before, const SettingsModel& after)
            : manager (m), listener (l), changes (compareModels (before, after, ComparisonScope::wholeModel)) {}

        bool perform() override   { return apply (true); }
        bool undo() override      { return apply (false); }
        int getSizeInUnits() override   { return 1 + (int) changes.size(); }

        bool apply (bool towardsAfter)
        {
            auto model = manager.getModel();
            applyDifferences (model, changes, towardsAfter);
            manager.setModel (model);
            listener.historyChangedModel (std::nullopt);
            return true;
        }

        LumManager49& manager;
        EditHistory::Listener& listener;
        const std::vector<ModelDifference> changes;
    };
}

EditHistory::EditHistory (LumManager49& m, Listener& l) : manager (m), listener (l) {}

void EditHistory::setField (const ModelField& field, int value)
{
    const auto before = manager.getValue (field);
    const auto beforeKnown = manager.getModel().isKnown (field);

    if (before == value && beforeKnown)
        return;

    perform (new FieldEdit (manager, listener, field, before, beforeKnown, value), field.describe());
}

void EditHistory::replaceModel (const SettingsModel& before, const SettingsModel& after, const juce::String& name)
{
    perform (new ModelReplacement (manager, listener, before, after), name);
}

void EditHistory::perform (juce::UndoableAction* action, const juce::String& name)
{
    // A new edit after undoing past the clean place: that place can never come back.
    if (cleanPosition.load() > position.load())
        cleanPosition = -1;

    if (sentUncheckedPosition.load() > position.load())
        sentUncheckedPosition = -1;

    undoManager.beginNewTransaction (name);
    undoManager.perform (action);
    ++position;
}

bool EditHistory::undo()
{
    if (! undoManager.undo())
        return false;

    --position;
    return true;
}

bool EditHistory::redo()
{
    if (! undoManager.redo())
        return false;

    ++position;
    return true;
}

void EditHistory::markClean()
{
    cleanPosition = position.load();
}

void EditHistory::markSentButUnchecked()
{
    sentUncheckedPosition = position.load();
}

EditHistory::UnsavedEdits EditHistory::describeUnsavedEdits() const
{
    if (! hasUnsavedEdits())
        return UnsavedEdits::none;

    return position.load() == sentUncheckedPosition.load() ? UnsavedEdits::sentButUnchecked
                                                           : UnsavedEdits::neitherSentNorSaved;
}

void EditHistory::forgetAll()
{
    undoManager.clearUndoHistory();
    position = 0;
    cleanPosition = 0;
    sentUncheckedPosition = -1;
}
