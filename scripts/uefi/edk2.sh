#!/usr/bin/env bash
# Makes EDK II 2022.11 ready in a cache folder outside the work tree: Debian's
# source package, with the one BaseTools C tool a module build runs (GenFw)
# built. A ready tree is reused. Prints the tree's path.
#   edk2.sh <cache folder>
source "$(dirname "$0")/../lib.sh"

cache=$1
tree=$cache/edk2-2022.11
if [ -e "$tree/.kovrin-ready" ]; then
  echo "$tree"
  exit 0
fi

have_source() {
  apt-cache showsrc edk2 2>/dev/null | grep -q '^Version: 2022\.11-'
}

# Source packages come from the mirror this machine already uses for its
# release: its deb entries, made deb-src.
own_sources=/etc/apt/sources.list.d/kovrin-deb-src.sources
if ! have_source; then
  entries=$(/usr/bin/python3 "$ROOT/scripts/uefi/deb-src.py")
  if [ -z "$entries" ]; then
    echo "edk2.sh: no configured Debian source for this release's main component to fetch sources from" >&2
    exit 1
  fi
  printf '%s\n' "$entries" | as_root tee "$own_sources" >/dev/null
  as_root apt-get update -qq
fi
if ! have_source; then
  echo "edk2.sh: Debian's edk2 2022.11 source package cannot be found" >&2
  exit 1
fi

mkdir -p "$cache"
rm -rf "$tree" "$cache"/fetch.*
fetch=$(mktemp -d "$cache/fetch.XXXXXX")
(
  cd "$fetch"
  # Root's cache folder is closed to apt's sandbox user.
  apt-get source -qq -o APT::Sandbox::User=root edk2 >source.log 2>&1 ||
    { cat source.log >&2; exit 1; }
  make -C edk2-2022.11/BaseTools/Source/C/Common -j"$JOBS" >tools.log 2>&1 &&
    make -C edk2-2022.11/BaseTools/Source/C/GenFw -j"$JOBS" >>tools.log 2>&1 ||
    { tail -30 tools.log >&2; exit 1; }
)
mv "$fetch/edk2-2022.11" "$tree"
rm -rf "$fetch"
touch "$tree/.kovrin-ready"
echo "$tree"
