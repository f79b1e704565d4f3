#include "editor/LiveFollower.h"

#include "device/ModelField.h"
#include "keyboard_view/VR49CtrlPickerComponent.h"

namespace
{
    // Free places of the panel: the toggles right of the drum pads, the two lines at the
    // foot of the selected control's group.
    const juce::Rectangle<int> followToggleBounds { 915, 429, 105, 22 };
    const juce::Rectangle<int> sendLiveToggleBounds { 915, 457, 105, 22 };
    const juce::Rectangle<int> clashLabelBounds { 448, 119, 322, 16 };
    const juce::Rectangle<int> liveLabelBounds { 772, 119, 140, 16 };

    void styleLine (juce::Label& label, juce::Justification justification)
    {
        label.setFont (juce::Font (13.0f, juce::Font::plain));
        label.setJustificationType (justification);
        label.setMinimumHorizontalScale (1.0f);
        label.setBorderSize ({});
    }
}

LiveFollower::LiveFollower (LumManager49& m, VR49CtrlPickerComponent& keyboardPicture, Host& panel)
    : manager (m), picture (keyboardPicture), host (panel)
{
    followToggle.setToggleState (true, juce::dontSendNotification);
    followToggle.setTooltip ("Touching a control on the keyboard selects it here");
    sendLiveToggle.setToggleState (false, juce::dontSendNotification);
    sendLiveToggle.setTooltip ("Each edit is sent to the keyboard at once and checked there");
    styleLine (liveLabel, juce::Justification::centredRight);
    styleLine (clashLabel, juce::Justification::centredLeft);
    clashLabel.setColour (juce::Label::textColourId, juce::Colour (0xffb03010));

    manager.addLiveListener (&queue);
    startTimerHz (ticksPerSecond);
}

LiveFollower::~LiveFollower()
{
    stopTimer();
    cancelPendingUpdate();
    manager.removeLiveListener (&queue);
}

void LiveFollower::addWidgetsTo (juce::Component& panel)
{
    followToggle.setBounds (followToggleBounds);
    sendLiveToggle.setBounds (sendLiveToggleBounds);
    clashLabel.setBounds (clashLabelBounds);
    liveLabel.setBounds (liveLabelBounds);

    for (auto* widget : std::initializer_list<juce::Component*> { &followToggle, &sendLiveToggle, &clashLabel, &liveLabel })
        panel.addAndMakeVisible (*widget);
}

void LiveFollower::handleAsyncUpdate()
{
    // Within a frame of the last take the timer's next tick takes it, with whatever follows.
    if (juce::Time::getMillisecondCounter() - lastTakeMs >= 1000 / ticksPerSecond)
        takeQueuedMessages();
}

void LiveFollower::timerCallback()
{
    takeQueuedMessages();

    // Pads fade and touch frames go out on their own.
    if (picture.getLiveLevels().advance (clock()))
        picture.repaint();
}

void LiveFollower::takeQueuedMessages()
{
    const auto messages = queue.take();

    if (messages.empty())
        return;

    lastTakeMs = juce::Time::getMillisecondCounter();

    // Read against what the keyboard holds now: an edit moves the control's message at once.
    const LiveMessageMap map (manager.getModel());
    const auto nowMs = clock();

    for (const auto& message : messages)
        if (const auto touch = map.interpret (message, lastNoteControls))
            take (*touch, nowMs);

    picture.getLiveLevels().advance (nowMs);
    picture.repaint();   // once, however many messages came
    showLiveValueOf (host.selectedControlId());
}

void LiveFollower::take (const LiveTouch& touch, juce::uint32 nowMs)
{
    if (touch.controls.empty())
        return;

    auto& levels = picture.getLiveLevels();

    for (const auto item : touch.controls)
    {
        lastTouches[item] = touch;

        if (touch.signature.kind == LiveSignature::Kind::note)
            levels.light (item, touch.level(), nowMs);
        else
            levels.setLevel (item, touch.level());
    }

    if (touch.signature.kind == LiveSignature::Kind::note)
        lastNoteControls = touch.controls;

    if (! followsKeyboard())
        return;

    levels.markTouched (touch.controls, nowMs);

    const auto first = touch.controls.front();

    if (first != host.selectedControlId() && mayPick())
        host.pickControl (first);
}

bool LiveFollower::mayPick() const
{
    if (host.isChoosingFromAList())
        return false;

    return ! lastUserEditMs.has_value() || clock() - *lastUserEditMs >= quietAfterEditMs;
}

void LiveFollower::selectedControlChanged()
{
    const auto item = host.selectedControlId();
    showLiveValueOf (item);
    showClashesOf (item, LiveMessageMap (manager.getModel()));
}

void LiveFollower::showLiveValueOf (ItemId item)
{
    const auto found = lastTouches.find (item);
    const auto text = found != lastTouches.end() ? "Live: " + found->second.valueText() : juce::String();

    if (liveLabel.getText() != text)
        liveLabel.setText (text, juce::dontSendNotification);
}

void LiveFollower::showClashesOf (ItemId item, const LiveMessageMap& map)
{
    const auto others = map.clashesWith (item);
    clashLabel.setText (others.empty() ? juce::String() : "Also sent by " + controlDisplayNames (others), juce::dontSendNotification);
    clashLabel.setTooltip (clashLabel.getText());
}
