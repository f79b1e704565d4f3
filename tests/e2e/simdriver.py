"""Drives konsolion-sim in an X display with xdotool, and reads what it shows
through the state file it writes (no pixels, no fonts)."""

import os
import subprocess
import tempfile
import time

WINDOW_TITLE = "Ombrix Vantor 49-61 Konsolion"

# Where things are on the 1024 x 660 panel; the picture starts at y = 169.
PICTURE_Y = 169
CUTOFF_KNOB = (344 + 12, PICTURE_Y + 67 + 12)
SHIFT_TOGGLE = (294 + 16, PICTURE_Y + 150 + 4)
PAD_1 = (702 + 18, PICTURE_Y + 415 + 14)
CC_NUMBER_COMBO = (776 + 60, 64 + 12)
SEND_TO_KEYBOARD = (921 + 51, 14 + 12)
DEFAULT_VALUES = (929 + 44, 38 + 12)
SAVE_BUTTON = (933 + 39, 91 + 10)

# The file name box of JUCE's own 600 x 500 file chooser.
CHOOSER_FILE_NAME = (323, 438)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True, text=True).stdout


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out after {timeout} s waiting for {what}")


class Simulator:
    def __init__(self, executable, monitor=False):
        self.folder = tempfile.mkdtemp(prefix="konsolion-e2e-")
        self.state_file = os.path.join(self.folder, "state.txt")
        args = [executable, "--state-file", self.state_file]
        if not monitor:
            args.append("--no-monitor")
        self.process = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = wait_for(self._find_window, 20, "the editor's window").split()[0]
        self.origin = self._client_origin()

    def _find_window(self):
        result = subprocess.run(["xdotool", "search", "--name", WINDOW_TITLE], capture_output=True, text=True)
        return result.stdout.strip()

    def _client_origin(self, window=None):
        info = subprocess.run(["xwininfo", "-id", window or self.window], check=True, capture_output=True,
                              text=True).stdout
        values = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
        return int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"])

    def click_in(self, window, point):
        x0, y0 = self._client_origin(window)
        xdotool("mousemove", "--sync", x0 + point[0], y0 + point[1])
        xdotool("click", 1)
        time.sleep(0.15)

    def state(self):
        try:
            with open(self.state_file, encoding="utf-8") as f:
                return dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line)
        except FileNotFoundError:
            return {}

    def field(self, name):
        return self.state().get("field." + name)

    def wait_field(self, name, expected, timeout=10):
        wait_for(lambda: self.field(name) == expected, timeout,
                 f"field {name} to read {expected!r} (it reads {self.field(name)!r})")

    def click(self, point):
        self.origin = self._client_origin()
        x, y = self.origin[0] + point[0], self.origin[1] + point[1]
        xdotool("mousemove", "--sync", x, y)
        xdotool("click", 1)
        time.sleep(0.15)

    def key(self, *keys):
        xdotool("key", "--clearmodifiers", *keys)
        time.sleep(0.1)

    def type_text(self, text):
        xdotool("type", "--delay", 5, text)

    def wait_window(self, title, timeout=10):
        return wait_for(lambda: subprocess.run(["xdotool", "search", "--name", title],
                                               capture_output=True, text=True).stdout.strip(),
                        timeout, f"a window titled {title!r}").split()[0]

    def screenshot(self, path):
        subprocess.run(["import", "-window", self.window, path], check=True)

    def close_through_close_button(self):
        # The window manager's close button asks the window to close, as alt+F4 does in openbox.
        xdotool("windowactivate", "--sync", self.window)
        self.key("alt+F4")
        return self.process.wait(timeout=20)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
