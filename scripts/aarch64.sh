# The AArch64 build of the board's programs, shared by the stages that test
# and package it. Sourced after lib.sh.
# shellcheck shell=bash

# Build directories; the variables let a developer point the stages at
# builds of their own.
HOST_BUILD=${KOVRIN_HOST_BUILD:-$ROOT/build}
AARCH64_BUILD=${KOVRIN_AARCH64_BUILD:-$ROOT/build/aarch64}
# The AArch64 C library that qemu-aarch64 loads the programs with (-L).
export AARCH64_SYSROOT=/usr/aarch64-linux-gnu

# kovrinux, kovrinux-sim and kovrin-sim for AArch64 (no tests: those run on
# the host against these programs).
build_aarch64() {
  need_packages build-essential cmake gcc-aarch64-linux-gnu g++-aarch64-linux-gnu
  cmake -S "$ROOT" --preset aarch64 -B "$AARCH64_BUILD" >/dev/null
  cmake --build "$AARCH64_BUILD" -j "$JOBS"
}

# The host build's programs and test_runs, built if missing.
ensure_host_build() {
  if [ -x "$HOST_BUILD/bin/test_runs" ] && [ -x "$HOST_BUILD/bin/kovrinux-sim" ]; then
    return 0
  fi
  if [ "$HOST_BUILD" = "$ROOT/build" ]; then
    build_host
  else
    cmake --build "$HOST_BUILD" -j "$JOBS"
  fi
}

# Project version, as the build configured it.
project_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}
