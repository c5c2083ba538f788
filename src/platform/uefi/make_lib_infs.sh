#!/usr/bin/env bash
# Writes kovrin's C++ library modules into a workspace folder. Their source
# lists come from the folders themselves (so new files are picked up), their
# options from KOVRIN_CORE_FLAGS in src/CMakeLists.txt, as on the host.
#   make_lib_infs.sh <repository> <module folder>
set -euo pipefail

root=$(cd "$1" && pwd)
out=$2
here=$(cd "$(dirname "$0")" && pwd)

flags=$(sed -n 's/^set(KOVRIN_CORE_FLAGS \(.*\))$/\1/p' "$root/src/CMakeLists.txt")
if [ -z "$flags" ]; then
  echo "make_lib_infs.sh: no KOVRIN_CORE_FLAGS in $root/src/CMakeLists.txt" >&2
  exit 1
fi

mkdir -p "$out"
ln -sfn "$root/src" "$out/src"
ln -sfn "$root/sim" "$out/sim"

# The .cpp files of the given folders (relative to the module folder).
cpp_in() {
  (cd "$out" && for dir in "$@"; do
    [ -d "$dir" ] && find "$dir/" -maxdepth 1 -name '*.cpp'
  done | LC_ALL=C sort | sed 's|//|/|; s/^/  /')
}

# library <name> <guid> <class> <sources> [<module type> [<package>]]
library() {
  awk -v name="$1" -v guid="$2" -v class="$3" -v sources="$4" -v module="${5:-UEFI_APPLICATION}" \
      -v package="${6:-KovrinPkg}" -v flags="$flags" -v includes="-I$root/src -I$root" '
    /@SOURCES@/ { print sources; next }
    { gsub(/@NAME@/, name); gsub(/@GUID@/, guid); gsub(/@CLASS@/, class); gsub(/@MODULE@/, module)
      gsub(/@PACKAGE@/, package); gsub(/@CORE_FLAGS@/, flags); gsub(/@INCLUDES@/, includes); print }
  ' "$here/KovrinLib.inf.in" >"$out/$1.inf.new"
  # Rewritten only on change, so the build keeps its up-to-date objects.
  if cmp -s "$out/$1.inf.new" "$out/$1.inf"; then
    rm "$out/$1.inf.new"
  else
    mv "$out/$1.inf.new" "$out/$1.inf"
  fi
}

# The shared tool, with the platform layer both programs have in common.
library KovrinCore 5f6cbcd0-2da0-4bc4-a597-84d6eed4e9ca KovrinCoreLib \
  "$(cpp_in src/common src/driver src/hostio src/flash src/flash/parts)
  src/platform/uefi/platform_uefi.cpp"
# kovrin.efi: the LPC window at 0x20000000.
library KovrinPortWindow 90946e94-f934-4122-a851-5d4193a75c7c KovrinWindowLib \
  "  src/platform/uefi/port_window.cpp"
# kovrin-sim.efi: the virtual board's core in its place.
library KovrinBoardWindow c927959a-ead2-451c-a275-892b974754bf KovrinWindowLib \
  "$(cpp_in sim)
  src/platform/uefi/board_window.cpp"
# kovrin-trap.efi (test equipment, sim/trap/uefi): the board's core behind
# the trapped window.
library KovrinTrapBoard fab84619-cda8-4aea-9e15-8b2122325bcb KovrinTrapBoardLib \
  "$(cpp_in sim)
  sim/trap/uefi/trap_board.cpp" UEFI_DRIVER KovrinTrapPkg
