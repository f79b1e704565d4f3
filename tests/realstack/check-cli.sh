#!/bin/bash
# konsolion-cli over the real MIDI stack (JUCE's ALSA backend, the sequencer,
# snd-usb-audio, a USB cable to the keyboard program), inside scripts/realstack/run:
#   scripts/realstack/run tests/realstack/check-cli.sh
# ports, backup, verify, restore, diff, monitor and flash (through the bootloader's own
# USB device, as the keyboard re-enumerates), with the keyboard's log of every frame it
# received held against what was sent; a read while the keyboard is played; the cable
# pulled during a restore, a read and a firmware transfer.
set -uo pipefail
. "$(dirname "$0")/lib.sh"

identity_request="F0 7E 7F 06 01 F7"
# set frames: F0 00 6D 3A 7F 42 02 00 param item value F7; requests have 01 as their command
cutoff_number_21="F0 00 6D 3A 7F 42 02 00 03 01 15 F7"
item2_maximum_100="F0 00 6D 3A 7F 42 02 00 05 02 64 F7"
# The configuration read: requests (command 01) and, at its end, the reset of the item
# values (set frames of parameter 0), which "Send to Keyboard" never sends.
is_request() { awk '$7 == "01"'; }
not_of_the_read() { grep -v -x "$identity_request" | awk '$7 != "01" && ! ($7 == "02" && $9 == "00")' || true; }

start_keyboard || exit 1

echo "--- ports"
run_timed "ports" "$cli" ports
show ports.out
expect "ports exits 0" [ "$status" = 0 ]
expect "the keyboard's input is found" grep -q "^  Vantor 49 MIDI 1   <- the keyboard, firmware" <(sed -n '/^Inputs:/,/^Outputs:/p' "$work/ports.out")
expect "the keyboard's output is found" grep -q "^  Vantor 49 MIDI 1   <- the keyboard, firmware" <(sed -n '/^Outputs:/,$p' "$work/ports.out")
expect "Midi Through is listed, not as the keyboard" grep -q -x "  Midi Through Port-0" "$work/ports.out"
expect "the keyboard's own side of the cable is no port here" bash -c "! grep -q f_midi '$work/ports.out'"

echo "--- backup"
before=$(($(log_length) + 1))
run_timed "backup" "$cli" backup "$work/first.vr49"
show backup.out
expect "backup exits 0" [ "$status" = 0 ]
expect "backup wrote a settings file" grep -q "<Settings>" "$work/first.vr49"
frames_from "$before" > "$work/backup.frames"
expect "the keyboard was asked who it is" grep -q -x "$identity_request" "$work/backup.frames"
expect "the backup asked for the configuration" [ "$(is_request < "$work/backup.frames" | wc -l)" -ge 10 ]
expect "a backup sends nothing but the read" [ -z "$(not_of_the_read < "$work/backup.frames")" ]

sed -e 's/<Item ID="1" \(.*\) Num="[0-9]*"/<Item ID="1" \1 Num="21"/' \
    -e 's/<Item ID="2" \(.*\) MaxMSB="[0-9]*"/<Item ID="2" \1 MaxMSB="100"/' "$work/first.vr49" > "$work/changed.vr49"

echo "--- verify before the restore"
run_timed "verify (differs)" "$cli" verify "$work/changed.vr49"
show "verify (differs).out"
expect "verify of a file the keyboard does not hold exits 1" [ "$status" = 1 ]
expect "verify lists the two changed values" [ "$(wc -l < "$work/verify (differs).out")" = 2 ]

echo "--- restore"
"$keyboard_program" --print-send-plan "$work/changed.vr49" > "$work/planned.frames"
before=$(($(log_length) + 1))
run_timed "restore" "$cli" restore "$work/changed.vr49"
show restore.out; show restore.err | tail -n 3
expect "restore exits 0" [ "$status" = 0 ]
expect "restore says the keyboard holds what was sent" grep -q "^restored: the keyboard holds what was sent" "$work/restore.out"
frames_from "$before" | not_of_the_read > "$work/restore.frames"
expect "the keyboard received exactly the frames planned ($(wc -l < "$work/planned.frames")), in order" \
    cmp -s "$work/planned.frames" "$work/restore.frames"
cmp -s "$work/planned.frames" "$work/restore.frames" || diff "$work/planned.frames" "$work/restore.frames" | head -n 10
expect "the new Cutoff number crossed the cable" grep -q -x "$cutoff_number_21" "$work/restore.frames"
expect "the new maximum of item 2 crossed the cable" grep -q -x "$item2_maximum_100" "$work/restore.frames"
expect "the keyboard lost no frame" bash -c "! grep -q 'lost' '$frames'"

echo "--- verify after the restore"
run_timed "verify (holds)" "$cli" verify "$work/changed.vr49"
show "verify (holds).out"
expect "verify of what the keyboard holds exits 0" [ "$status" = 0 ]

echo "--- diff"
run_timed "backup (again)" "$cli" backup "$work/second.vr49"
expect "the second backup exits 0" [ "$status" = 0 ]
run_timed "diff (changed)" "$cli" diff "$work/first.vr49" "$work/second.vr49"
show "diff (changed).out"
expect "diff of the backups before and after exits 1" [ "$status" = 1 ]
expect "diff names the Cutoff's new number" grep -q "Cutoff: CC number .* in first.vr49, 21 - Undefined in second.vr49" "$work/diff (changed).out"
expect "diff lists just the two changes" [ "$(wc -l < "$work/diff (changed).out")" = 2 ]
run_timed "diff (same)" "$cli" diff "$work/changed.vr49" "$work/second.vr49"
expect "diff of what was sent and what was read back exits 0" [ "$status" = 0 ]

echo "--- the ports given, without the search"
given=(--input "Vantor 49 MIDI 1" --output "Vantor 49 MIDI 1")
run_timed "backup (ports given)" "$cli" "${given[@]}" backup "$work/given.vr49"
expect "backup of the given ports exits 0" [ "$status" = 0 ]
before=$(($(log_length) + 1))
run_timed "restore (ports given)" "$cli" "${given[@]}" restore "$work/changed.vr49"
expect "restore to the given ports exits 0" [ "$status" = 0 ]
frames_from "$before" | not_of_the_read > "$work/given.frames"
expect "the keyboard received exactly the frames planned, again" cmp -s "$work/planned.frames" "$work/given.frames"

echo "--- monitor, as the keyboard is played"
"$cli" monitor > "$work/monitor.out" 2> "$work/monitor.err" &
monitor=$!
expect "monitor reads the keyboard first" wait_for 100 grep -q "Ctrl+C ends" "$work/monitor.err"
tell_keyboard play 1 64
tell_keyboard play 112 100
tell_keyboard raw A0 10 20
expect "monitor prints the three messages" wait_for 50 bash -c "[ \$(wc -l < '$work/monitor.out') -ge 3 ]"
kill -INT "$monitor"; wait "$monitor"; status=$?
show monitor.out
expect "Ctrl+C ends monitor with 0" [ "$status" = 0 ]
expect "the knob is named with what it sent" grep -q -E "^Bnk1:P1 - Cutoff  CC 21  ch [0-9]+  64$" "$work/monitor.out"
expect "the pad is named" grep -q -E "^Pad 1  note 36  ch 10  100$" "$work/monitor.out"
expect "a message no control sends is shown raw" grep -q -x "unknown  A0 10 20" "$work/monitor.out"

echo "--- the keyboard played during a read"
"$cli" backup "$work/played.vr49" > "$work/played.out" 2> "$work/played.err" &
reader=$!
tell_keyboard flood 400 1
wait "$reader"; status=$?
expect "a backup while the keyboard floods its input exits 0" [ "$status" = 0 ]
expect "and reads what the keyboard holds, as before" "$cli" diff "$work/second.vr49" "$work/played.vr49"

echo "--- the cable pulled in the middle of a restore, and of a read"
# frames_at_least SINCE COMMAND COUNT: the keyboard took in COUNT frames of this command byte since line SINCE
frames_at_least() { [ "$(frames_from "$1" | awk -v c="$2" '$7 == c' | wc -l)" -ge "$3" ]; }
before=$(($(log_length) + 1))
"$cli" restore "$work/first.vr49" > "$work/pulled.out" 2> "$work/pulled.err" &
restorer=$!
wait_for 100 frames_at_least "$before" 02 50
tell_keyboard unplug
wait "$restorer"; status=$?
show pulled.err | tail -n 1
expect "a restore whose keyboard went away exits 3" [ "$status" = 3 ]
expect "and says how much of the send went before" grep -q -E "the keyboard went away during the send: [1-9][0-9]* of 427 frames were sent" "$work/pulled.err"
tell_keyboard plug
expect "the keyboard is back" wait_for 50 host_has_port "Vantor 49 MIDI 1"
# A read is over before a command through the pipe could pull the cable: the keyboard
# program pulls it itself after its fifth answer (the identity reply and four of the read's).
stop_keyboard
wait_for 50 host_lacks_port "Vantor 49 MIDI 1"
start_keyboard --fault vanish-after-answers=5 || exit 1
run_timed "backup (pulled)" "$cli" backup "$work/pulled.vr49"
show "backup (pulled).err" | tail -n 1
expect "a backup whose keyboard went away during the read exits 3" [ "$status" = 3 ]
expect "and says so" grep -q "the keyboard went away" "$work/backup (pulled).err"
expect "and writes no file" [ ! -e "$work/pulled.vr49" ]
stop_keyboard
wait_for 50 host_lacks_port "Vantor 49 MIDI 1"

echo "--- the cable pulled in the middle of a firmware transfer"
head -c 8192 /dev/urandom > "$work/Vantor49_pulled.bin"
start_keyboard --fault vanish-at-block=40 || exit 1
tell_keyboard update-mode
expect "its bootloader comes back" wait_for 50 host_has_port "USB A MIDI 1"
run_timed "flash (pulled)" "$cli" --yes flash "$work/Vantor49_pulled.bin"
show "flash (pulled).err" | tail -n 1
expect "a flash whose bootloader went away exits 3, without a hang" [ "$status" = 3 ]
expect "and says the keyboard holds an incomplete firmware" grep -q "incomplete firmware" "$work/flash (pulled).err"
stop_keyboard
wait_for 50 host_lacks_port "USB A MIDI 1"
start_keyboard || exit 1

echo "--- flash, through the bootloader's own USB device"
head -c 16384 /dev/urandom > "$work/Vantor49_v2.bin"
started=$(date +%s.%N)
tell_keyboard update-mode
expect "the keyboard leaves the bus" wait_for 50 host_lacks_port "Vantor 49 MIDI 1"
expect "its bootloader comes back as 'USB A MIDI 1'" wait_for 50 host_has_port "USB A MIDI 1"
printf '%-28s %6.2f s\n' "restart into the bootloader" "$(echo "$(date +%s.%N) - $started" | bc)" >> "$out/timings.txt"
run_timed "flash (16 KiB)" "$cli" --yes flash "$work/Vantor49_v2.bin"
show "flash (16 KiB).out"; show "flash (16 KiB).err" | tail -n 2
expect "flash exits 0" [ "$status" = 0 ]
expect "flash says the keyboard holds the new firmware" grep -q "^flashed Vantor49_v2.bin" "$work/flash (16 KiB).out"
expect "the keyboard comes back as 'Vantor 49 MIDI 1'" wait_for 50 host_has_port "Vantor 49 MIDI 1"
expect "the bootloader's device is gone" host_lacks_port "USB A MIDI 1"
expect "the cable went out and in as the bootloader and back" \
    [ "$(grep '^# plugged in as' "$frames" | tail -n 2 | tr '\n' '|')" = "# plugged in as USB A|# plugged in as Vantor 49|" ]
run_timed "backup (after the flash)" "$cli" backup "$work/third.vr49"
expect "the keyboard is found and read again after the flash" [ "$status" = 0 ]

stop_keyboard
expect "the bootloader put together the very image sent" cmp -s "$work/Vantor49_v2.bin" "$work/keyboard-firmware.bin"
finish
