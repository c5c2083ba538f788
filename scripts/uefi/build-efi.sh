#!/usr/bin/env bash
# Builds kovrin.efi and kovrin-sim.efi on a prepared EDK II tree (see
# edk2.sh) into <out>, with the test equipment kovrin-trap.efi. The EDK II
# workspace lives in <out>/ws: the packages are links to src/platform/uefi
# and sim/trap/uefi, the C++ code is in generated library modules.
#   build-efi.sh <edk2 tree> <out folder>
set -euo pipefail

edk2=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
ws=$out/ws
target=RELEASE

mkdir -p "$ws/Conf" "$ws/ArmPkg/Library/GccLto"
ln -sfn "$root/src/platform/uefi" "$ws/KovrinPkg"
ln -sfn "$root/sim/trap/uefi" "$ws/KovrinTrapPkg"
"$root/src/platform/uefi/make_lib_infs.sh" "$root" "$ws/KovrinLibs"

for conf in target tools_def build_rule; do
  [ -e "$ws/Conf/$conf.txt" ] || cp "$edk2/BaseTools/Conf/$conf.template" "$ws/Conf/$conf.txt"
done

# GCC5's link looks for this in $(WORKSPACE); Debian's source ships only the
# assembly it is made from.
lto=$ws/ArmPkg/Library/GccLto/liblto-aarch64.a
[ -e "$lto" ] || aarch64-linux-gnu-gcc -c -fpic "$edk2/ArmPkg/Library/GccLto/liblto-aarch64.s" -o "$lto"

export WORKSPACE=$ws
export PACKAGES_PATH=$ws:$edk2
export EDK_TOOLS_PATH=$edk2/BaseTools
export CONF_PATH=$ws/Conf
# A python3 shim (pyenv) may not see the system's modules; Debian's does.
export PYTHON_COMMAND=/usr/bin/python3
export GCC5_AARCH64_PREFIX=aarch64-linux-gnu-
export PATH=$EDK_TOOLS_PATH/BinWrappers/PosixLike:$PATH

log=$out/build.log
if ! build -p KovrinPkg/KovrinPkg.dsc -a AARCH64 -t GCC5 -b "$target" -n "${JOBS:-2}" >"$log" 2>&1; then
  # The compiler's command lines all say -Werror: show the messages only.
  grep -v '^"' "$log" | grep -E 'error|Error|undefined reference' | head -40 >&2
  echo "EDK II build failed; whole log: $log" >&2
  exit 1
fi

build_dir=$ws/Build/Kovrin/${target}_GCC5/AARCH64

# A static constructor compiles, but nothing here would ever run it: an
# object with an .init_array (or .ctors) section fails the build.
with_constructors() {
  xargs -0 -r aarch64-linux-gnu-objdump -h 2>/dev/null |
    awk '/file format/ { file = $1 } /\.init_array|\.ctors/ { print file }' | sort -u
}
# First prove the check sees one, so it cannot pass by going blind.
probe=$ws/constructor-probe.o
echo 'int f(); int x = f();' | aarch64-linux-gnu-g++ -x c++ -c -o "$probe" -
if [ -z "$(printf '%s\0' "$probe" | with_constructors)" ]; then
  echo "the static-constructor check does not see one in $probe" >&2
  exit 1
fi
bad=$(find "$build_dir/KovrinLibs" "$build_dir/KovrinPkg" "$build_dir/KovrinTrapPkg" -name '*.obj' -print0 | with_constructors)
if [ -n "$bad" ]; then
  echo "static constructors (never run under UEFI) in:" >&2
  echo "$bad" | sed 's/^/  /' >&2
  exit 1
fi

cp "$build_dir/kovrin.efi" "$build_dir/kovrin-sim.efi" "$build_dir/kovrin-trap.efi" "$out/"
