"""No include runs from a lower layer to a higher one, and the check would say so if one did;
the product holds nothing of the simulator, the command line nothing of JUCE's GUI modules.
    python3 tests/e2e/test_layers.py <scripts/check-layers> <source tree> <Konsolion> <konsolion-cli>"""

import os
import subprocess
import sys
import tempfile


def run(checker, root):
    return subprocess.run([sys.executable, checker, "--root", root], capture_output=True, text=True, timeout=60)


def symbols(binary):
    return subprocess.run(["nm", "-C", binary], capture_output=True, text=True, check=True, timeout=120).stdout


def check_binaries(product, cli):
    simulator = [line for line in symbols(product).splitlines()
                 if any(name in line for name in ("SimulatedKeyboard", "SimulatedBootloader", "VirtualMidiPortSystem",
                                                 "VirtualStudio", "MidiThroughDevice"))]
    assert not simulator, f"the product holds simulator symbols: {simulator[:5]}"
    gui = [line for line in symbols(cli).splitlines()
           if any(name in line for name in ("juce::Component::", "juce::Graphics::", "juce::LookAndFeel"))]
    assert not gui, f"konsolion-cli holds GUI symbols: {gui[:5]}"


def main(checker, tree, product, cli):
    check_binaries(product, cli)
    result = run(checker, tree)
    assert result.returncode == 0, f"the tree's layers: {result.stdout}{result.stderr}"

    with tempfile.TemporaryDirectory() as root:
        cases = {
            "device/Manager.cpp": ('#include "editor/Panel.h"', "device includes editor/Panel.h of the editor layer"),
            "simulator/Keyboard.cpp": ('#include "app/Window.h"', "simulator includes app/Window.h of the app layer"),
            "cli/Main.cpp": ('#include "keyboard_view/Picture.h"', "cli includes keyboard_view/Picture.h"),
            "editor/Panel.cpp": ('#include "simulator/app/Monitor.h"', "editor includes simulator/app/Monitor.h"),
            "documents/File.cpp": ('#include "tests/support/Help.h"', "documents includes tests/support/Help.h"),
        }
        for path, (include, _) in cases.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write(f'#include "device/Fine.h"\n{include}\n')
        result = run(checker, root)
        assert result.returncode == 1, f"violations not found: {result.stdout}"
        for path, (_, words) in cases.items():
            assert words in result.stdout, f"{path}: {result.stdout}"
        assert "Fine.h" not in result.stdout, result.stdout
    print("the layers hold, and a lower layer including a higher one is caught")


if __name__ == "__main__":
    main(*sys.argv[1:5])
