"""The product starts quietly where there is no ALSA sequencer: nothing on stderr,
a window titled as it must be, and a clean exit through the close button.
    python3 tests/e2e/test_quiet_start.py <Konsolion>"""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from simdriver import WINDOW_TITLE, close_through_close_button, viewable_window, wait_for


def main(executable):
    stderr = tempfile.TemporaryFile()   # a file, not a pipe: a stream of errors can never block the program
    process = subprocess.Popen([executable], stdout=subprocess.DEVNULL, stderr=stderr)
    try:
        window = wait_for(lambda: viewable_window(f"^{WINDOW_TITLE}$"), 20, "the window")

        time.sleep(2.5)   # the search for the keyboard runs and gives up meanwhile
        exit_code = close_through_close_button(window, process)
        stderr.seek(0)
        err = stderr.read()
        assert exit_code == 0, f"exit code {exit_code}"
        assert err.strip() == b"", f"stderr was not quiet: {err[:400]!r}"
        print("quiet start passed")
    finally:
        if process.poll() is None:
            process.kill()


if __name__ == "__main__":
    main(sys.argv[1])
