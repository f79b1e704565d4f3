#pragma once

#include "editor/KbdSettingComponentVR49.h"
#include "simulator/VirtualStudio.h"
#include "tests/support/TestSupport.h"

/** The editor panel on the virtual studio, with scripted dialogs and a search clock
    the test moves. */
class EditorFixture : public ::testing::Test
{
protected:
    void SetUp() override;

    LumManager49& manager()   { return panel->getDeviceManager(); }

    /** Moves the search on to the keyboard's output: the read then runs on its own. */
    void startDetection();

    /** startDetection, then waits for the whole read and the refresh it asks for. */
    void detectKeyboard();

    /** True once the keyboard saw the whole read and the panel has finished it. */
    bool readFinished();

    void pick (const juce::String& message);
    void click (juce::Button& button);
    int item (int param, ItemId id);
    int global (int index);
    std::vector<juce::String> messageBoxes() const;

    /** The panel's widget at this place of its creation order. */
    template <typename WidgetType>
    WidgetType& widget (int index)   { return *dynamic_cast<WidgetType*> (panel->getWidgets()[(size_t) index]); }

    VirtualStudio studio;
    SimulatedKeyboard& keyboard = studio.getKeyboard();
    ScriptedDialogs dialogs;
    std::unique_ptr<KbdSettingComponentVR49> panel;
    FakeClock clock;
    ScratchFolder scratch;
};
