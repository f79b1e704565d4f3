#!/bin/bash
# The editor's panel over the real MIDI stack, inside scripts/realstack/run:
#   scripts/realstack/run tests/realstack/check-editor.sh
# found and read over JUCE's ALSA backend, an edit sent with "Send to Keyboard" and checked,
# then sent live and checked, "Compare..." finding nothing; the cable pulled and plugged in
# again (the keyboard found and read again, its input delivering); the panel following the keyboard program as it plays a bank-2
# knob, a pad and the pitch wheel; nothing moves with Follow Keyboard off.
set -uo pipefail
. "$(dirname "$0")/lib.sh"

tests=$release/konsolion_realstack_tests
[ -x "$tests" ] || { echo "no $tests: build the tree first"; exit 125; }

start_keyboard || exit 1

echo "--- the editor sends and checks, and follows the keyboard as it is played"
started=$(date +%s.%N)
status=0
KONSOLION_KEYBOARD_COMMANDS="$commands" "$(dirname "$0")/../../scripts/with-display" \
    "$tests" > "$work/editor.out" 2>&1 || status=$?
printf '%-28s %6.2f s  (status %s)\n' "editor: send, follow" "$(echo "$(date +%s.%N) - $started" | bc)" "$status" >> "$out/timings.txt"
grep -E "^\[ +(OK|FAILED|SKIPPED) +\]|Failure|Expected|Which is|Value of" "$work/editor.out" | sed 's/^/     | /'
expect "the editor found, read, sent to and checked the keyboard over ALSA, and picked each control played" [ "$status" = 0 ]
expect "every test ran" [ "$(grep -c "^\[       OK \] RealStackEditor" "$work/editor.out")" = 3 ]
cp "$work/editor.out" "$out/editor.log"

stop_keyboard
finish
