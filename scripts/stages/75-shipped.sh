# The packaged AArch64 kovrinux, unmodified, on the virtual board: under
# qemu-aarch64 the trap library stands in for /dev/mem and performs each byte
# access of the window on the board. Every run must match kovrinux-sim's.
source "$(dirname "$0")/../lib.sh"
source "$ROOT/scripts/aarch64.sh"

PACKAGES=${KOVRIN_PACKAGE_DIR:-$ROOT/build/packages}
started=$SECONDS

need_packages dpkg python3 qemu-user
build_aarch64 >/dev/null
[ -x "$HOST_BUILD/bin/kovrinux-sim" ] || ensure_host_build

# The package stage made it; alone, or after a rebuild, this stage makes its own.
deb=$PACKAGES/kovrinux_$(project_version "$AARCH64_BUILD")_arm64.deb
if [ ! "$deb" -nt "$AARCH64_BUILD/bin/kovrinux" ]; then
  fresh=$(mktemp -d)
  trap 'rm -rf "$fresh"' EXIT
  (cd "$AARCH64_BUILD" && cpack -B "$fresh" >"$fresh/cpack.log" 2>&1) || {
    cat "$fresh/cpack.log" >&2
    exit 1
  }
  deb=$fresh/$(basename "$deb")
fi

say "the packaged kovrinux against kovrinux-sim, under qemu-aarch64"
/usr/bin/python3 "$ROOT/tests/shipped/compare.py" "$deb" "$AARCH64_BUILD/lib/libkovrin-trap.so" \
  "$HOST_BUILD/bin/kovrinux-sim" "$AARCH64_BUILD/shipped-runs"
say "packaged kovrinux compared in $((SECONDS - started)) s"
