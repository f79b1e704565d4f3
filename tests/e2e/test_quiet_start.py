"""The product starts quietly where there is no ALSA sequencer: nothing on stderr,
a window titled as it must be, and a clean exit through the close button.
    python3 tests/e2e/test_quiet_start.py <Konsolion>"""

import subprocess
import sys
import time


def main(executable):
    process = subprocess.Popen([executable], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        deadline = time.monotonic() + 20
        window = ""
        while not window and time.monotonic() < deadline:
            window = subprocess.run(["xdotool", "search", "--name", "^Ombrix Vantor 49-61 Konsolion$"],
                                    capture_output=True, text=True).stdout.strip()
            time.sleep(0.05)
        assert window, "the window did not appear"

        time.sleep(2.5)   # the search for the keyboard runs and gives up meanwhile
        subprocess.run(["xdotool", "windowactivate", "--sync", window.split()[0]], check=True)
        subprocess.run(["xdotool", "key", "--clearmodifiers", "alt+F4"], check=True)
        out, err = process.communicate(timeout=20)
        assert process.returncode == 0, f"exit code {process.returncode}"
        assert err.strip() == b"", f"stderr was not quiet: {err[:400]!r}"
        print("quiet start passed")
    finally:
        if process.poll() is None:
            process.kill()


if __name__ == "__main__":
    main(sys.argv[1])
