"""konsolion-cli end to end, against its simulated keyboard, with no display at all.
    python3 tests/e2e/test_cli.py <konsolion-cli>"""

import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

CLI = sys.argv[1]
FOLDER = tempfile.mkdtemp(prefix="konsolion-cli-")
STATE = os.path.join(FOLDER, "keyboard-state.vr49")
ENV = {key: value for key, value in os.environ.items() if key != "DISPLAY"}   # no display at all


def path(name):
    return os.path.join(FOLDER, name)


def cli(*args, simulate="--simulate", timeout=60):
    words = [CLI] + ([simulate, "--keyboard-state", STATE] if simulate else []) + list(args)
    result = subprocess.run(words, env=ENV, capture_output=True, text=True, timeout=timeout, stdin=subprocess.DEVNULL)
    # JUCE's debug builds announce themselves on standard error; the tool's own lines follow.
    err = "".join(line for line in result.stderr.splitlines(True) if not line.startswith("JUCE v"))
    return result.returncode, result.stdout, err


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def expect(status, outcome, what):
    code, out, err = outcome
    check(code == status, f"{what}: exit status {code}, expected {status}\nstdout: {out}\nstderr: {err}")
    return out, err


def usage():
    out, _ = expect(0, cli("--help", simulate=None), "--help")
    for command in ("ports", "backup", "restore", "verify", "diff", "chart", "clashes", "monitor", "flash"):
        check(f"  {command} " in out, f"--help lists {command}")
    out, _ = expect(0, cli("--version", simulate=None), "--version")
    check(out.startswith("konsolion-cli "), "--version")
    expect(2, cli("frobnicate", simulate=None), "an unknown command")
    expect(2, cli("backup", simulate=None), "a missing argument")
    expect(2, cli("--bogus", "ports", simulate=None), "an unknown option")
    out, _ = expect(0, cli("--bash-completion", simulate=None), "the completion")
    check("complete -F _konsolion_cli konsolion-cli" in out and "flash) _filedir '@(bin)'" in out, "the completion script")


def ports():
    out, _ = expect(0, cli("ports"), "ports")
    check("  Vantor 49 MIDI 1   <- the keyboard, firmware 1.05" in out, f"ports names the keyboard:\n{out}")
    check("  Synth Module\n" in out, "ports lists the other outputs")


def keyboard_option(item):
    with open(STATE, encoding="utf-8") as f:
        text = f.read()
    start = text.index(f'<Item ID="{item}" ')
    return text[start:text.index("/>", start)].split('Option="')[1].split('"')[0]


def set_keyboard_option(item, value):
    with open(STATE, encoding="utf-8") as f:
        text = f.read()
    old = f'Option="{keyboard_option(item)}"'
    start = text.index(f'<Item ID="{item}" ')
    end = text.index("/>", start)
    with open(STATE, "w", encoding="utf-8") as f:
        f.write(text[:start] + text[start:end].replace(old, f'Option="{value}"') + text[end:])


def backup_restore_verify_diff_chart():
    original, edited, again = path("original.vr49"), path("edited.vr49"), path("again.vr49")
    expect(0, cli("ports"), "the keyboard's state made")
    set_keyboard_option(1, 5)   # a value the keyboard never tells
    expect(0, cli("backup", original), "backup")
    out, _ = expect(0, cli("diff", original, original, simulate=None), "diff of a file with itself")
    check(out == "", "no differences between a file and itself")

    with open(original, encoding="utf-8") as f:
        text = f.read()
    with open(edited, "w", encoding="utf-8") as f:
        f.write(text.replace('<Item ID="1" Mode="1" Chan="65" Num="74"', '<Item ID="1" Mode="1" Chan="65" Num="71"'))

    line = "Bnk1:P1 - Cutoff: CC number 74 - Brightness in original.vr49, 71 - Timbre/Harmonic Intens. in edited.vr49"
    out, _ = expect(1, cli("diff", original, edited, simulate=None), "diff of two files")
    check(out == line + "\n", f"the difference, one a line, each side named: {out!r}")
    out, _ = expect(1, cli("--json", "diff", original, edited, simulate=None), "diff --json")
    listed = json.loads(out)
    check(listed["count"] == 1 and listed["differences"][0] == {
              "group": "item", "id": 1, "control": "Bnk1:P1 - Cutoff", "field": "CC number", "expected": 74,
              "actual": 71, "expectedText": "74 - Brightness", "actualText": "71 - Timbre/Harmonic Intens.",
              "text": line}, f"the JSON difference: {listed}")

    out, err = expect(0, cli("restore", edited), "restore")
    check(out == "restored: the keyboard holds what was sent (84 controls, 6 globals)\n", f"restore says so: {out}")
    check("sending: 50%" in err, f"progress lines when standard error is no terminal: {err}")
    check(keyboard_option(1) == "5", "a restore leaves what the keyboard never told as it holds it")
    out, _ = expect(0, cli("verify", edited), "verify of what was restored")
    check(out == "the keyboard holds what edited.vr49 holds (84 controls, 6 globals)\n", f"one line: {out!r}")
    out, _ = expect(1, cli("verify", original), "verify of the file before the edit")
    check(out == "Bnk1:P1 - Cutoff: CC number 74 - Brightness in the file, 71 - Timbre/Harmonic Intens. on the keyboard\n",
          f"verify names the difference and the sides: {out!r}")

    expect(0, cli("backup", again), "a second backup")
    out, _ = expect(0, cli("diff", edited, again, simulate=None), "backup -> restore -> backup")
    check(out == "", f"the keyboard holds the restored model: {out}")

    chart = path("chart.html")
    expect(0, cli("chart", edited, chart, simulate=None), "chart")
    with open(chart, encoding="utf-8") as f:
        page = f.read()
    check(page.startswith('<?xml version="1.0" encoding="UTF-8"?>') and "<td>C2 - Cutoff</td>" in page
          and "<td>71</td>" in page, "the chart of the file")


def bad_inputs():
    before = os.path.getmtime(STATE)
    out, err = expect(4, cli("restore", path("missing.vr49")), "restore of a missing file")
    check("does not exist" in err, err)
    damaged = path("damaged.vr49")
    with open(damaged, "w") as f:
        f.write("<Settings><Items><Item ID=")
    _, err = expect(4, cli("restore", damaged), "restore of a damaged file")
    check("it is not an XML document" in err and err.count("\n") == 1, f"one line naming the file and why: {err!r}")
    huge = path("huge.vr49")
    with open(huge, "wb") as f:
        f.truncate(16 * 1024 * 1024 + 1)
    _, err = expect(4, cli("verify", huge), "verify against an oversized file")
    check("larger than 16 MiB" in err, err)
    check(os.path.getmtime(STATE) == before, "nothing was sent for the refused files")

    started = time.monotonic()
    _, err = expect(3, cli("backup", path("none.vr49"), simulate="--simulate=absent"), "no keyboard")
    check("no keyboard answered" in err and time.monotonic() - started < 15, f"it ends within the search's time: {err}")
    _, err = expect(3, cli("restore", path("edited.vr49"), simulate="--simulate=vanish-mid-send"), "the keyboard vanishing")
    check("the keyboard went away during the send" in err, err)

    # Another program holds the keyboard's input: the user is told that, not "no keyboard" alone.
    _, err = expect(3, cli("backup", path("busy.vr49"), simulate="--simulate=busy"), "a busy input")
    check('the input "Vantor 49 MIDI 1" could not be opened: another program may hold it' in err, err)
    out, _ = expect(0, cli("ports", simulate="--simulate=busy"), "ports with a busy input")
    check("  Vantor 49 MIDI 1   (could not be opened: another program may hold it)" in out, out)

    # A file that cannot be written is found out before the keyboard is read.
    _, err = expect(4, cli("backup", path("no-such-folder/b.vr49")), "backup into a missing folder")
    check("does not exist" in err and "reading" not in err, err)

    # The ports named on the command line: whole, or a unique part of the name.
    expect(0, cli("--input", "vantor", "--output", "VANTOR 49", "backup", path("named.vr49")), "ports by part of a name")
    _, err = expect(2, cli("--input", "o", "--output", "Vantor 49 MIDI 1", "backup", path("y.vr49")),
                    "an ambiguous port name")
    check("Midi Through Port-0" in err and "Pad Controller" in err, err)
    _, err = expect(3, cli("--input", "Midi Through Port-0", "--output", "Midi Through Port-0", "backup", path("x.vr49")),
                    "ports that are no keyboard")
    check("did not answer as a Vantor keyboard" in err, err)

    empty = path("Vantor49_empty.bin")
    open(empty, "wb").close()
    _, err = expect(4, cli("flash", "--yes", empty), "an empty image")
    check("the image is empty" in err, err)


def flash():
    image = path("Vantor49_v2.bin")
    with open(image, "wb") as f:
        f.write(bytes((i * 11) & 0xFF for i in range(2000)))
    out, err = expect(0, cli("flash", "--yes", image), "flash")
    check("flashed Vantor49_v2.bin" in out and "flashing: 100%" in err, f"{out}\n{err}")
    check("wait for ack" not in err, f"the transfer's trace lines only with --verbose: {err}")
    _, err = expect(0, cli("--verbose", "flash", "--yes", image), "flash --verbose")
    check("received note: 81 veloc: 84" in err, err)
    _, err = expect(3, cli("flash", "--yes", image, simulate="--simulate=absent"), "flash without a keyboard")
    check("no keyboard answered" in err and "no keyboard is in update mode" in err, err)

    # Kept first, flashed, waited for, and sent back: the update resets the keyboard to the
    # factory's configuration, and the user's comes back.
    set_keyboard_option(1, 1)
    with open(STATE, encoding="utf-8") as f:
        text = f.read()
    with open(STATE, "w", encoding="utf-8") as f:
        f.write(re.sub(r'<Item ID="1" Mode="1" Chan="65" Num="\d+"', '<Item ID="1" Mode="1" Chan="65" Num="20"', text))
    kept = path("kept.vr49")
    out, _ = expect(0, cli("flash", "--yes", "--backup", kept, image), "flash, the configuration compared afterwards")
    check(f"kept the keyboard's configuration in {kept}" in out and "now differs from its configuration before the "
          "update" in out and "Bnk1:P1 - Cutoff: CC number 20 - Undefined before the update, 74 - Brightness now" in out, out)
    expect(0, cli("restore", kept), "the kept configuration restored")
    out, _ = expect(0, cli("flash", "--yes", "--restore", "--backup", kept, image), "flash --restore")
    check("restored: the keyboard holds what was sent (84 controls, 6 globals)" in out, out)
    expect(0, cli("verify", kept), "the keyboard holds what it held before the update")

    # A keyboard left in update mode is found there, and needs no keyboard in normal mode.
    out, _ = expect(0, cli("ports", simulate="--simulate=update-mode"), "ports with a keyboard in update mode")
    check("  USB A MIDI 1   <- a keyboard in update mode" in out, out)
    out, _ = expect(0, cli("flash", "--yes", image, simulate="--simulate=update-mode"), "flash from update mode")
    check("kept" not in out and "the keyboard is back with the new firmware" in out, out)

    # A keyboard that never comes back: the wait ends, and says where the configuration is.
    started = time.monotonic()
    _, err = expect(3, cli("flash", "--yes", "--wait", "2", image, simulate="--simulate=no-return"), "no return")
    check("did not come back in normal mode within 2 s" in err and "before the update is in" in err
          and time.monotonic() - started < 20, err)
    _, err = expect(5, cli("flash", "--yes", image, simulate="--simulate=refuse-block"), "a refused block")
    check("incomplete firmware" in err, err)
    expect(6, cli("flash", image), "flash unconfirmed (no answer on standard input)")

    # Ctrl+C in the middle: nothing more is sent, and it says what the keyboard holds.
    large = path("Vantor49_large.bin")
    with open(large, "wb") as f:
        f.write(bytes(64 * 1024))
    process = subprocess.Popen([CLI, "--simulate", "flash", "--yes", large], env=ENV, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
    time.sleep(3)
    process.send_signal(signal.SIGINT)
    out, err = process.communicate(timeout=30)
    check(process.returncode == 6 and "cancelled; the keyboard now holds an incomplete firmware" in err,
          f"Ctrl+C: {process.returncode} {err}")


def clashes_and_monitor():
    """clashes lists the controls that send the same message; monitor names each control as
    the keyboard is played, reading the keyboard first, and Ctrl+C ends it with status 0."""
    fresh = path("clash-free.vr49")
    expect(0, cli("backup", fresh), "backup for clashes")
    # The factory's own configuration has some: pads 9 to 16 send the CCs of buttons.
    out, _ = expect(1, cli("clashes", fresh, simulate=None), "the factory configuration's clashes")
    check("CC 46  ch 1: Bank 2, Pad 11" in out and "Cutoff" not in out, f"the factory's clashes: {out}")

    with open(fresh, encoding="utf-8") as f:
        text = f.read()
    # The bank-2 Cutoff made to send the bank-1 Cutoff's CC 74, on the same channel.
    cutoff = re.search(r'<Item ID="1" [^>]*>', text).group(0)
    bank2 = re.search(r'<Item ID="33" [^>]*>', text).group(0)
    number, channel = re.search(r'Num="(\d+)"', cutoff).group(1), re.search(r'Chan="(\d+)"', cutoff).group(1)
    clashing = path("clashing.vr49")
    with open(clashing, "w", encoding="utf-8") as f:
        f.write(text.replace(bank2, re.sub(r'Chan="\d+"', f'Chan="{channel}"', re.sub(r'Num="\d+"', f'Num="{number}"', bank2))))
    out, _ = expect(1, cli("clashes", clashing, simulate=None), "clashes found")
    check("Bnk1:P1 - Cutoff, Bnk2:P1" in out, f"the clash is named: {out}")
    out, _ = expect(1, cli("--json", "clashes", clashing, simulate=None), "clashes as JSON")
    found = json.loads(out)
    cutoff_clash = [c for c in found["clashes"] if c["controls"][0]["item"] == 1]
    check(len(cutoff_clash) == 1 and [c["item"] for c in cutoff_clash[0]["controls"]] == [1, 33], f"JSON: {out}")

    commands = path("keyboard-commands")
    for json_option in ([], ["--json"]):
        process = subprocess.Popen([CLI, "--simulate", "--keyboard-state", STATE, "--commands", commands, *json_option,
                                    "monitor"], env=ENV, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        deadline = time.time() + 20
        while not os.path.exists(commands) and time.time() < deadline:
            time.sleep(0.1)
        time.sleep(1.5)   # the read of the keyboard comes first
        with open(commands, "w") as fifo:
            fifo.write("play 1 64\nplay 112 100\nraw A0 10 20\n")
        time.sleep(1.5)
        process.send_signal(signal.SIGINT)
        out, err = process.communicate(timeout=30)
        check(process.returncode == 0, f"Ctrl+C ends monitor with 0: {process.returncode} {err}")
        lines = out.strip().splitlines()
        check(len(lines) == 3, f"one line a message: {out!r} {err}")
        if json_option:
            objects = [json.loads(line) for line in lines]
            check(objects[0]["controls"][0]["name"] == "Bnk1:P1 - Cutoff" and objects[0]["value"] == 64, f"{objects[0]}")
            check(objects[1]["kind"] == "note" and objects[1]["controls"][0]["item"] == 112, f"{objects[1]}")
            check(objects[2]["known"] is False and objects[2]["raw"] == "A0 10 20", f"{objects[2]}")
        else:
            check(re.fullmatch(r"Bnk1:P1 - Cutoff  CC 74  ch \d+  64", lines[0]) is not None, f"the knob's line: {lines[0]!r}")
            check(lines[1].startswith("Pad 1  note ") and lines[1].endswith("  100"), f"the pad's line: {lines[1]!r}")
            check(lines[2] == "unknown  A0 10 20", f"an unknown message: {lines[2]!r}")
        os.remove(commands)

    # The keyboard unplugged while it is watched: status 3, saying so.
    process = subprocess.Popen([CLI, "--simulate", "--keyboard-state", STATE, "--commands", commands, "monitor"],
                               env=ENV, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    deadline = time.time() + 20
    while not os.path.exists(commands) and time.time() < deadline:
        time.sleep(0.1)
    time.sleep(1.5)
    with open(commands, "w") as fifo:
        fifo.write("unplug\n")
    out, err = process.communicate(timeout=30)
    check(process.returncode == 3 and "the keyboard went away" in err, f"unplugged: {process.returncode} {err}")
    os.remove(commands)


def main():
    usage()
    clashes_and_monitor()
    ports()
    backup_restore_verify_diff_chart()
    bad_inputs()
    flash()
    print("konsolion-cli end-to-end check passed")


if __name__ == "__main__":
    main()
