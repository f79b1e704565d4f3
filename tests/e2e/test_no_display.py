"""Without a graphical display the programs say so and end with status 1, instead of
crashing: DISPLAY unset, and DISPLAY naming a display where no server runs.
    python3 tests/e2e/test_no_display.py <program> [<program> ...]"""

import os
import subprocess
import sys


def free_display():
    for number in range(150, 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{number}") and not os.path.exists(f"/tmp/.X{number}-lock"):
            return f":{number}"
    raise AssertionError("no free display number")


def main(programs):
    for program in programs:
        for display in (None, free_display()):
            env = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
            if display is not None:
                env["DISPLAY"] = display
            result = subprocess.run([program], env=env, capture_output=True, text=True, timeout=30)
            where = f"{os.path.basename(program)} with DISPLAY={display}"
            assert result.returncode == 1, f"{where}: exit status {result.returncode}, stderr {result.stderr!r}"
            assert "needs a graphical display" in result.stderr, f"{where}: stderr {result.stderr!r}"
    print("every program says it needs a display")
    simulator_options([p for p in programs if os.path.basename(p) == "konsolion-sim"][0])


def simulator_options(simulator):
    """konsolion-sim's options are read before any display is needed."""
    env = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
    result = subprocess.run([simulator, "--help"], env=env, capture_output=True, text=True, timeout=30)
    assert result.returncode == 0 and "--state-file PATH" in result.stdout and "--unplugged" in result.stdout, \
        f"--help: {result.returncode} {result.stdout!r}"
    result = subprocess.run([simulator, "--frobnicate"], env=env, capture_output=True, text=True, timeout=30)
    assert result.returncode == 2 and "unknown option --frobnicate" in result.stderr and "--no-monitor" in result.stderr, \
        f"an unknown option: {result.returncode} {result.stderr!r}"


if __name__ == "__main__":
    main(sys.argv[1:])
