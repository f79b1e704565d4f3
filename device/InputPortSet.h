#pragma once

#include "device/MidiPortSystem.h"

#include <chrono>
#include <memory>
#include <vector>

/** The MIDI inputs the device manager holds open, and the rules for closing them
    that JUCE's ALSA backend imposes: an input cannot be deleted from inside its own
    delivery, deleting one waits for a delivery in flight, and once the last input
    has stopped, JUCE's input thread needs a while to end before an input can start
    again. Its lock is never held while a port is opened, stopped or deleted. */
class InputPortSet
{
public:
    InputPortSet() = default;

    ~InputPortSet()                         { deleteAll(); }

    /** Stops and deletes every input, those retired too, on whichever thread calls it;
        never from inside a delivery. For the owner's teardown. */
    void deleteAll();

    /** Opens and starts every input the system lists, delivering to this receiver. */
    void openAll (MidiPortSystem& ports, MidiPortReceiver& receiver);

    /** Opens and starts the input of this identifier; false when it cannot be opened. */
    bool openOne (MidiPortSystem& ports, const juce::String& identifier, MidiPortReceiver& receiver);

    /** Closes every input but the one of this name (all of them when it is empty).
        From inside a delivery they are stopped now and deleted later, on the message
        thread, by the next close made there. */
    void closeAllExcept (const juce::String& keptInputName);
    void closeAll()                         { closeAllExcept ({}); }

    int countOpen() const;

    /** True when an input of this name is open but its device has gone, even if one of
        the same name and address is back (a replug: the old input never delivers again). */
    bool hasDeadInput (const juce::String& name) const;

private:
    using InputList = std::vector<std::unique_ptr<MidiInputPort>>;

    void waitForInputThreadToSettle();
    void retireOrDelete (InputList closing);
    static void stopAndDelete (InputList inputs);

    mutable juce::CriticalSection lock;
    InputList open;
    InputList retired;
    std::chrono::steady_clock::time_point mayStartAgainAt {};

    JUCE_DECLARE_NON_COPYABLE (InputPortSet)
};
