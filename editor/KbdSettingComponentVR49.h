#pragma once

#include "device/HotPlugWatcher.h"
#include "device/KeyboardReadThread.h"
#include "device/LumManager49.h"
#include "editor/EditHistory.h"
#include "editor/EditorCommands.h"
#include "editor/EditorShortcuts.h"
#include "editor/FieldBinding.h"
#include "editor/LiveFollower.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <map>
#include <mutex>

class DialogService;
class VR49CtrlPickerComponent;

/** The editor panel: the global fields, the selected control's fields, the command
    buttons, the firmware line and the keyboard picture. It owns the device manager
    and drives the configuration read after each identification.

    Manager events arrive on the MIDI input thread; there the panel touches no widget,
    it only passes them to its reads and calls triggerAsyncUpdate. The read after each
    identification runs on a thread of its own and hands its model over, complete, on
    the message thread. The fields are shown from the model without change
    notifications, so that only the user's own choices reach comboBoxChanged. The
    commands are EditorCommands, the keyboard shortcuts EditorShortcuts. */
class KbdSettingComponentVR49 : public juce::Component,
                                public juce::ActionListener,
                                public LumManagerListener,
                                public juce::AsyncUpdater,
                                public juce::ComboBox::Listener,
                                public juce::Button::Listener,
                                private KeyboardReadThread::Listener,
                                private EditorCommands::Host,
                                private EditHistory::Listener,
                                private HotPlugWatcher::Listener,
                                private LiveFollower::Host
{
public:
    KbdSettingComponentVR49 (MidiPortSystem& ports, DialogService& dialogs);
    ~KbdSettingComponentVR49() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    void actionListenerCallback (const juce::String& message) override;
    void managerEvent (int event, int first, int second, int reserved) override;
    void handleAsyncUpdate() override;
    void comboBoxChanged (juce::ComboBox* comboBox) override;
    void buttonClicked (juce::Button* button) override;

    LumManager49& getDeviceManager() noexcept               { return deviceManager; }
    int getSelectedControl() const noexcept                 { return selectedControl; }
    bool isReadingBack() const                              { return startupRead.isReading(); }
    VR49CtrlPickerComponent& getKeyboardPicture() const     { return *keyboardPicture; }
    DialogService& getDialogs() const noexcept              { return dialogs; }

    /** Shows what the model holds in every field: the globals, the firmware revision
        and the selected control's fields. */
    void refreshAllFields();
    void refreshGlobalFields();
    void showSelectedControl();

    /** Message box B ("not detected"), shown once the message loop comes round. */
    void showNotDetectedLater() override                    { requestAsync (showNotDetected); }

    EditHistory& getHistory() noexcept                      { return history; }
    LiveFollower& getLiveFollower() noexcept                { return *follower; }
    HotPlugWatcher& getHotPlugWatcher() noexcept            { return watcher; }
    KeyboardReader& getKeyboardCheck() noexcept             { return keyboardCheck; }
    KeyboardReadThread& getStartupRead() noexcept           { return startupRead; }

    /** The short line left of the firmware revision. A line that says the keyboard holds
        what was sent gives way to "Edited since the last send" at the next change. */
    void setStatusText (const juce::String& text, bool saysKeyboardHoldsTheEdits = false) override;
    juce::String getStatusText() const                      { return statusLabel.getText(); }
    juce::Button& getCompareButton() noexcept               { return compareButton; }

    /** Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y undo and redo; Ctrl+S saves, Ctrl+O loads,
        wherever the focus is in this window. */
    void attachShortcutsTo (juce::Component& window);
    EditorShortcuts& getShortcuts() noexcept                { return *shortcuts; }

    /** True when the program may end now: nothing would be lost, or the user chose
        to save (and it was saved) or to discard. */
    bool confirmQuit();

    // HotPlugWatcher::Listener, and after a send that lost the keyboard (message thread).
    void keyboardPortsVanished() override;
    void bootloaderAppeared (const juce::MidiDeviceInfo& port) override;

    /** Every widget in creation order, the picture included. */
    std::vector<juce::Component*> getWidgets() const;

private:
    friend struct EditorPanelAccess;   // the tests' view of the widgets

    // Work moved to the message thread.
    enum AsyncWork { showNotDetected = 4, askBeforeRead = 8, readEnded = 16, searchFoundNoKeyboard = 32 };

    static std::map<ItemId, juce::String> buildControlNames();
    void createWidgets();
    void addExtraWidgets();
    void bindFields();
    void showFields (bool globalFields, bool selectedFields);
    void updateModeChoices();
    void requestAsync (int work);
    void keyboardConnected();
    void askWhetherToReadTheKeyboard();
    void selectControl (ItemId item);
    void takeFinishedRead();

    // KeyboardReadThread::Listener (the read's thread).
    void keyboardReadEnded (const KeyboardReader::Result& result) override;

    // LiveFollower::Host (message thread).
    ItemId selectedControlId() const override               { return selectedControl; }
    void pickControl (ItemId item) override;
    bool isChoosingFromAList() const override;

    // EditHistory::Listener (message thread).
    void historyChangedModel (std::optional<ItemId> editedItem) override;
    void fieldChanged (const ModelField& field, std::optional<int> value) override;

    std::map<ItemId, juce::String> controlNames;
    int selectedControl = -1;
    LumManager49 deviceManager;
    KeyboardReadThread startupRead { deviceManager, *this };
    DialogService& dialogs;
    std::vector<FieldBinding> fieldBindings;
    KeyboardReader keyboardCheck { deviceManager };
    EditHistory history { deviceManager, *this };
    HotPlugWatcher watcher { deviceManager, *this };
    std::unique_ptr<EditorCommands> commands;
    std::unique_ptr<EditorShortcuts> shortcuts;
    std::unique_ptr<LiveFollower> follower;
    std::atomic<int> pendingWork { 0 };
    std::mutex finishedReadLock;
    std::optional<KeyboardReader::Result> finishedRead;   // guarded by finishedReadLock
    bool statusSaysKeyboardHoldsTheEdits = false;

    std::unique_ptr<juce::GroupComponent> globalGroup;
    std::unique_ptr<juce::Label> part2ChannelLabel;
    std::unique_ptr<juce::ComboBox> part2ChannelCombo;
    std::unique_ptr<juce::Label> knobModeLabel;
    std::unique_ptr<juce::ComboBox> knobModeCombo;
    std::unique_ptr<juce::GroupComponent> selectedControlGroup;
    std::unique_ptr<juce::Label> nameLabel;
    std::unique_ptr<juce::TextEditor> nameEditor;
    std::unique_ptr<juce::Label> ccNumberLabel;
    std::unique_ptr<juce::ComboBox> ccNumberCombo;
    std::unique_ptr<juce::ImageButton> defaultValuesButton;
    std::unique_ptr<juce::ImageButton> sendToKeyboardButton;
    std::unique_ptr<VR49CtrlPickerComponent> keyboardPicture;
    std::unique_ptr<juce::Label> modeLabel;
    std::unique_ptr<juce::ComboBox> modeCombo;
    std::unique_ptr<juce::Label> channelLabel;
    std::unique_ptr<juce::ComboBox> channelCombo;
    std::unique_ptr<juce::Label> maxMsbLabel;
    std::unique_ptr<juce::ComboBox> maxMsbCombo;
    std::unique_ptr<juce::Label> minLsbLabel;
    std::unique_ptr<juce::ComboBox> minLsbCombo;
    std::unique_ptr<juce::Label> splitModeLabel;
    std::unique_ptr<juce::ComboBox> splitModeCombo;
    std::unique_ptr<juce::Label> part1ChannelLabel;
    std::unique_ptr<juce::ComboBox> part1ChannelCombo;
    std::unique_ptr<juce::Label> faderModeLabel;
    std::unique_ptr<juce::ComboBox> faderModeCombo;
    std::unique_ptr<juce::Label> splitPointLabel;
    std::unique_ptr<juce::ComboBox> splitPointCombo;
    std::unique_ptr<juce::TextButton> loadButton;
    std::unique_ptr<juce::TextButton> saveButton;
    std::unique_ptr<juce::TextButton> chartButton;
    std::unique_ptr<juce::TextButton> firmwareButton;
    std::unique_ptr<juce::Label> firmwareRevisionLabel;
    std::unique_ptr<juce::TextEditor> firmwareRevisionEditor;

    // Beyond the 35: in the free space of the firmware line.
    juce::Label statusLabel { "status", {} };
    juce::TextButton compareButton { "Compare..." };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KbdSettingComponentVR49)
};
