#!/usr/bin/env bash
# Checks programs for the architecture they are built for and, with
# --libc-only, that the C library is the only shared library they need
# (the dynamic loader comes in as their interpreter, not as a NEEDED entry).
#   check_elf.sh [--libc-only] aarch64|x86_64 PROGRAM...
set -euo pipefail

libc_only=0
if [ "${1:-}" = "--libc-only" ]; then
  libc_only=1
  shift
fi
arch=$1
shift
case $arch in
  aarch64) machine="AArch64"; loader="/lib/ld-linux-aarch64.so.1" ;;
  x86_64) machine="Advanced Micro Devices X86-64"; loader="/lib64/ld-linux-x86-64.so.2" ;;
  *) echo "check_elf.sh: unknown architecture $arch" >&2; exit 2 ;;
esac

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for program in "$@"; do
  name=$(basename "$program")
  if [ ! -f "$program" ]; then
    fail "$name: missing ($program)"
    continue
  fi
  got=$(readelf -h "$program" | sed -n 's/^ *Machine: *//p')
  [ "$got" = "$machine" ] || fail "$name: machine is '$got', not '$machine'"
  interp=$(readelf -l "$program" | sed -n 's/.*Requesting program interpreter: \(.*\)]/\1/p')
  [ "$interp" = "$loader" ] || fail "$name: interpreter is '$interp', not $loader"
  if [ "$libc_only" -eq 1 ]; then
    needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | paste -sd' ')
    [ "$needed" = "libc.so.6" ] || fail "$name: needs '$needed', not the C library alone"
  fi
done

if [ "$failures" -ne 0 ]; then
  exit 1
fi
what=$arch
[ "$libc_only" -eq 0 ] || what="$what, C library only"
echo "ELF checks hold for $# programs ($what)"
