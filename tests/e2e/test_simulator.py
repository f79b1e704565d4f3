"""End to end: the editor against the simulated keyboard, in a real window.
    python3 tests/e2e/test_simulator.py <konsolion-sim> <expected-defaults.vr49>"""

import os
import re
import sys
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(__file__))
from simdriver import (CC_NUMBER_COMBO, CHOOSER_FILE_NAME, CUTOFF_KNOB,
                       DEFAULT_VALUES, PAD_1, SAVE_BUTTON, SEND_TO_KEYBOARD, SHIFT_TOGGLE, Simulator)


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


def main(executable, defaults_path):
    sim = Simulator(executable)
    try:
        sim.wait_field("firmware", "1.05", timeout=15)
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

        sim.click(SEND_TO_KEYBOARD)
        sim.wait_for(lambda: sim.state().get("keyboard.endOfTransfer") == "1", 15, "the keyboard to receive everything")

        saved = os.path.join(sim.folder, "mine")
        sim.click(SAVE_BUTTON)
        chooser = sim.wait_window("Please select the settings file where to save...")
        sim.click_in(chooser, CHOOSER_FILE_NAME)
        sim.key("ctrl+a")
        sim.type_text(saved)
        sim.key("Return")   # the chooser goes to the folder and keeps the name
        sim.key("Return")   # and saves
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

        exit_code = sim.close_through_close_button()
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
