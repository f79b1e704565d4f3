#include "simulator/UsbGadget.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace
{
    constexpr int deviceSideWaitMs = 3000;

    juce::String firstController()
    {
        const auto controllers = juce::File ("/sys/class/udc").findChildFiles (juce::File::findDirectories
                                                                                   | juce::File::ignoreHiddenFiles, false);
        juce::StringArray names;

        for (const auto& entry : controllers)
            names.add (entry.getFileName());

        names.sort (true);
        return names[0];
    }

    /** configfs and sysfs take a value in one write() on a file opened for writing only. */
    juce::Result writeAttribute (const juce::File& file, const juce::String& value)
    {
        const auto line = value + "\n";
        const int descriptor = ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CLOEXEC);

        if (descriptor < 0)
            return juce::Result::fail (file.getFullPathName() + ": " + juce::String (std::strerror (errno)));

        const auto size = line.getNumBytesAsUTF8();
        const auto written = ::write (descriptor, line.toRawUTF8(), size);
        const auto error = errno;
        ::close (descriptor);

        if (written != (ssize_t) size)
            return juce::Result::fail ("writing \"" + value + "\" to " + file.getFullPathName() + ": "
                                       + juce::String (std::strerror (error)));

        return juce::Result::ok();
    }
}

UsbGadget::UsbGadget (juce::File gadgetDirectory, juce::String controllerName)
    : directory (std::move (gadgetDirectory)), controller (std::move (controllerName))
{
    if (const auto bound = udcFile().loadFileAsString().trim(); bound.isNotEmpty())
        controller = bound;
    else if (controller.isEmpty())
        controller = firstController();
}

juce::File UsbGadget::udcFile() const   { return directory.getChildFile ("UDC"); }

juce::File UsbGadget::functionDirectory() const
{
    const auto functions = directory.getChildFile ("functions").findChildFiles (juce::File::findDirectories, false, "midi.*");
    return functions.isEmpty() ? juce::File() : functions.getFirst();
}

bool UsbGadget::isPluggedIn() const          { return udcFile().loadFileAsString().trim().isNotEmpty(); }
juce::String UsbGadget::getProduct() const   { return directory.getChildFile ("strings/0x409/product").loadFileAsString().trim(); }

juce::String UsbGadget::getDeviceSideCardId() const
{
    const auto function = functionDirectory();
    return function == juce::File() ? juce::String() : function.getChildFile ("id").loadFileAsString().trim();
}

juce::Result UsbGadget::pullOut()
{
    if (! isPluggedIn())
        return juce::Result::ok();

    return writeAttribute (udcFile(), {});
}

juce::Result UsbGadget::plugIn (const juce::String& product)
{
    if (isPluggedIn())
        return juce::Result::fail ("the gadget is plugged in already");

    if (controller.isEmpty())
        return juce::Result::fail ("this machine has no USB device controller");

    if (const auto written = writeAttribute (directory.getChildFile ("strings/0x409/product"), product); written.failed())
        return written;

    if (const auto bound = writeAttribute (udcFile(), controller); bound.failed())
        return bound;

    return hideDeviceSideFromSequencer();
}

juce::Result UsbGadget::hideDeviceSideFromSequencer() const
{
    const auto cardId = getDeviceSideCardId();
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) deviceSideWaitMs;
    int card = -1;

    while ((card = snd_card_get_index (cardId.toRawUTF8())) < 0 && juce::Time::getMillisecondCounter() < deadline)
        std::this_thread::sleep_for (std::chrono::milliseconds (5));

    if (card < 0)
        return juce::Result::fail ("the gadget's raw MIDI card \"" + cardId + "\" did not come");

    // snd-seq-midi makes every raw MIDI device a sequencer port; without its driver the port goes.
    const juce::File driver ("/sys/bus/snd_seq/drivers/snd_seq_midi");
    const auto device = "seq-midi-" + juce::String (card) + "-0";

    if (! driver.getChildFile (device).exists())
        return juce::Result::ok();

    return writeAttribute (driver.getChildFile ("unbind"), device);
}
