# Shared by the checks that run inside the virtual machine (scripts/realstack/run).
# Sourced; expects KONSOLION_BUILD, KONSOLION_REALSTACK_OUT, KONSOLION_GADGET and
# KONSOLION_GADGET_RAWMIDI from the machine's init.

release=$KONSOLION_BUILD
cli=$release/konsolion-cli_artefacts/Release/konsolion-cli
keyboard_program=$release/konsolion-keyboard_artefacts/Release/konsolion-keyboard
out=${KONSOLION_REALSTACK_OUT:?run this inside scripts/realstack/run}
frames=$out/keyboard-frames.log
commands=/tmp/keyboard-commands
work=$(mktemp -d)
failures=0
keyboard_pid=

for program in "$cli" "$keyboard_program"; do
    [ -x "$program" ] || { echo "no $program: build the tree first"; exit 125; }
done

pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
expect() { # expect DESCRIPTION COMMAND...: passes when the command succeeds
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# Waits (up to $2 tenths of a second) for a command to succeed.
wait_for() {
    local tries=$1; shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}

host_has_port() { aconnect -l 2>/dev/null | grep -q "'$1 *'"; }   # aconnect pads names to 16 characters
host_lacks_port() { ! host_has_port "$1"; }
log_says() { grep -q "^# $1\$" "$frames"; }

# Starts the keyboard on the far side of the cable, with any extra options, and waits
# until the host has its port.
start_keyboard() {
    "$keyboard_program" --gadget "$KONSOLION_GADGET" --device "$KONSOLION_GADGET_RAWMIDI" \
        --log "$frames" --commands "$commands" --state-file "$work/keyboard-state.vr49" \
        --firmware-out "$work/keyboard-firmware.bin" "$@" \
        2> "$out/keyboard-program.log" &
    keyboard_pid=$!
    wait_for 50 log_says "plugged in as Vantor 49" || { echo "the keyboard program did not start"; return 1; }
    wait_for 50 host_has_port "Vantor 49 MIDI 1" || { echo "the host has no 'Vantor 49 MIDI 1'"; return 1; }
}

stop_keyboard() {
    [ -n "$keyboard_pid" ] || return 0
    kill -TERM "$keyboard_pid" 2>/dev/null
    wait "$keyboard_pid" 2>/dev/null
    keyboard_pid=
}
trap stop_keyboard EXIT

tell_keyboard() { echo "$*" > "$commands"; }

# The frames the keyboard received from line $1 of its log on (comments left out).
frames_from() { tail -n +"$1" "$frames" | grep -v '^#' || true; }
log_length() { wc -l < "$frames"; }

# run_timed NAME COMMAND...: runs it, keeps its output in $work/NAME.out (and
# .err), its status in $status and its wall time in $out/timings.txt.
run_timed() {
    local name=$1; shift
    local started ended
    started=$(date +%s.%N)
    status=0
    "$@" > "$work/$name.out" 2> "$work/$name.err" || status=$?
    ended=$(date +%s.%N)
    printf '%-28s %6.2f s  (status %s)\n' "$name" "$(echo "$ended - $started" | bc)" "$status" >> "$out/timings.txt"
    return 0
}

show() { sed 's/^/     | /' "$work/$1"; }

finish() {
    echo "--- timings in the guest (emulated: compare ratios, not seconds)"
    cat "$out/timings.txt"
    if [ "$failures" -gt 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
}
