"""Screenshots for the documentation, made under a virtual display:
    python3 tests/e2e/make_screenshots.py <konsolion-sim> <docs folder>"""

import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from simdriver import CUTOFF_KNOB, PAD_1, SEND_TO_KEYBOARD, Simulator


def main(executable, docs):
    os.makedirs(docs, exist_ok=True)
    sim = Simulator(executable)
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
        sim.wait_field("status", "Keyboard holds what was sent (84 controls, 1 global)", timeout=15)
        sim.screenshot(os.path.join(docs, "editor-verified-send.png"))
        sim.close_through_close_button()
    finally:
        sim.stop()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
