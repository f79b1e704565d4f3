"""Drives konsolion-sim in an X display with xdotool, and reads what it shows
through the state file it writes (no pixels, no fonts)."""

import os
import subprocess
import sys
import tempfile
import time

WINDOW_TITLE = "Ombrix Vantor 49-61 Konsolion"

# Where things are on the 1024 x 660 panel; the picture starts at y = 169.
PICTURE_Y = 169
CUTOFF_KNOB = (344 + 12, PICTURE_Y + 67 + 12)
SHIFT_TOGGLE = (294 + 16, PICTURE_Y + 150 + 4)
PAD_1 = (702 + 18, PICTURE_Y + 415 + 14)
CC_NUMBER_COMBO = (776 + 60, 64 + 12)
KNOB_MODE_COMBO = (115 + 44, 64 + 12)
FADER_MODE_COMBO = (315 + 44, 64 + 12)
SPLIT_MODE_COMBO = (115 + 44, 96 + 12)
SPLIT_POINT_COMBO = (315 + 44, 96 + 12)
SEND_TO_KEYBOARD = (921 + 51, 14 + 12)
DEFAULT_VALUES = (929 + 44, 38 + 12)
SAVE_BUTTON = (933 + 39, 91 + 10)
LOAD_BUTTON = (933 + 39, 67 + 10)
FIRMWARE_BUTTON = (725 + 48, 142 + 11)
FOLLOW_KEYBOARD = (915 + 40, 429 + 11)   # "Follow Keyboard", right of the drum pads
EMPTY_SPOT = (200, 150)   # the status line: a click there only gives the window the keyboard focus

MONITOR_TITLE = "Simulated Vantor 49 - what the keyboard received"
PLUG_BUTTON = (210, 14)   # "Unplug the keyboard" / "Plug the keyboard in", atop the monitor window

# The file name box of JUCE's own 600 x 500 file chooser.
CHOOSER_FILE_NAME = (323, 438)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True, text=True).stdout


def wait_for(predicate, timeout, what, wake=None):
    deadline = time.monotonic() + timeout
    next_wake = time.monotonic() + 0.5
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        if wake is not None and time.monotonic() >= next_wake:
            wake()
            next_wake = time.monotonic() + 0.5
        time.sleep(0.05)
    raise AssertionError(f"timed out after {timeout} s waiting for {what}")


def window_info(window):
    result = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True)
    if result.returncode != 0:
        return None   # the window went away between the search and the question
    return dict(line.strip().split(":", 1) for line in result.stdout.splitlines() if ":" in line)


def viewable_window(title):
    """A mapped window with this title; a window the toolkit creates and drops at once does not count."""
    result = subprocess.run(["xdotool", "search", "--name", title], capture_output=True, text=True)
    for window in result.stdout.split():
        info = window_info(window)
        if info and info.get("Map State", "").strip() == "IsViewable":
            return window
    return None


def wake(window):
    """Touches a property of the window, which JUCE hears and ignores.

    JUCE reads X events only when its connection becomes readable; an event that arrives
    while a timer is in a round trip with the server (the tooltip asks where the pointer is)
    is taken into Xlib's queue and waits there for the next one. In the slow sanitized
    builds that stranded whole clicks and keys until the pointer moved again, so every wait
    here wakes the program now and then. A property change is no input: it cannot move a
    highlight or press anything."""
    subprocess.run(["xprop", "-id", window, "-f", "_KONSOLION_E2E_WAKE", "32c",
                    "-set", "_KONSOLION_E2E_WAKE", str(int(time.monotonic() * 1000) % 1000000)],
                   capture_output=True)


def close_through_close_button(window, process):
    """The window manager's close button asks the window to close, as alt+F4 does in openbox.
    Answers the program's exit code."""
    xdotool("windowactivate", "--sync", window)
    xdotool("key", "--clearmodifiers", "alt+F4")
    wait_for(lambda: process.poll() is not None, 20, "the program to quit", wake=lambda: wake(window))
    return process.returncode


class Simulator:
    def __init__(self, executable, monitor=False, options=()):
        self.folder = tempfile.mkdtemp(prefix="konsolion-e2e-")
        self.state_file = os.path.join(self.folder, "state.txt")
        args = [executable, "--state-file", self.state_file, *options]
        if not monitor:
            args.append("--no-monitor")
        self.stderr_path = os.path.join(self.folder, "stderr.txt")
        with open(self.stderr_path, "w") as stderr:
            self.process = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=stderr)
        self.window = wait_for(lambda: viewable_window(WINDOW_TITLE), 20, "the editor's window")
        # The window is mapped where the window manager first puts it and then centred, and the
        # monitor window opens beside it: a click before both have settled lands elsewhere
        # (seen in the slow sanitizer builds).
        if monitor:
            wait_for(lambda: viewable_window(MONITOR_TITLE), 20, "the monitor window")
        self._wait_until_settled()

    def _wait_until_settled(self, quiet=0.5, timeout=10):
        deadline = time.time() + timeout
        last, since = None, time.time()
        while time.time() < deadline:
            origin = self._client_origin(self.window)
            if origin != last:
                last, since = origin, time.time()
            elif time.time() - since >= quiet:
                return
            time.sleep(0.05)

    def _client_origin(self, window):
        info = window_info(window)
        if info is None:
            raise AssertionError(f"window {window} has gone")
        return int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"])

    def click_in(self, window, point):
        x0, y0 = self._client_origin(window)
        self._click_at(x0 + point[0], y0 + point[1])

    def click(self, point):
        self.click_in(self.window, point)

    @staticmethod
    def _click_at(x, y):
        # --sync waits for the pointer to arrive, which never happens when it is already there.
        if xdotool("getmouselocation", "--shell").split()[:2] != [f"X={x}", f"Y={y}"]:
            xdotool("mousemove", "--sync", x, y)
        xdotool("click", 1)
        time.sleep(0.15)

    def wait_for(self, predicate, timeout, what):
        return wait_for(predicate, timeout, what, wake=lambda: wake(self.window))

    def state(self):
        try:
            with open(self.state_file, encoding="utf-8") as f:
                return dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line)
        except FileNotFoundError:
            return {}

    def field(self, name):
        return self.state().get("field." + name)

    def wait_field(self, name, expected, timeout=10):
        self.wait_for(lambda: self.field(name) == expected, timeout,
                 f"field {name} to read {expected!r} (it reads {self.field(name)!r})")

    def choose_next(self, combo, field, expected):
        """The next item of a box, as a user picks it: the box takes the keyboard focus and
        opens its list; the list is closed and the box's own Down key moves on (keys inside
        the list race its highlighting of the row under the pointer)."""
        self.click(combo)
        self.wait_window("menu")
        self.key("Escape")
        self.wait_window_gone("menu")
        self.key("Down")
        self.wait_field(field, expected)

    def key(self, *keys):
        xdotool("key", "--clearmodifiers", *keys)
        time.sleep(0.1)

    def type_text(self, text):
        xdotool("type", "--delay", 5, text)

    def choose_file(self, chooser_title, path):
        """Types a path into JUCE's own file chooser and confirms it."""
        chooser = self.wait_window(chooser_title)
        self.click_in(chooser, CHOOSER_FILE_NAME)
        self.key("ctrl+a")
        self.type_text(path)
        self.key("Return")   # the chooser goes to the folder and keeps the name
        self.key("Return")   # and confirms

    def answer_box(self, title, key="Return"):
        """Waits for a message box and answers it with its default button."""
        box = self.wait_window(title)
        xdotool("windowactivate", "--sync", box)
        self.key(key)
        self.wait_window_gone(title)

    def wait_window(self, title, timeout=10):
        return self.wait_for(lambda: viewable_window(title), timeout, f"a window titled {title!r}")

    def wait_window_gone(self, title, timeout=10):
        self.wait_for(lambda: viewable_window(title) is None, timeout, f"the window titled {title!r} to close")

    def screenshot_screen(self, path):
        subprocess.run(["import", "-window", "root", path], capture_output=True)
        print(f"screen at the failure: {path}", file=sys.stderr)

    def screenshot(self, path):
        subprocess.run(["import", "-window", self.window, path], check=True)

    def close_through_close_button(self):
        return close_through_close_button(self.window, self.process)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def report_stderr(self):
        """What the simulator printed, for the log of a failed run."""
        with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        if text:
            print("konsolion-sim printed:\n" + text, file=sys.stderr)
