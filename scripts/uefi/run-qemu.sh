#!/usr/bin/env bash
# Boots QEMU's virt machine into Debian's AAVMF UEFI shell with a FAT disk
# <disk> made of every file of <folder> (its startup.nsh runs the cases and
# ends with "reset -s"), and writes the serial console to <log>. The disk is
# kept for what the cases wrote (mtools reads it).
#   run-qemu.sh <folder> <disk> <log> [seconds]
set -euo pipefail

folder=$(cd "$1" && pwd)
disk=$2
log=$3
limit=${4:-180}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -f "$disk"
mkfs.fat -C -n KOVRIN "$disk" 8192 >/dev/null
# Names beyond ASCII go in as long names, whatever the caller's locale.
LC_ALL=C.UTF-8 mcopy -s -i "$disk" "$folder"/* ::
# The variable store is written by the firmware: a fresh one every run.
cp /usr/share/AAVMF/AAVMF_VARS.fd "$work/vars.fd"
: >"$log"

mkfifo "$work/keys"
# EL2 for the firmware: QEMU reports the syndrome of a faulting load or
# store (ISV, size, register) only for data aborts taken to EL2, and
# kovrin-trap.efi emulates the port window from it.
timeout "$limit" qemu-system-aarch64 \
  -M virt,virtualization=on -cpu cortex-a57 -m 256 -smp 1 -nographic -nic none \
  -drive if=pflash,format=raw,readonly=on,file=/usr/share/AAVMF/AAVMF_CODE.fd \
  -drive if=pflash,format=raw,file="$work/vars.fd" \
  -drive file="$disk",format=raw,if=virtio \
  <"$work/keys" >"$log" 2>&1 &
qemu=$!
exec 3>"$work/keys"

# The shell counts down 5 s before startup.nsh; any key but ESC skips that.
# The key goes in only once the countdown shows, so nothing earlier eats it.
while kill -0 "$qemu" 2>/dev/null && ! grep -q 'seconds to skip' "$log"; do
  sleep 0.2
done
# Should QEMU be gone already, the key has no reader: not a reason to stop.
trap '' PIPE
printf ' ' >&3 2>/dev/null || true

status=0
wait "$qemu" || status=$?
exec 3>&-
if [ "$status" -ne 0 ]; then
  echo "QEMU ended with status $status (124: the ${limit} s limit); log: $log" >&2
  exit 1
fi
