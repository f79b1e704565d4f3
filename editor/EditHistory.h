#pragma once

#include "device/LumManager49.h"

#include <juce_data_structures/juce_data_structures.h>

/** The editor's edits, undone and redone through juce::UndoManager: a field's new
    value, or the whole model replaced ("Default Values", a load, the keyboard's values
    taken in). It also knows whether the editor holds edits that were neither sent nor
    saved: the history's place is remembered when they were, and undoing back to it
    counts as nothing to lose. */
class EditHistory
{
public:
    struct Listener
    {
        virtual ~Listener() = default;

        /** The history changed the model; the item whose field it was, for a field. */
        virtual void historyChangedModel (std::optional<ItemId> editedItem) = 0;

        /** After historyChangedModel for one field's edit, its undo or redo: the value the
            field now holds, nothing when that value is not known. */
        virtual void fieldChanged (const ModelField&, std::optional<int>) {}
    };

    EditHistory (LumManager49& manager, Listener& listener);

    /** A new value for one field; nothing happens when it holds that value already. */
    void setField (const ModelField& field, int value);

    /** The model replaced as a whole: `before` is what it was, `after` what it is now. */
    void replaceModel (const SettingsModel& before, const SettingsModel& after, const juce::String& name);

    bool undo();
    bool redo();

    /** Sent (and the keyboard found holding it) or saved: from here nothing would be lost. */
    void markClean();

    /** Sent, but whether the keyboard holds it could not be checked: something may still
        be lost, but these edits were not "neither sent nor saved". */
    void markSentButUnchecked();

    enum class UnsavedEdits { none, neitherSentNorSaved, sentButUnchecked };

    /** What the edits that could be lost are. */
    UnsavedEdits describeUnsavedEdits() const;

    /** The keyboard's own configuration has replaced the model: nothing to undo, nothing to lose. */
    void forgetAll();

    /** Any thread. */
    bool hasUnsavedEdits() const   { return position.load() != cleanPosition.load(); }

private:
    void perform (juce::UndoableAction* action, const juce::String& name);

    LumManager49& manager;
    Listener& listener;
    juce::UndoManager undoManager;
    std::atomic<int> position { 0 }, cleanPosition { 0 }, sentUncheckedPosition { -1 };
};
