#include "simulator/app/SimulatorState.h"

#include "device/LumMidiMessage49.h"
#include "editor/KbdSettingComponentVR49.h"
#include "keyboard_view/VR49CtrlPickerComponent.h"
#include "simulator/SimulatedKeyboard.h"

namespace
{
    /** The panel's fields that show text, by their place in its creation order. */
    const std::pair<const char*, int> shownFields[] {
        { "part2Channel", 2 }, { "knobMode", 4 }, { "name", 7 }, { "ccNumber", 9 }, { "mode", 14 },
        { "channel", 16 }, { "maxMsb", 18 }, { "minLsb", 20 }, { "splitMode", 22 }, { "part1Channel", 24 },
        { "faderMode", 26 }, { "splitPoint", 28 }, { "firmware", 34 },
    };

    juce::String textOf (juce::Component* widget)
    {
        if (auto* combo = dynamic_cast<juce::ComboBox*> (widget))
            return combo->getText();

        if (auto* editor = dynamic_cast<juce::TextEditor*> (widget))
            return editor->getText();

        return {};
    }
}

juce::String describeSimulatorState (KbdSettingComponentVR49& panel, SimulatedKeyboard& keyboard)
{
    juce::String text;
    const auto widgets = panel.getWidgets();

    for (const auto& [key, index] : shownFields)
        text << "field." << key << "=" << textOf (widgets[(size_t) index]) << "\n";

    text << "field.status=" << panel.getStatusText() << "\n";
    text << "field.selected=" << panel.getSelectedControl() << "\n";
    text << "field.shift=" << (panel.getKeyboardPicture().getShiftButton().getToggleState() ? 1 : 0) << "\n";
    text << "field.live=" << panel.getLiveFollower().getLiveText() << "\n";
    text << "field.follow=" << (panel.getLiveFollower().followsKeyboard() ? 1 : 0) << "\n";
    text << "field.clashes=" << panel.getLiveFollower().getClashText() << "\n";

    const auto config = keyboard.getConfiguration();
    text << "keyboard.mode=" << (keyboard.isInUpdateMode() ? "update" : "normal") << "\n"
         << "keyboard.present=" << (keyboard.isPresent() ? 1 : 0) << "\n"
         << "keyboard.received=" << (int) keyboard.getReceivedCount() << "\n"
         << "keyboard.endOfTransfer=" << config.endOfTransferCount << "\n";

    for (size_t p = 1; p < config.itemParams.size(); ++p)
        for (const auto& [item, value] : config.itemParams[p])
            text << "keyboard.item." << (int) p << "." << item << "=" << value << "\n";

    for (size_t i = 0; i < config.globals.size(); ++i)
        text << "keyboard.global." << (int) i << "=" << config.globals[i] << "\n";

    for (size_t i = 0; i < config.curves.size(); ++i)
        text << "keyboard.curve." << (int) i << "=" << config.curves[i] << "\n";

    if (const auto image = keyboard.getBootloaderState().getImage())
        text << "keyboard.firmwareBytes=" << (int) image->size() << "\n";

    return text;
}

juce::String describeKeyboardTraffic (SimulatedKeyboard& keyboard)
{
    const auto config = keyboard.getConfiguration();
    const auto bootloader = keyboard.getBootloaderState();

    juce::String text;
    text << (! keyboard.isPresent() ? juce::String ("Unplugged")
             : keyboard.isInUpdateMode() ? juce::String ("Bootloader on \"") + SimulatedKeyboard::updatePortName + "\""
             : "Running on \"" + juce::String (SimulatedKeyboard::defaultPortName) + "\"")
         << "\nMessages received: " << (int) keyboard.getReceivedCount()
         << "\nComplete transfers (end of transfer): " << config.endOfTransferCount;

    if (keyboard.isInUpdateMode())
        text << "\nFirmware blocks accepted: " << bootloader.getAcceptedBlockCount() << " of "
             << bootloader.getExpectedBlockCount();

    text << "\n\nLast messages:\n";

    for (const auto& message : keyboard.getLastReceivedMessages (12))
        text << LumMidiMessage49 (message).toHexString();

    return text;
}

SimulatorStateFile::SimulatorStateFile (juce::File target, KbdSettingComponentVR49& p, SimulatedKeyboard& k)
    : file (std::move (target)), panel (p), keyboard (k)
{
    write();
    startTimer (200);
}

SimulatorStateFile::~SimulatorStateFile()
{
    stopTimer();
    write();
}

void SimulatorStateFile::write()
{
    const auto state = describeSimulatorState (panel, keyboard);

    if (state != lastWritten && file.replaceWithText (state))
        lastWritten = state;
}
