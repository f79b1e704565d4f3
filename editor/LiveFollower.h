#pragma once

#include "device/LiveMessageMap.h"
#include "device/LiveMessageQueue.h"
#include "device/LumManager49.h"

#include <juce_gui_basics/juce_gui_basics.h>


class VR49CtrlPickerComponent;

/** Follows the keyboard as it is played: a message from its input picks the control that
    sent it, as a click on the picture would, and shows what it sent. It never gets in the
    user's way: "Follow Keyboard" turns the picking off, and while a list is open or within
    a second of the user's own edit a touch only marks its control. A touch is no edit.

    The messages arrive on the MIDI input thread and are only queued there; the message
    thread takes them all at once, at most 60 times a second: at once when the last take
    was a frame ago or more (a single touch shows without waiting for a tick), else at the
    next tick of a 60 Hz timer. A fader sweep costs one repaint a frame however many
    messages it sends. */
class LiveFollower : private juce::Timer,
                     private juce::AsyncUpdater
{
public:
    /** What the follower needs of the panel (message thread). */
    struct Host
    {
        virtual ~Host() = default;
        virtual ItemId selectedControlId() const = 0;

        /** Selects the control as a click on the picture would, without any edit. */
        virtual void pickControl (ItemId item) = 0;

        /** A combo box's list is open: picking now would change what it edits. */
        virtual bool isChoosingFromAList() const = 0;
    };

    static constexpr juce::uint32 quietAfterEditMs = 1000;
    static constexpr int ticksPerSecond = 60;

    LiveFollower (LumManager49& manager, VR49CtrlPickerComponent& picture, Host& host);
    ~LiveFollower() override;

    /** The toggles and the two lines of the selected control's group, placed on the panel. */
    void addWidgetsTo (juce::Component& panel);

    /** The user changed a field (message thread). */
    void userEdited()                                { lastUserEditMs = clock(); }

    /** Shows the selected control's live value and who else sends what it sends. */
    void selectedControlChanged();

    /** Takes every message queued since the last time (the timer's work). */
    void takeQueuedMessages();

    bool followsKeyboard() const                     { return followToggle.getToggleState(); }
    bool sendsEditsLive() const                      { return sendLiveToggle.getToggleState(); }
    juce::ToggleButton& getFollowToggle() noexcept   { return followToggle; }
    juce::ToggleButton& getSendLiveToggle() noexcept { return sendLiveToggle; }
    juce::String getLiveText() const                 { return liveLabel.getText(); }
    juce::String getClashText() const                { return clashLabel.getText(); }

    /** Replaces juce::Time::getMillisecondCounter (the tests drive the second's wait). */
    void setClock (std::function<juce::uint32()> newClock)   { clock = std::move (newClock); }

    /** Messages queued and not yet taken: more than a whole second of a sweep is dropped
        from the front, since only the latest values are shown. */
    static constexpr size_t queueLimit = 2048;

private:
    void timerCallback() override;
    void handleAsyncUpdate() override;
    void take (const LiveTouch& touch, juce::uint32 nowMs);
    bool mayPick() const;
    void showLiveValueOf (ItemId item);
    void showClashesOf (ItemId item, const LiveMessageMap& map);

    LumManager49& manager;
    VR49CtrlPickerComponent& picture;
    Host& host;
    std::function<juce::uint32()> clock { [] { return juce::Time::getMillisecondCounter(); } };

    LiveMessageQueue queue { queueLimit, [this] { triggerAsyncUpdate(); } };

    std::map<ItemId, LiveTouch> lastTouches;       // message thread only
    std::vector<ItemId> lastNoteControls;          // the pads a channel pressure follows
    std::optional<juce::uint32> lastUserEditMs;
    juce::uint32 lastTakeMs = 0;

    juce::ToggleButton followToggle { "Follow Keyboard" };
    juce::ToggleButton sendLiveToggle { "Send Edits Live" };
    juce::Label liveLabel { "live value", {} };
    juce::Label clashLabel { "clashes", {} };
};
