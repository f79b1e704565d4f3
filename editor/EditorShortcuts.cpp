#include "editor/EditorShortcuts.h"

EditorShortcuts::EditorShortcuts (Actions a) : actions (std::move (a))
{
    commands.registerAllCommandsForTarget (this);
    commands.setFirstCommandTarget (this);
}

EditorShortcuts::~EditorShortcuts()
{
    for (auto& component : listenedTo)
        if (component != nullptr)
            component->removeKeyListener (commands.getKeyMappings());

    commands.setFirstCommandTarget (nullptr);
}

void EditorShortcuts::attachTo (juce::Component& window, const std::vector<juce::Component*>& textFields)
{
    auto components = textFields;
    components.insert (components.begin(), &window);

    for (auto* component : components)
    {
        component->addKeyListener (commands.getKeyMappings());
        listenedTo.emplace_back (component);
    }
}

void EditorShortcuts::getAllCommands (juce::Array<juce::CommandID>& ids)
{
    ids.addArray ({ undo, redo, save, load });
}

void EditorShortcuts::getCommandInfo (juce::CommandID id, juce::ApplicationCommandInfo& info)
{
    const auto command = juce::ModifierKeys::commandModifier;
    const auto shift = juce::ModifierKeys::shiftModifier;

    switch (id)
    {
        case undo:
            info.setInfo ("Undo", "Undoes the last edit", "Edit", 0);
            info.addDefaultKeypress ('z', command);
            break;
        case redo:
            info.setInfo ("Redo", "Redoes the last edit undone", "Edit", 0);
            info.addDefaultKeypress ('z', command | shift);
            info.addDefaultKeypress ('y', command);
            break;
        case save:
            info.setInfo ("Save...", "Saves the settings to a file", "File", 0);
            info.addDefaultKeypress ('s', command);
            break;
        case load:
            info.setInfo ("Load...", "Loads the settings from a file", "File", 0);
            info.addDefaultKeypress ('o', command);
            break;
        default:
            break;
    }
}

bool EditorShortcuts::perform (const InvocationInfo& info)
{
    const std::function<void()>* action = nullptr;

    switch (info.commandID)
    {
        case undo: action = &actions.undo; break;
        case redo: action = &actions.redo; break;
        case save: action = &actions.save; break;
        case load: action = &actions.load; break;
        default:   return false;
    }

    if (*action)
        (*action)();

    return true;
}
