#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** The editor's keyboard shortcuts, the toolkit's way: commands of an
    ApplicationCommandManager whose key mappings listen on the whole window, so they
    work wherever the keyboard focus is (a field, a button, the window itself after a
    dialog or a mouse edit). Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo, Ctrl+S saves,
    Ctrl+O loads. */
class EditorShortcuts : public juce::ApplicationCommandTarget
{
public:
    enum CommandIds
    {
        undo = 0x4b01,
        redo,
        save,
        load
    };

    struct Actions
    {
        std::function<void()> undo, redo, save, load;
    };

    explicit EditorShortcuts (Actions actions);
    ~EditorShortcuts() override;

    /** The shortcuts work anywhere inside this component (the main window), and inside
        each of these text fields, which would otherwise take Ctrl+Z for themselves.
        They are detached again when the shortcuts go. */
    void attachTo (juce::Component& window, const std::vector<juce::Component*>& textFields = {});

    juce::KeyPressMappingSet& getKeyMappings()   { return *commands.getKeyMappings(); }

    // juce::ApplicationCommandTarget
    juce::ApplicationCommandTarget* getNextCommandTarget() override   { return nullptr; }
    void getAllCommands (juce::Array<juce::CommandID>& ids) override;
    void getCommandInfo (juce::CommandID id, juce::ApplicationCommandInfo& info) override;
    bool perform (const InvocationInfo& info) override;

private:
    const Actions actions;
    juce::ApplicationCommandManager commands;
    std::vector<juce::Component::SafePointer<juce::Component>> listenedTo;
};
