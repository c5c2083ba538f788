# kovrin.efi and kovrin-sim.efi: built on EDK II from Debian's source package,
# then run in a real UEFI shell under QEMU. There the LPC window is unclaimed
# memory (reads 0xFF, writes vanish), so kovrin.efi's mailbox waits end in
# their timeouts; kovrin-sim.efi brings the virtual board and must match the
# host's kovrin-sim. Then kovrin-trap.efi puts the board behind the window,
# and kovrin.efi itself must match kovrin-sim.
source "$(dirname "$0")/../lib.sh"

need_packages build-essential python3 dpkg-dev xz-utils uuid-dev \
  gcc-aarch64-linux-gnu g++-aarch64-linux-gnu \
  mtools dosfstools qemu-system-arm qemu-efi-aarch64

out=${KOVRIN_UEFI_OUT:-$ROOT/build/uefi}
host_build=${KOVRIN_HOST_BUILD:-$ROOT/build}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/kovrin/edk2

edk2=$("$ROOT/scripts/uefi/edk2.sh" "$cache")
"$ROOT/scripts/uefi/build-efi.sh" "$edk2" "$out"
[ -x "$host_build/bin/kovrin-sim" ] || build_host >/dev/null

say "kovrin.efi and kovrin-sim.efi in QEMU's UEFI shell, kovrin.efi on the trapped window"
cases=$out/cases
rm -rf "$cases"
mkdir -p "$cases"
/usr/bin/python3 "$ROOT/tests/uefi/cases.py" prepare "$cases"
cp "$out/kovrin.efi" "$out/kovrin-sim.efi" "$out/kovrin-trap.efi" "$cases/"
"$ROOT/scripts/uefi/run-qemu.sh" "$cases" "$out/disk.img" "$out/qemu.log"
/usr/bin/python3 "$ROOT/tests/uefi/cases.py" check "$out/qemu.log" "$out/disk.img" "$host_build/bin/kovrin-sim"
