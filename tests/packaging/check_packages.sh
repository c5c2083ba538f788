#!/usr/bin/env bash
# Checks the Debian packages that cpack made: file names, control fields,
# the exact file list with owners and modes, the programs inside them, the
# documents, and that `cmake --install` lays out the very same files.
#   check_packages.sh SOURCE_DIR PACKAGE_DIR AARCH64_BUILD HOST_BUILD
set -euo pipefail

src=$1
packages=$2
aarch64_build=$3
host_build=$4
kovrin_efi=$5
here=$(cd "$(dirname "$0")" && pwd)

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

version_of() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}

# check_package NAME ARCH ELF_ARCH BUILD COMPONENT PROGRAMS -- FILES...
# PROGRAMS: the paths of the package's executables, in one word.
# FILES: the package's files and links below /usr, as "path" or
# "path -> target".
check_package() {
  local name=$1 arch=$2 elf_arch=$3 build=$4 component=$5 programs=$6
  shift 7
  local version deb
  version=$(version_of "$build")
  deb="$packages/${name}_${version}_${arch}.deb"
  if [ ! -f "$deb" ]; then
    fail "$name: no $(basename "$deb") in $packages"
    return
  fi

  # Control fields.
  local field value
  for field in Package:"$name" Version:"$version" Architecture:"$arch" Priority:optional; do
    value=$(dpkg-deb --field "$deb" "${field%%:*}")
    [ "$value" = "${field#*:}" ] || fail "$name: ${field%%:*} is '$value', not '${field#*:}'"
  done
  for field in Maintainer Section Description Installed-Size ${programs:+Depends}; do
    [ -n "$(dpkg-deb --field "$deb" "$field")" ] || fail "$name: no $field field"
  done
  dpkg-deb --info "$deb" >"$work/info"
  grep -qE '^ +md5sums$|^ +[0-9]+ bytes, +[0-9]+ lines +md5sums' "$work/info" ||
    fail "$name: no md5sums in the control archive"

  # Contents: exactly these files, owned by root, with Debian's modes.
  dpkg-deb --contents "$deb" >"$work/contents"
  awk '$1 !~ /^d/ { sub(/^\.\//, "/", $6); line = $6; if ($7 == "->") line = line " -> " $8; print line }' \
    "$work/contents" | sort >"$work/got"
  printf '%s\n' "$@" | sort >"$work/want"
  diff -u "$work/want" "$work/got" >"$work/diff" || fail "$name: contents differ from the layout:
$(cat "$work/diff")"
  awk '$2 != "root/root"' "$work/contents" | grep -q . && fail "$name: files not owned by root/root"
  awk -v progs=" $programs " '
    $1 ~ /^d/ && $1 != "drwxr-xr-x" { print "directory " $6 " is " $1 }
    $1 ~ /^-/ {
      path = $6; sub(/^\.\//, "/", path)
      want = index(progs, " " path " ") ? "-rwxr-xr-x" : "-rw-r--r--"
      if ($1 != want) print path " is " $1 ", not " want
    }' "$work/contents" >"$work/modes"
  [ -s "$work/modes" ] && fail "$name: modes: $(cat "$work/modes")"

  # What is inside.
  local root="$work/$name"
  mkdir -p "$root"
  dpkg-deb -x "$deb" "$root"
  local program paths=()
  for program in $programs; do
    paths+=("$root$program")
  done
  local libc_only=()
  [ "$name" = kovrinux ] && libc_only=(--libc-only)
  if [ -n "$programs" ]; then
    bash "$here/check_elf.sh" "${libc_only[@]}" "$elf_arch" "${paths[@]}" >/dev/null ||
      fail "$name: ELF checks of $programs"
  fi
  for program in "${paths[@]}"; do
    readelf -S "$program" | grep -qE '\.symtab|\.comment' &&
      fail "$name: $(basename "$program") is not stripped (.symtab or .comment left)"
  done
  local doc="$root/usr/share/doc/$name"
  cmp -s "$doc/copyright" "$src/packaging/copyright" || fail "$name: copyright is not packaging/copyright"
  cmp -s "$doc/README.md" "$src/README.md" || fail "$name: README.md is not the project's"
  head -1 <(gzip -dc "$doc/changelog.gz") | grep -q "^$name ($version) " ||
    fail "$name: changelog does not start with the entry for $name $version"
  local page
  while IFS= read -r page; do
    gzip -dc "$page" | cmp -s - "$src/docs/man/$(basename "$page" .gz)" ||
      fail "$name: $(basename "$page") is not docs/man/$(basename "$page" .gz)"
  done < <(find "$root/usr" -path "$root/usr/share/man/*" -name '*.gz' -type f)

  # The C library is the only dependency of the board's program; its floor
  # covers the newest symbol version the program uses.
  if [ "$name" = kovrinux ]; then
    local depends floor newest
    depends=$(dpkg-deb --field "$deb" Depends)
    floor=$(sed -n 's/^libc6 (>= \([0-9.]*\))$/\1/p' <<<"$depends")
    newest=$(readelf --version-info --wide "${paths[0]}" | grep -oE 'Name: GLIBC_[0-9.]+' |
      sed 's/Name: GLIBC_//' | sort -V | tail -1)
    if [ -z "$floor" ]; then
      fail "$name: Depends is '$depends', not libc6 alone"
    elif ! dpkg --compare-versions "$floor" ge "$newest"; then
      fail "$name: Depends libc6 (>= $floor) but the program uses GLIBC_$newest"
    fi
  fi

  # cmake --install: the same files, byte for byte, the same links.
  local installed="$work/install-$name"
  DESTDIR="$installed" cmake --install "$build" --prefix /usr --component "$component" --strip >/dev/null
  diff -r --no-dereference "$root/usr" "$installed/usr" >"$work/diff" 2>&1 ||
    fail "$name: cmake --install differs from the package:
$(head -20 "$work/diff")"
}

check_package kovrinux arm64 aarch64 "$aarch64_build" kovrinux /usr/sbin/kovrinux -- \
  /usr/sbin/kovrinux \
  /usr/share/man/man8/kovrinux.8.gz \
  /usr/share/doc/kovrinux/README.md \
  /usr/share/doc/kovrinux/copyright \
  /usr/share/doc/kovrinux/changelog.gz \
  /usr/share/lintian/overrides/kovrinux

host_arch=$(dpkg --print-architecture)
case $host_arch in
  amd64) host_elf=x86_64 ;;
  arm64) host_elf=aarch64 ;;
  *) host_elf=$host_arch ;;
esac
check_package kovrin-sim "$host_arch" "$host_elf" "$host_build" sim \
  "/usr/bin/kovrinux-sim /usr/bin/kovrin-sim" -- \
  /usr/bin/kovrinux-sim \
  /usr/bin/kovrin-sim \
  /usr/share/man/man1/kovrinux-sim.1.gz \
  "/usr/share/man/man1/kovrin-sim.1.gz -> kovrinux-sim.1.gz" \
  /usr/share/doc/kovrin-sim/README.md \
  /usr/share/doc/kovrin-sim/copyright \
  /usr/share/doc/kovrin-sim/changelog.gz \
  /usr/share/lintian/overrides/kovrin-sim

# No programs for this system: the board's firmware runs the file, which
# must be the very kovrin.efi tested in QEMU. The exact list also keeps out
# kovrin-trap.efi, the test equipment built beside it.
check_package kovrin-efi all - "$host_build" efi "" -- \
  /usr/lib/kovrin/kovrin.efi \
  /usr/share/man/man8/kovrin.8.gz \
  /usr/share/doc/kovrin-efi/README.md \
  /usr/share/doc/kovrin-efi/copyright \
  /usr/share/doc/kovrin-efi/changelog.gz
cmp -s "$work/kovrin-efi/usr/lib/kovrin/kovrin.efi" "$kovrin_efi" ||
  fail "kovrin-efi: /usr/lib/kovrin/kovrin.efi is not $kovrin_efi"

if [ "$failures" -ne 0 ]; then
  echo "packages: $failures checks failed" >&2
  exit 1
fi
echo "packages: kovrinux (arm64), kovrin-sim ($host_arch) and kovrin-efi (all) hold their layout"
