"""End to end: the editor against the simulated keyboard, in a real window.
    python3 tests/e2e/test_simulator.py <konsolion-sim> <expected-defaults.vr49>"""

import os
import re
import sys
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(__file__))
from simdriver import (CC_NUMBER_COMBO, CHOOSER_FILE_NAME, CUTOFF_KNOB, DEFAULT_VALUES, FIRMWARE_BUTTON,
                       LOAD_BUTTON, MONITOR_TITLE, PAD_1, PLUG_BUTTON, SAVE_BUTTON, SEND_TO_KEYBOARD,
                       SHIFT_TOGGLE, Simulator)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def expected_document(defaults_path):
    """The document the editor must save: the defaults, with what this run changed."""
    with open(defaults_path, encoding="utf-8", newline="") as f:
        text = f.read()
    # Pad 1 was given controller 37.
    text = text.replace('<Item ID="112" Mode="9" Chan="9" Num="36"', '<Item ID="112" Mode="9" Chan="9" Num="37"')
    # Showing the globals after detection writes 1 into the three two-state globals.
    for index in (1, 2, 7):
        text = text.replace(f'<Param ID="{index}" Value="0"/>', f'<Param ID="{index}" Value="1"/>', 1)
    return text


def keyboard_items(state):
    items = {}
    for key, value in state.items():
        match = re.fullmatch(r"keyboard\.item\.(\d)\.(\d+)", key)
        if match:
            items[(int(match.group(1)), int(match.group(2)))] = int(value)
    return items


def saved_items(path):
    names = {"Mode": 1, "Chan": 2, "Num": 3, "MinLSB": 4, "MaxMSB": 5, "Option": 6}
    items = {}
    for item in ElementTree.parse(path).getroot().find("Items"):
        for attribute, param in names.items():
            items[(param, int(item.get("ID")))] = int(item.get(attribute))
    return items


def update_while_the_search_runs(sim):
    """The keyboard answers nothing (unplugged) while the search runs; the user starts the
    update at once. The search keeps out of it, and once the keyboard is back in normal
    mode it is found and read."""
    firmware = os.path.join(sim.folder, "Vantor49_e2e.bin")
    with open(firmware, "wb") as f:
        f.write(bytes((i * 7) & 0xFF for i in range(3000)))

    sim.wait_field("firmware", "Not detected yet")   # nothing answers while the keyboard is unplugged
    sim.click(FIRMWARE_BUTTON)
    sim.answer_box("Enter Firmware Upgrade Mode")   # the simulated keyboard restarts in its bootloader
    sim.choose_file("Please select the firmware file to burn...", firmware)
    sim.answer_box("Firmware Update Result", key="Return")
    sim.wait_for(lambda: sim.state().get("keyboard.firmwareBytes") == "3000", 10, "the whole image in the keyboard")
    sim.wait_field("firmware", "1.05", timeout=20)
    sim.wait_for(lambda: sim.state().get("keyboard.mode") == "normal", 5, "the keyboard in normal mode")


def unplug_and_plug_in(sim):
    monitor = sim.wait_window(MONITOR_TITLE)
    sim.click_in(monitor, PLUG_BUTTON)
    sim.wait_for(lambda: sim.state().get("keyboard.present") == "0", 5, "the keyboard unplugged")
    sim.wait_field("firmware", "Not detected yet", timeout=10)
    sim.click_in(monitor, PLUG_BUTTON)
    sim.wait_field("firmware", "1.05", timeout=15)


def main(executable, defaults_path):
    sim = Simulator(executable, monitor=True, options=["--unplugged"])
    try:
        update_while_the_search_runs(sim)
        unplug_and_plug_in(sim)
        check(sim.field("splitPoint") == "C-2", "the global fields are shown after detection")

        sim.click(CUTOFF_KNOB)
        sim.wait_field("name", "Bnk1:P1 - Cutoff")
        sim.wait_field("ccNumber", "74 - Brightness")
        check(sim.field("mode") == "Control" and sim.field("channel") == "Upper", "Cutoff's mode and channel")

        sim.click(SHIFT_TOGGLE)
        sim.wait_field("name", "Bnk2:P1")
        sim.wait_field("ccNumber", "35 - Undefined")

        sim.click(PAD_1)
        sim.wait_field("name", "Pad 1")
        sim.wait_field("mode", "Note Toggle")
        check(sim.field("channel") == "10", "Pad 1 sends on channel 10")

        # The box takes the keyboard focus and opens its list; the next number is chosen with the
        # box's own Down key, since keys inside the list race its highlighting of the row under
        # the pointer (where that row lies, and when it is lit, differs from run to run).
        sim.click(CC_NUMBER_COMBO)
        sim.wait_window("menu")
        sim.key("Escape")
        sim.wait_window_gone("menu")
        sim.key("Down")
        sim.wait_field("ccNumber", "37 - Portamento Time LSB")
        check(sim.state().get("keyboard.endOfTransfer") == "0", "editing sends nothing")

        # The edit undone and done again, from the keyboard.
        sim.key("ctrl+z")
        sim.wait_field("ccNumber", "36 - Foot Controller LSB")
        sim.key("ctrl+y")
        sim.wait_field("ccNumber", "37 - Portamento Time LSB")

        # A send the editor reads back and checks.
        sim.click(SEND_TO_KEYBOARD)
        sim.wait_for(lambda: sim.state().get("keyboard.endOfTransfer") == "1", 15, "the keyboard to receive everything")
        sim.wait_field("status", "Keyboard holds what was sent (84 controls, 1 global)", timeout=15)

        saved = os.path.join(sim.folder, "mine")
        sim.click(SAVE_BUTTON)
        sim.choose_file("Please select the settings file where to save...", saved)
        sim.wait_for(lambda: os.path.exists(saved + ".vr49"), 10, "the saved file")

        with open(saved + ".vr49", encoding="utf-8", newline="") as f:
            check(f.read() == expected_document(defaults_path), "the saved document is the expected one")

        # What the keyboard holds is exactly what the editor saved, for the controls it has
        # (not the pitch wheel, never sent, nor the hidden items 99 to 106), every value a data byte carries.
        held = keyboard_items(sim.state())
        model = {key: value for key, value in saved_items(saved + ".vr49").items()
                 if 0 <= value <= 127 and key[1] != 65 and not 99 <= key[1] <= 106}
        check(held == model, f"the keyboard holds the model ({len(held)} values held, {len(model)} in the model)")
        check(sim.state().get("keyboard.global.6") == "0", "the keyboard holds the MIDI channel")

        sim.click(DEFAULT_VALUES)
        sim.wait_field("splitPoint", "C3")
        sim.wait_field("firmware", "0.00")
        sim.wait_field("ccNumber", "36 - Foot Controller LSB")

        # A damaged file is refused with a box that says why, and changes nothing.
        damaged = os.path.join(sim.folder, "damaged.vr49")
        with open(damaged, "wb") as f:
            f.write(b"<Settings><Items><Item ID=")
        sim.click(LOAD_BUTTON)
        sim.choose_file("Please select the settings file you want to load...", damaged)
        sim.answer_box("Settings Not Loaded")
        check(sim.field("splitPoint") == "C3", "the refused file changed nothing")

        # "Default Values" left edits neither sent nor saved: quitting asks first.
        sim.key("alt+F4")
        sim.answer_box("Unsaved Edits", key="Escape")   # Cancel: the editor stays
        check(sim.process.poll() is None, "Cancel keeps the editor open")
        kept = os.path.join(sim.folder, "kept")
        sim.key("alt+F4")
        sim.answer_box("Unsaved Edits", key="Return")   # Save...
        sim.choose_file("Please select the settings file where to save...", kept)
        sim.wait_for(lambda: sim.process.poll() is not None, 20, "the program to quit once saved")
        exit_code = sim.process.returncode
        check(os.path.exists(kept + ".vr49"), "the edits were saved before quitting")
        check(exit_code == 0, f"the simulator quits cleanly (exit code {exit_code})")
        print("end-to-end check passed")
    except BaseException:
        sim.report_stderr()
        sim.screenshot_screen(os.path.join(os.environ.get("KONSOLION_E2E_SHOTS", sim.folder), "failure.png"))
        raise
    finally:
        sim.stop()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
