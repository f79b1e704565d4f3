#!/bin/sh
# /init of the virtual machine (busybox ash, process 1):
#  1. mounts this machine's root over 9p (read-only) under a tmpfs overlay, and the
#     run directory (writable) at /run/realstack;
#  2. loads the ALSA MIDI modules: the sequencer with "Midi Through", one virmidi
#     port, the sequencer's raw MIDI ports, and plugs the keyboard, a USB MIDI
#     gadget on the dummy USB controller, into the machine's own USB bus
#     (optionally a second USB MIDI device that is not the keyboard);
#  3. runs the run directory's command in the new root, its output and exit
#     status into the run directory, and powers off.
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
echo /bin/true > /proc/sys/kernel/modprobe   # no module helper in here: everything is loaded below

uptime_now() { read up _ < /proc/uptime; echo "$up"; }
TIMES=""
mark() { TIMES="$TIMES$1=$(uptime_now) "; }
say() { echo "[realstack $(uptime_now)] $*"; }
give_up() {
    say "FATAL: $*"
    [ -d /out/. ] && { echo "$*" > /out/fatal; echo "$TIMES" > /out/times; sync; }
    poweroff -f; sleep 5
}
mark init

# insmod each module of a list, with the arguments in ARGS_<name> if set.
load_modules() {
    while read -r file; do
        [ -n "$file" ] || continue
        name=$(basename "$file" .ko | tr - _)
        eval "args=\${ARGS_$name:-}"
        insmod "/lib/modules/$file" $args 2>/tmp/insmod.err \
            || grep -q 'File exists' /tmp/insmod.err || say "insmod $file $args: $(cat /tmp/insmod.err)"
    done < "$1"
}

load_modules /modules.boot
mkdir -p /out
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 realstack /out || give_up "no run directory"
. /out/env.sh
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144,cache=loose hostroot /lower || give_up "no host root"
mount -t tmpfs -o mode=755 tmpfs /upper
mkdir -p /upper/u /upper/w
mount -t overlay overlay -o lowerdir=/lower,upperdir=/upper/u,workdir=/upper/w /newroot || give_up "no overlay"
mount -t proc proc /newroot/proc
mount -t sysfs sysfs /newroot/sys
mount -t devtmpfs devtmpfs /newroot/dev
mkdir -p /newroot/dev/pts /newroot/dev/shm
mount -t devpts -o newinstance,ptmxmode=0666 devpts /newroot/dev/pts
mount -t tmpfs -o mode=1777 tmpfs /newroot/dev/shm
ln -s /proc/self/fd /newroot/dev/fd   # devtmpfs lacks them; bash's <(...) needs them
ln -s /proc/self/fd/0 /newroot/dev/stdin
ln -s /proc/self/fd/1 /newroot/dev/stdout
ln -s /proc/self/fd/2 /newroot/dev/stderr
mount -t tmpfs -o mode=1777 tmpfs /newroot/tmp
# A checkout or build tree under the host's /tmp (a CI clone may be there) stays visible
# through the guest's own /tmp, read-only as the rest of the host.
for dir in "$REALSTACK_SOURCE" "$REALSTACK_BUILD" "$REALSTACK_CWD"; do
    case "$dir" in
        /tmp/?*) [ -d "/newroot$dir" ] || { mkdir -p "/newroot$dir" && mount --bind "/lower$dir" "/newroot$dir"; } ;;
    esac
done
mount -t tmpfs -o mode=755 tmpfs /newroot/run
mkdir -p /newroot/run/realstack /newroot/run/user/0
mount --bind /out /newroot/run/realstack
mark root_mounted

ARGS_snd_seq_dummy="ports=1"
ARGS_snd_virmidi="midi_devs=1"
[ "$REALSTACK_SECOND_DEVICE" = 1 ] && ARGS_dummy_hcd="num=2"
load_modules /modules.midi
mark modules_loaded

mount -t configfs configfs /sys/kernel/config || give_up "no configfs"

# A USB MIDI gadget: make_gadget NAME PRODUCT MANUFACTURER PRODUCT_ID CARD_ID SERIAL UDC
make_gadget() {
    g=/sys/kernel/config/usb_gadget/$1
    mkdir -p $g/strings/0x409 $g/configs/c.1/strings/0x409 $g/functions/midi.usb0
    echo 0x1d6b > $g/idVendor
    echo "$4" > $g/idProduct
    echo 0x0100 > $g/bcdDevice
    echo 0x0200 > $g/bcdUSB
    echo "$3" > $g/strings/0x409/manufacturer
    echo "$2" > $g/strings/0x409/product
    echo "$6" > $g/strings/0x409/serialnumber
    echo "MIDI" > $g/configs/c.1/strings/0x409/configuration
    echo 100 > $g/configs/c.1/MaxPower
    echo "$5" > $g/functions/midi.usb0/id
    echo 1 > $g/functions/midi.usb0/in_ports
    echo 1 > $g/functions/midi.usb0/out_ports
    ln -s $g/functions/midi.usb0 $g/configs/c.1/
    echo "$7" > $g/UDC || say "gadget $1 did not bind to $7"
}

usb_cards() { grep -c 'USB-Audio' /proc/asound/cards; }
wanted=1
make_gadget vantor49 "Vantor 49" Ombrix 0x0104 Gadget KONSOLION0001 dummy_udc.0
if [ "$REALSTACK_SECOND_DEVICE" = 1 ]; then
    make_gadget other "$REALSTACK_SECOND_PRODUCT" "Kestrel Audio" 0x0105 Gadget2 KESTREL0001 dummy_udc.1
    wanted=2
fi
i=0
while [ "$(usb_cards)" -lt $wanted ]; do
    i=$((i + 1)); [ $i -gt 200 ] && { say "the USB MIDI devices did not show after 20 s"; break; }
    sleep 0.1
done
# On a desktop the keyboard's side of the cable is no port of the computer: take each
# gadget's own raw MIDI card off the sequencer (the keyboard program does it again
# at every plug-in).
for id in Gadget Gadget2; do
    card=$(sed -n "s/^ *\([0-9]*\) \[$id *\].*/\1/p" /proc/asound/cards)
    [ -n "$card" ] && [ -e /sys/bus/snd_seq/drivers/snd_seq_midi/seq-midi-$card-0 ] \
        && echo "seq-midi-$card-0" > /sys/bus/snd_seq/drivers/snd_seq_midi/unbind
done
mark usb_ready

mount -t configfs configfs /newroot/sys/kernel/config
mark command_start
chroot /newroot /usr/bin/env -i HOME=/root USER=root LOGNAME=root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    XDG_RUNTIME_DIR=/run/user/0 KONSOLION_REALSTACK_GUEST=1 \
    KONSOLION_BUILD="$REALSTACK_BUILD" KONSOLION_SOURCE="$REALSTACK_SOURCE" \
    KONSOLION_REALSTACK_OUT=/run/realstack/artifacts \
    KONSOLION_GADGET=/sys/kernel/config/usb_gadget/vantor49 KONSOLION_GADGET_RAWMIDI=hw:Gadget,0 \
    KONSOLION_SECOND_GADGET="$([ "$REALSTACK_SECOND_DEVICE" = 1 ] && echo /sys/kernel/config/usb_gadget/other)" \
    /bin/bash -c 'cd "$0" 2>/dev/null || cd /; . /run/realstack/command' "$REALSTACK_CWD" \
    > /out/output 2>&1 < /dev/null
echo $? > /out/status
mark command_end
echo "$TIMES" > /out/times
cat /proc/asound/cards > /out/cards 2>/dev/null
dmesg > /out/dmesg
sync
umount /newroot/run/realstack 2>/dev/null
umount /out 2>/dev/null
poweroff -f
