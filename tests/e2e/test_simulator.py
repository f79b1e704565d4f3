"""End to end: the editor against the simulated keyboard, in a real window.
    python3 tests/e2e/test_simulator.py <konsolion-sim> <konsolion-cli>"""

import os
import re
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(__file__))
from simdriver import (CC_NUMBER_COMBO, CUTOFF_KNOB, DEFAULT_VALUES, EMPTY_SPOT, FADER_MODE_COMBO, FIRMWARE_BUTTON,
                       FOLLOW_KEYBOARD,
                       KNOB_MODE_COMBO, LOAD_BUTTON, MONITOR_TITLE, PAD_1, PLUG_BUTTON, SEND_TO_KEYBOARD,
                       SHIFT_TOGGLE, SPLIT_MODE_COMBO, SPLIT_POINT_COMBO, Simulator)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def backup_of_a_new_keyboard(cli, folder):
    """What konsolion-cli writes for a keyboard as it leaves the factory: the editor's save
    after its own read of such a keyboard must be the same file."""
    path = os.path.join(folder, "backup.vr49")
    env = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
    subprocess.run([cli, "--simulate", "backup", path], check=True, capture_output=True, env=env, timeout=60)
    with open(path, encoding="utf-8", newline="") as f:
        return f.read()


def saved_text(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read()


GLOBAL_FIELDS = {"part2Channel": (5, lambda v: str(v + 1)), "part1Channel": (6, lambda v: str(v + 1)),
                 "knobMode": (2, lambda v: "Relative" if v == 127 else "Absolute"),
                 "faderMode": (1, lambda v: "Drawbar" if v == 127 else "Normal"),
                 "splitMode": (7, lambda v: "On" if v == 127 else "Off"),
                 "splitPoint": (8, lambda v: ["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"][v % 12]
                                + str(v // 12 - 2))}


def check_global_fields_show_the_keyboard(sim):
    state = sim.state()
    for field, (index, text) in GLOBAL_FIELDS.items():
        held = int(state[f"keyboard.global.{index}"])
        check(sim.field(field) == text(held), f"{field} shows {sim.field(field)!r}, the keyboard holds {held}")


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


def play(commands, line):
    with open(commands, "w") as fifo:
        fifo.write(line + "\n")


def follow_the_keyboard(sim, commands):
    """Controls touched on the simulated keyboard are picked in the editor, with their bank
    and their live value; with "Follow Keyboard" off nothing moves."""
    for item, value, name, live, shift in ((33, 90, "Bnk2:P1", "Live: 90", "1"),
                                           (112, 100, "Pad 1", "Live: note 37, vel 100", "1"),
                                           (65, 12000, "Pitch Wheel", "Live: 12000", "1"),
                                           (1, 20, "Bnk1:P1 - Cutoff", "Live: 20", "0")):
        play(commands, f"play {item} {value}")
        sim.wait_field("selected", str(item))
        sim.wait_field("name", name)
        sim.wait_field("live", live)
        check(sim.field("shift") == shift, f"{name} is shown with Shift {'on' if shift == '1' else 'off'}")
    check(sim.field("status").startswith("Keyboard holds what was sent"), "a touch is no edit")

    sim.click(FOLLOW_KEYBOARD)
    sim.wait_field("follow", "0")
    play(commands, "play 33 40")
    play(commands, "play 112 90")
    time.sleep(0.5)
    check(sim.field("selected") == "1", "with Follow Keyboard off a touch picks nothing")
    sim.click(FOLLOW_KEYBOARD)
    sim.wait_field("follow", "1")
    play(commands, "play 112 41")   # back on, and back to Pad 1
    sim.wait_field("selected", "112")


def main(executable, cli):
    commands = os.path.join(tempfile.mkdtemp(prefix="konsolion-e2e-commands-"), "keyboard")
    sim = Simulator(executable, monitor=True, options=["--unplugged", "--commands", commands])
    try:
        update_while_the_search_runs(sim)
        unplug_and_plug_in(sim)
        check_global_fields_show_the_keyboard(sim)

        # Ctrl+S with the focus on the window, then Ctrl+O at once: both reach the editor.
        fresh = os.path.join(sim.folder, "fresh")
        sim.click(EMPTY_SPOT)
        sim.key("ctrl+s")
        sim.choose_file("Please select the settings file where to save...", fresh)
        sim.wait_for(lambda: os.path.exists(fresh + ".vr49"), 10, "the file saved with Ctrl+S")
        check(saved_text(fresh + ".vr49") == backup_of_a_new_keyboard(cli, sim.folder),
              "the editor's save after its read is the command line's backup of the same keyboard")
        sim.key("ctrl+o")
        sim.wait_window("Please select the settings file you want to load...")
        sim.key("Escape")
        sim.wait_window_gone("Please select the settings file you want to load...")

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

        # The globals, chosen with the mouse, and sent with everything else.
        sim.choose_next(KNOB_MODE_COMBO, "knobMode", "Relative")
        sim.choose_next(FADER_MODE_COMBO, "faderMode", "Drawbar")
        sim.choose_next(SPLIT_MODE_COMBO, "splitMode", "On")
        sim.choose_next(SPLIT_POINT_COMBO, "splitPoint", "C#3")
        sim.key("ctrl+z")   # right after a mouse edit, with the focus where the mouse left it
        sim.wait_field("splitPoint", "C3")
        sim.key("ctrl+shift+z")
        sim.wait_field("splitPoint", "C#3")

        # A send the editor reads back and checks.
        sim.click(SEND_TO_KEYBOARD)
        sim.wait_for(lambda: sim.state().get("keyboard.endOfTransfer") == "1", 15, "the keyboard to receive everything")
        sim.wait_field("status", "Keyboard holds what was sent (84 controls, 6 globals)", timeout=15)
        check_global_fields_show_the_keyboard(sim)
        held_globals = {i: sim.state()[f"keyboard.global.{i}"] for i in (1, 2, 7, 8)}
        check(held_globals == {1: "127", 2: "127", 7: "127", 8: "61"}, f"the keyboard holds the globals: {held_globals}")

        saved = os.path.join(sim.folder, "mine")
        sim.key("ctrl+s")
        sim.choose_file("Please select the settings file where to save...", saved)
        sim.wait_for(lambda: os.path.exists(saved + ".vr49"), 10, "the saved file")

        # What the keyboard holds is exactly what the editor saved, for the controls it has
        # (not the pitch wheel, never sent, nor the hidden items 99 to 106), every value a data byte carries.
        held = keyboard_items(sim.state())
        model = {key: value for key, value in saved_items(saved + ".vr49").items()
                 if 0 <= value <= 127 and key[1] != 65 and not 99 <= key[1] <= 106}
        check(held[(3, 112)] == 37, "the keyboard holds Pad 1's new number")
        differing = {key: (held.get(key), model.get(key)) for key in set(held) | set(model) if held.get(key) != model.get(key)}
        check(not differing, f"the keyboard holds the model ({len(held)} values held, {len(model)} in the model; "
                             f"(param, item): (held, saved) {differing})")
        check(sim.state().get("keyboard.global.6") == "0", "the keyboard holds the MIDI channel")

        # An update keeps the configuration: read first, flashed (the keyboard comes back with
        # the factory's), offered back and restored, checked.
        firmware = os.path.join(sim.folder, "Vantor49_kept.bin")
        with open(firmware, "wb") as f:
            f.write(bytes((i * 5) & 0xFF for i in range(2000)))
        sim.click(FIRMWARE_BUTTON)
        sim.answer_box("Enter Firmware Upgrade Mode")   # "OK"
        sim.choose_file("Please select the firmware file to burn...", firmware)
        sim.answer_box("Firmware Update Result", key="Return")
        sim.answer_box("Configuration After the Update", key="Return")   # "Restore My Configuration"
        sim.wait_for(lambda: sim.state().get("keyboard.global.8") == "61", 20, "the user's split point back on the keyboard")
        sim.wait_field("status", "Keyboard holds what was sent (84 controls, 6 globals)", timeout=20)
        restored = {i: sim.state()[f"keyboard.global.{i}"] for i in (1, 2, 7, 8)}
        check(restored == {1: "127", 2: "127", 7: "127", 8: "61"}, f"the keyboard holds the user's globals again: {restored}")
        check(keyboard_items(sim.state())[(3, 112)] == 37, "and Pad 1's number")

        follow_the_keyboard(sim, commands)

        # Any change after it: the status no longer says the keyboard holds the edits.
        sim.click(DEFAULT_VALUES)
        sim.wait_field("status", "Edited since the last send")
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
