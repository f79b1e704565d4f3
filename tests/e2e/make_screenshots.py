"""Screenshots for the documentation, made under a virtual display:
    python3 tests/e2e/make_screenshots.py <konsolion-sim> <docs folder>"""

import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from simdriver import CUTOFF_KNOB, PAD_1, SEND_TO_KEYBOARD, Simulator


def main(executable, docs):
    os.makedirs(docs, exist_ok=True)
    commands = os.path.join(tempfile.mkdtemp(prefix="konsolion-shots-"), "keyboard")
    sim = Simulator(executable, options=["--commands", commands])
    try:
        sim.wait_field("firmware", "1.05", timeout=15)
        sim.click(CUTOFF_KNOB)
        sim.wait_field("name", "Bnk1:P1 - Cutoff")
        sim.screenshot(os.path.join(docs, "editor-cutoff-picked.png"))

        sim.click(PAD_1)
        sim.wait_field("name", "Pad 1")
        sim.screenshot(os.path.join(docs, "editor-pad-picked.png"))

        # A send the editor read back: the line left of the firmware revision says so.
        sim.click(SEND_TO_KEYBOARD)
        sim.wait_field("status", "Keyboard holds what was sent (84 controls, 6 globals)", timeout=15)
        sim.screenshot(os.path.join(docs, "editor-verified-send.png"))

        # The bank-2 Cutoff knob turned on the keyboard: picked, with its live value.
        for value in (40, 70, 90):
            with open(commands, "w") as fifo:
                fifo.write(f"play 33 {value}\n")
            time.sleep(0.1)
        sim.wait_field("selected", "33")
        sim.wait_field("live", "Live: 90")
        sim.screenshot(os.path.join(docs, "editor-live-touch.png"))
        sim.close_through_close_button()
    finally:
        sim.stop()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
