#pragma once

#include <juce_core/juce_core.h>

/** A USB gadget made in configfs (libcomposite), with one USB MIDI function: it is
    plugged into its USB device controller by writing the controller's name to its
    UDC file and pulled out by emptying that file, as a cable is plugged and pulled.
    Its product string is what the host names its MIDI port after ("Vantor 49" makes
    "Vantor 49 MIDI 1"). */
class UsbGadget
{
public:
    /** The gadget's directory (/sys/kernel/config/usb_gadget/NAME); it is plugged into
        the controller it is bound to now, else into `controller`, else into the
        machine's first. */
    explicit UsbGadget (juce::File directory, juce::String controller = {});

    bool isPluggedIn() const;
    juce::String getProduct() const;

    /** The ALSA card id of the gadget's own side of the cable ("Gadget"). */
    juce::String getDeviceSideCardId() const;

    juce::Result pullOut();

    /** Plugs it in with this product string, then waits for the gadget's own raw MIDI
        card and takes that card off the sequencer: on a desktop the keyboard's side
        of the cable is not a port of the computer it is plugged into. */
    juce::Result plugIn (const juce::String& product);

    /** Waits for the gadget's raw MIDI card and unbinds it from snd-seq-midi. */
    juce::Result hideDeviceSideFromSequencer() const;

private:
    juce::File udcFile() const;
    juce::File functionDirectory() const;

    const juce::File directory;
    juce::String controller;
};
