#include "editor/KbdSettingComponentVR49.h"

#include "editor/DialogService.h"
#include "device/BootloaderPortName.h"
#include "device/FieldChoices.h"
#include "editor/EditorCommands.h"
#include "editor/EditorTexts.h"
#include "keyboard_view/VR49CtrlPickerComponent.h"

#include <KonsolionImages.h>

namespace
{
    constexpr int panelWidth = 1024;
    constexpr int panelHeight = 660;

    // Bounds of the 35 widgets, in creation order.
    const juce::Rectangle<int> widgetBounds[] {
        { 6, 8, 419, 128 },  { 20, 32, 93, 24 },   { 115, 32, 88, 24 },  { 20, 64, 88, 24 },   { 115, 64, 88, 24 },
        { 436, 8, 480, 128 }, { 452, 32, 80, 24 }, { 548, 32, 120, 24 }, { 680, 64, 80, 24 },  { 776, 64, 120, 24 },
        { 929, 38, 88, 24 }, { 921, 14, 102, 24 }, { 0, 169, 1024, 485 }, { 680, 32, 80, 24 }, { 776, 32, 120, 24 },
        { 452, 64, 80, 24 }, { 548, 64, 120, 24 }, { 680, 96, 80, 24 },  { 776, 96, 120, 24 }, { 452, 96, 80, 24 },
        { 548, 96, 120, 24 }, { 20, 96, 88, 24 },  { 115, 96, 88, 24 },  { 220, 32, 93, 24 },  { 315, 32, 88, 24 },
        { 220, 64, 88, 24 }, { 315, 64, 88, 24 },  { 220, 96, 88, 24 },  { 315, 96, 88, 24 },  { 933, 67, 78, 20 },
        { 933, 91, 78, 20 }, { 933, 115, 78, 20 }, { 725, 142, 96, 22 }, { 451, 142, 130, 24 }, { 582, 140, 133, 24 },
    };


    template <typename WidgetType, typename... Args>
    std::unique_ptr<WidgetType> addWidget (juce::Component& parent, Args&&... args)
    {
        auto widget = std::make_unique<WidgetType> (std::forward<Args> (args)...);
        parent.addAndMakeVisible (*widget);
        return widget;
    }

    std::unique_ptr<juce::Label> addLabel (juce::Component& parent, const char* name, const char* text,
                                           int focusOrder = 0)
    {
        auto label = addWidget<juce::Label> (parent, name, text);
        label->setFont (juce::Font (15.0f, juce::Font::plain));
        label->setJustificationType (juce::Justification::centredLeft);
        label->setEditable (false, false, false);
        label->setColour (juce::TextEditor::textColourId, juce::Colours::black);
        label->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));

        if (focusOrder != 0)
            label->setExplicitFocusOrder (focusOrder);

        return label;
    }

    struct ComboSpec
    {
        const char* name;
        juce::StringArray items;
        int focusOrder;
        const char* tooltip = nullptr;
        juce::Justification justification = juce::Justification::centredLeft;
    };

    std::unique_ptr<juce::ComboBox> addComboBox (juce::Component& parent, const ComboSpec& spec,
                                                 juce::ComboBox::Listener& listener)
    {
        auto combo = addWidget<juce::ComboBox> (parent, spec.name);
        combo->setExplicitFocusOrder (spec.focusOrder);
        combo->setEditableText (false);
        combo->setJustificationType (spec.justification);
        combo->setTextWhenNothingSelected ({});
        combo->setTextWhenNoChoicesAvailable ("(no choices)");
        combo->addItemList (spec.items, 1);
        combo->addListener (&listener);

        if (spec.tooltip != nullptr)
            combo->setTooltip (spec.tooltip);

        return combo;
    }

    std::unique_ptr<juce::TextEditor> addTextField (juce::Component& parent, const char* name, const char* text,
                                                    bool readOnly)
    {
        auto editor = addWidget<juce::TextEditor> (parent, name);
        editor->setMultiLine (false);
        editor->setReturnKeyStartsNewLine (false);
        editor->setReadOnly (readOnly);
        editor->setScrollbarsShown (false);
        editor->setCaretVisible (false);
        editor->setPopupMenuEnabled (false);

        if (! readOnly)
        {
            editor->setColour (juce::TextEditor::textColourId, juce::Colours::black);
            editor->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x60ff8080));
        }

        editor->setText (text);
        return editor;
    }

    std::unique_ptr<juce::TextButton> addTextButton (juce::Component& parent, const char* name, const char* text,
                                                     juce::uint32 colour, juce::Button::Listener& listener)
    {
        auto button = addWidget<juce::TextButton> (parent, name, juce::String());
        button->setButtonText (text);
        button->addListener (&listener);
        button->setColour (juce::TextButton::buttonColourId, juce::Colour (colour));
        button->setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff535a5e));
        button->setColour (juce::TextButton::textColourOnId, juce::Colour (0xfff0f0f0));
        button->setColour (juce::TextButton::textColourOffId, juce::Colour (0xfff0f0f0));
        return button;
    }

    juce::Image embeddedImage (const char* data, int size)
    {
        return juce::ImageCache::getFromMemory (data, size);
    }

    std::unique_ptr<juce::ImageButton> addImageButton (juce::Component& parent, juce::Button::Listener& listener,
                                                       const juce::Image& normal, const juce::Image& over,
                                                       const juce::Image& down)
    {
        auto button = addWidget<juce::ImageButton> (parent, "new button");
        button->addListener (&listener);
        const auto none = juce::Colours::transparentBlack;
        button->setImages (false, true, true, normal, 1.0f, none, over, 1.0f, none, down, 1.0f, none, 0.0f);
        return button;
    }

}

KbdSettingComponentVR49::KbdSettingComponentVR49 (MidiPortSystem& ports, DialogService& dialogService)
    : deviceManager (ports),
      dialogs (dialogService)
{
    createWidgets();
    bindFields();
    commands = std::make_unique<EditorCommands> (static_cast<EditorCommands::Host&> (*this), deviceManager,
                                                 keyboardCheck, startupRead, history, dialogs);
    shortcuts = std::make_unique<EditorShortcuts> (EditorShortcuts::Actions {
        [this] { history.undo(); }, [this] { history.redo(); },
        [this] { commands->saveSettings(); }, [this] { commands->loadSettings(); } });
    setSize (panelWidth, panelHeight);

    chartButton->setVisible (false);
    firmwareButton->setVisible (true);

    selectedControl = -1;
    keyboardPicture->addActionListener (this);
    controlNames = buildControlNames();

    addExtraWidgets();
    follower = std::make_unique<LiveFollower> (deviceManager, *keyboardPicture, static_cast<LiveFollower::Host&> (*this));
    follower->addWidgetsTo (*this);

    deviceManager.addListener (this);
    deviceManager.startScan();
    watcher.start();
}

void KbdSettingComponentVR49::addExtraWidgets()
{
    statusLabel.setFont (juce::Font (14.0f, juce::Font::plain));
    statusLabel.setJustificationType (juce::Justification::centredRight);
    statusLabel.setBounds (6, 142, 440, 22);
    addAndMakeVisible (statusLabel);

    compareButton.addListener (this);
    compareButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff8d99a0));
    compareButton.setColour (juce::TextButton::textColourOffId, juce::Colour (0xfff0f0f0));
    compareButton.setTooltip ("Reads the keyboard and lists how it differs from the editor");
    compareButton.setBounds (933, 142, 78, 22);
    addAndMakeVisible (compareButton);
}

void KbdSettingComponentVR49::setStatusText (const juce::String& text, bool saysKeyboardHoldsTheEdits)
{
    statusLabel.setText (text, juce::dontSendNotification);
    statusSaysKeyboardHoldsTheEdits = saysKeyboardHoldsTheEdits;
}

void KbdSettingComponentVR49::attachShortcutsTo (juce::Component& window)
{
    shortcuts->attachTo (window, { nameEditor.get() });
}

KbdSettingComponentVR49::~KbdSettingComponentVR49()
{
    // Nothing may reach the panel while it goes: the read and the search stop, and
    // closing the inputs waits for a delivery still running on the MIDI thread.
    startupRead.cancel();
    shortcuts.reset();
    watcher.stop();
    deviceManager.stopScan();
    deviceManager.dropLink();
    follower.reset();   // no message reaches it once the link is dropped

    globalGroup.reset();
    part2ChannelLabel.reset();
    part2ChannelCombo.reset();
    knobModeLabel.reset();
    knobModeCombo.reset();
    selectedControlGroup.reset();
    nameLabel.reset();
    nameEditor.reset();
    ccNumberLabel.reset();
    ccNumberCombo.reset();
    defaultValuesButton.reset();
    sendToKeyboardButton.reset();
    keyboardPicture.reset();
    modeLabel.reset();
    modeCombo.reset();
    channelLabel.reset();
    channelCombo.reset();
    maxMsbLabel.reset();
    maxMsbCombo.reset();
    minLsbLabel.reset();
    minLsbCombo.reset();
    splitModeLabel.reset();
    splitModeCombo.reset();
    part1ChannelLabel.reset();
    part1ChannelCombo.reset();
    faderModeLabel.reset();
    faderModeCombo.reset();
    splitPointLabel.reset();
    splitPointCombo.reset();
    loadButton.reset();
    saveButton.reset();
    chartButton.reset();
    firmwareButton.reset();
    firmwareRevisionLabel.reset();
    firmwareRevisionEditor.reset();
}

void KbdSettingComponentVR49::bindFields()
{
    using B = FieldBinding;
    fieldBindings = {
        B::global (*part2ChannelCombo, GlobalIndex::LowerChannel, samePosition, samePosition),
        B::global (*part1ChannelCombo, GlobalIndex::UpperChannel, samePosition, samePosition),
        B::global (*knobModeCombo, GlobalIndex::KnobMode, twoStateToPosition, positionToTwoState),
        B::global (*faderModeCombo, GlobalIndex::FaderMode, twoStateToPosition, positionToTwoState),
        B::global (*splitModeCombo, GlobalIndex::SplitMode, twoStateToPosition, positionToTwoState),
        B::global (*splitPointCombo, GlobalIndex::SplitPoint, samePosition, samePosition),
        B::item (*modeCombo, ItemParam::Mode, samePosition, samePosition),
        B::item (*channelCombo, ItemParam::Channel, channelToPosition, positionToChannel),
        B::item (*ccNumberCombo, ItemParam::Number, samePosition, samePosition),
        B::item (*minLsbCombo, ItemParam::MinLsb, samePosition, samePosition),
        B::item (*maxMsbCombo, ItemParam::MaxMsb, samePosition, samePosition),
    };
}

void KbdSettingComponentVR49::createWidgets()
{
    const auto channels16 = decimalChoices (1, 16);
    const auto values128 = decimalChoices (0, 127);
    auto& self = *this;

    globalGroup = addWidget<juce::GroupComponent> (self, "global group", "Global Parameters");
    globalGroup->setTextLabelPosition (juce::Justification::centredLeft);
    part2ChannelLabel = addLabel (self, "channel label", "Part 2 channel:", 1);
    part2ChannelCombo = addComboBox (self, { "lower channel combo", channels16, 2, nullptr, juce::Justification::centredRight }, self);
    knobModeLabel = addLabel (self, "knob mode label", "Knob mode:", 3);
    knobModeCombo = addComboBox (self, { "knob mode combo", { "Absolute", "Relative" }, 4 }, self);
    selectedControlGroup = addWidget<juce::GroupComponent> (self, "new group", "Selected Control Parameters");
    nameLabel = addLabel (self, "new label", "Name:");
    nameEditor = addTextField (self, "new text editor", "<Click a Control>", false);
    ccNumberLabel = addLabel (self, "new label", "CC number:");
    ccNumberCombo = addComboBox (self, { "CC number combo", controllerNameChoices(), 2,
                                         "Midi control number assigned to the selected control" }, self);
    defaultValuesButton = addImageButton (self, self,
        embeddedImage (KonsolionImages::default_values_normal_png, KonsolionImages::default_values_normal_pngSize),
        embeddedImage (KonsolionImages::default_values_over_png, KonsolionImages::default_values_over_pngSize),
        embeddedImage (KonsolionImages::default_values_down_png, KonsolionImages::default_values_down_pngSize));
    sendToKeyboardButton = addImageButton (self, self,
        embeddedImage (KonsolionImages::send_to_keyboard_normal_png, KonsolionImages::send_to_keyboard_normal_pngSize),
        embeddedImage (KonsolionImages::send_to_keyboard_over_png, KonsolionImages::send_to_keyboard_over_pngSize),
        embeddedImage (KonsolionImages::send_to_keyboard_down_png, KonsolionImages::send_to_keyboard_down_pngSize));
    keyboardPicture = addWidget<VR49CtrlPickerComponent> (self);
    modeLabel = addLabel (self, "new label", "Mode:");
    modeCombo = addComboBox (self, { "Mode combo", modeChoices(), 2, "Mode assigned to the selected control" }, self);
    channelLabel = addLabel (self, "new label", "Channel:");
    channelCombo = addComboBox (self, { "Channel combo", channelChoices(), 2,
                                        "Midi channel assigned to the selected control" }, self);
    maxMsbLabel = addLabel (self, "new label", "Max / MSB:");
    maxMsbCombo = addComboBox (self, { "Max MSB combo", values128, 2,
                                       "Max value (or MSB) set for the selected control" }, self);
    minLsbLabel = addLabel (self, "new label", "Min / LSB:");
    minLsbCombo = addComboBox (self, { "Min LSB combo", values128, 2,
                                       "Min value (or LSB) set for the selected control" }, self);
    splitModeLabel = addLabel (self, "knob mode label", "Split mode:", 3);
    splitModeCombo = addComboBox (self, { "split mode combo", { "Off", "On" }, 4 }, self);
    part1ChannelLabel = addLabel (self, "channel label", "Part 1 channel:", 1);
    part1ChannelCombo = addComboBox (self, { "upper channel combo", channels16, 2, nullptr, juce::Justification::centredRight }, self);
    faderModeLabel = addLabel (self, "knob mode label", "Fader mode:", 3);
    faderModeCombo = addComboBox (self, { "fader mode combo", { "Normal", "Drawbar" }, 4 }, self);
    splitPointLabel = addLabel (self, "knob mode label", "Split point:", 3);
    splitPointCombo = addComboBox (self, { "split point combo", noteNameChoices(), 4 }, self);
    loadButton = addTextButton (self, "load button", "Load...", 0xff808080, self);
    saveButton = addTextButton (self, "save button", "Save...", 0xff808080, self);
    chartButton = addTextButton (self, "chart button", "Chart...", 0xff808080, self);
    firmwareButton = addTextButton (self, "FW button", "Upgrade firmware...", 0xff8d99a0, self);
    firmwareRevisionLabel = addLabel (self, "new label", "Firmware revision:");
    firmwareRevisionEditor = addTextField (self, "firmware revision", "Not detected yet", true);
}

std::vector<juce::Component*> KbdSettingComponentVR49::getWidgets() const
{
    return { globalGroup.get(), part2ChannelLabel.get(), part2ChannelCombo.get(), knobModeLabel.get(),
             knobModeCombo.get(), selectedControlGroup.get(), nameLabel.get(), nameEditor.get(),
             ccNumberLabel.get(), ccNumberCombo.get(), defaultValuesButton.get(), sendToKeyboardButton.get(),
             keyboardPicture.get(), modeLabel.get(), modeCombo.get(), channelLabel.get(), channelCombo.get(),
             maxMsbLabel.get(), maxMsbCombo.get(), minLsbLabel.get(), minLsbCombo.get(), splitModeLabel.get(),
             splitModeCombo.get(), part1ChannelLabel.get(), part1ChannelCombo.get(), faderModeLabel.get(),
             faderModeCombo.get(), splitPointLabel.get(), splitPointCombo.get(), loadButton.get(),
             saveButton.get(), chartButton.get(), firmwareButton.get(), firmwareRevisionLabel.get(),
             firmwareRevisionEditor.get() };
}

std::map<ItemId, juce::String> KbdSettingComponentVR49::buildControlNames()
{
    return displayNamesFromCatalogue();
}

void KbdSettingComponentVR49::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xffffffff));
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xfffcfcfc), 328.0f, 8.0f,
                                             juce::Colour (0xffdbdbdb), 336.0f, 328.0f, false));
    g.fillRect (0, 0, panelWidth, panelHeight);
}

void KbdSettingComponentVR49::resized()
{
    const auto widgets = getWidgets();

    for (size_t i = 0; i < widgets.size(); ++i)
        if (widgets[i] != nullptr)
            widgets[i]->setBounds (widgetBounds[i]);
}

//==============================================================================
// Picking and showing a control.

void KbdSettingComponentVR49::actionListenerCallback (const juce::String& message)
{
    const auto item = (int) (juce::int16) message.getHexValue32();

    if (controlNames.count (item) == 0)
        return;

    selectedControl = item;
    showSelectedControl();
}

void KbdSettingComponentVR49::showFields (bool globalFields, bool selectedFields)
{
    // Shown without change notifications: the model keeps what it holds (a read on the
    // MIDI thread may change it meanwhile), but for a value the field stands for in
    // other words (a two-state global stored as 0 shows its first choice, which is 1).
    const auto model = deviceManager.getModel();

    for (const auto& binding : fieldBindings)
    {
        if ((binding.group == ModelField::Group::global ? ! globalFields : ! selectedFields))
            continue;

        const auto value = binding.read (model, selectedControl);

        if (! value.has_value())
            continue;

        if (const auto standsFor = binding.show (*value))
            deviceManager.setValue (*binding.fieldFor (selectedControl), *standsFor);
    }
}

void KbdSettingComponentVR49::showSelectedControl()
{
    if (selectedControl == -1)
        return;

    nameEditor->setText (controlNames[selectedControl]);
    showFields (false, true);
    updateModeChoices();

    if (follower != nullptr)
        follower->selectedControlChanged();
}

void KbdSettingComponentVR49::pickControl (ItemId item)
{
    if (controlNames.count (item) == 0)
        return;

    selectControl (item);
    showSelectedControl();
}

bool KbdSettingComponentVR49::isChoosingFromAList() const
{
    for (const auto& binding : fieldBindings)
        if (binding.comboBox->isPopupActive())
            return true;

    return false;
}

void KbdSettingComponentVR49::updateModeChoices()
{
    if (selectedControl < 1 || selectedControl > 127)
        return;

    if (const auto enabled = enabledModesFor (selectedControl))
        for (int code = 0; code < editorModeCount; ++code)
            modeCombo->setItemEnabled (code + 1, (*enabled)[(size_t) code]);
}

void KbdSettingComponentVR49::refreshGlobalFields()
{
    showFields (true, false);
    firmwareRevisionEditor->setText (firmwareRevisionText (deviceManager.getFirmwareRevision()));
}

void KbdSettingComponentVR49::refreshAllFields()
{
    refreshGlobalFields();
    showSelectedControl();
}

//==============================================================================
// Edits: only the user's choices notify.

void KbdSettingComponentVR49::comboBoxChanged (juce::ComboBox* comboBox)
{
    const auto position = comboBox->getSelectedItemIndex();

    if (position < 0)
        return;

    follower->userEdited();

    for (const auto& binding : fieldBindings)
        if (binding.comboBox == comboBox)
            if (const auto field = binding.fieldFor (selectedControl))
                history.setField (*field, binding.valueAt (position));
}

void KbdSettingComponentVR49::historyChangedModel (std::optional<ItemId> editedItem)
{
    // "Keyboard holds what was sent" is no longer true once anything changed.
    if (statusSaysKeyboardHoldsTheEdits)
        setStatusText (EditorTexts::editedSinceTheLastSend);

    // Undoing a control's edit shows that control, so the user sees what changed.
    if (editedItem.has_value() && *editedItem != selectedControl && controlNames.count (*editedItem) != 0)
        selectControl (*editedItem);

    refreshAllFields();
}

void KbdSettingComponentVR49::fieldChanged (const ModelField& field, std::optional<int> value)
{
    if (value.has_value() && follower->sendsEditsLive())
        commands->sendEditLive (field, *value);
}

void KbdSettingComponentVR49::selectControl (ItemId item)
{
    keyboardPicture->showItem (item);
    selectedControl = item;
}

//==============================================================================
// The configuration read, on the MIDI input thread: each answer sends the next request.

void KbdSettingComponentVR49::managerEvent (int event, int first, int, int)
{
    if (event == ManagerEvent::KeyboardConnected)
        keyboardConnected();
    else if (event == ManagerEvent::SearchFailed)
        requestAsync (searchFoundNoKeyboard);

    startupRead.handleManagerEvent (event, first);
    keyboardCheck.handleManagerEvent (event, first);
}

void KbdSettingComponentVR49::keyboardConnected()
{
    // Edits that were neither sent nor saved are never replaced unasked.
    if (history.hasUnsavedEdits())
        requestAsync (askBeforeRead);
    else
        startupRead.startRead();
}

void KbdSettingComponentVR49::askWhetherToReadTheKeyboard()
{
    if (! deviceManager.isConnected())
        return;

    if (dialogs.showOkCancelBox (juce::MessageBoxIconType::QuestionIcon, EditorTexts::keyboardFoundTitle,
                                 EditorTexts::keyboardFound (history.describeUnsavedEdits()),
                                 EditorTexts::readTheKeyboard, EditorTexts::keepMyEdits))
        startupRead.startRead();
    else
        firmwareRevisionEditor->setText (firmwareRevisionText (deviceManager.getFirmwareRevision()));
}

void KbdSettingComponentVR49::keyboardPortsVanished()
{
    const bool wasReading = startupRead.isReading();
    startupRead.cancel();
    firmwareRevisionEditor->setText ("Not detected yet");

    if (wasReading)
        dialogs.showMessageBox (juce::MessageBoxIconType::WarningIcon, EditorTexts::keyboardProblemTitle,
                                EditorTexts::readInterrupted);
}

void KbdSettingComponentVR49::bootloaderAppeared (const juce::MidiDeviceInfo& port)
{
    if (commands->isUpdating())
        return;

    firmwareRevisionEditor->setText (EditorTexts::inUpdateMode);
    commands->offerToFinishTheUpdate (port);
}

void KbdSettingComponentVR49::keyboardReadEnded (const KeyboardReader::Result& result)
{
    {
        const std::lock_guard<std::mutex> lock (finishedReadLock);
        finishedRead = result;
    }

    requestAsync (readEnded);
}

void KbdSettingComponentVR49::takeFinishedRead()
{
    std::optional<KeyboardReader::Result> result;
    {
        const std::lock_guard<std::mutex> lock (finishedReadLock);
        result = std::exchange (finishedRead, std::nullopt);
    }

    if (! result.has_value())
        return;

    if (result->completed())
    {
        // The model now holds the keyboard's configuration: nothing to undo, nothing to lose.
        deviceManager.setModel (result->model);
        deviceManager.rebuildNumberToItem();
        history.forgetAll();
        setStatusText ({});
        refreshAllFields();
        commands->offerKeptConfigurationBack (result->model);
        return;
    }

    firmwareRevisionEditor->setText (firmwareRevisionText (deviceManager.getFirmwareRevision()));

    if (result->outcome == KeyboardReader::Outcome::keyboardGone)
        dialogs.showMessageBox (juce::MessageBoxIconType::WarningIcon, EditorTexts::keyboardProblemTitle,
                                EditorTexts::readInterrupted);
    else if (result->outcome == KeyboardReader::Outcome::noAnswer)
        setStatusText (EditorTexts::readIncomplete);
}

void KbdSettingComponentVR49::requestAsync (int work)
{
    pendingWork.fetch_or (work);
    triggerAsyncUpdate();
}

void KbdSettingComponentVR49::handleAsyncUpdate()
{
    const auto work = pendingWork.exchange (0);

    if ((work & readEnded) != 0)
        takeFinishedRead();

    if ((work & searchFoundNoKeyboard) != 0)
    {
        // A keyboard left in its bootloader answers nothing, but is there: it is shown and
        // its update offered, instead of "not detected".
        auto& ports = deviceManager.getPortSystem();
        const auto bootloader = findBootloaderOutput (ports.getOutputNames());

        if (bootloader.isNotEmpty())
            bootloaderAppeared ({ bootloader, ports.outputIdentifierOf (bootloader) });
        else
            dialogs.showMessageBox (juce::MessageBoxIconType::InfoIcon, EditorTexts::keyboardProblemTitle,
                                    EditorTexts::notDetected);
    }

    if ((work & showNotDetected) != 0)
        dialogs.showMessageBox (juce::MessageBoxIconType::InfoIcon, EditorTexts::keyboardProblemTitle,
                                EditorTexts::notDetected);

    if ((work & askBeforeRead) != 0)
        askWhetherToReadTheKeyboard();
}

//==============================================================================
// Commands.

void KbdSettingComponentVR49::buttonClicked (juce::Button* button)
{
    if (button == defaultValuesButton.get())        commands->resetToDefaults();
    else if (button == sendToKeyboardButton.get())  commands->sendToKeyboard();
    else if (button == loadButton.get())            commands->loadSettings();
    else if (button == saveButton.get())            commands->saveSettings();
    else if (button == chartButton.get())           commands->exportChart();
    else if (button == firmwareButton.get())        commands->upgradeFirmware();
    else if (button == &compareButton)              commands->compareWithKeyboard();
}

bool KbdSettingComponentVR49::confirmQuit()
{
    if (! history.hasUnsavedEdits())
        return true;

    switch (dialogs.showYesNoCancelBox (juce::MessageBoxIconType::WarningIcon, EditorTexts::unsavedEditsTitle,
                                        EditorTexts::unsavedEdits (history.describeUnsavedEdits()),
                                        EditorTexts::saveButton, EditorTexts::discardButton,
                                        EditorTexts::cancelButton))
    {
        case 1:  return commands->saveSettings();
        case 2:  return true;
        default: return false;
    }
}
