# The Debian packages, made with CPack: kovrinux for arm64 (from the cross
# build), kovrin-sim, the virtual board, for this host, and kovrin-efi (all)
# with the kovrin.efi that the UEFI stage built and tested. Checks the manual
# pages, the packages and their install layout, then runs lintian.
source "$(dirname "$0")/../lib.sh"
source "$ROOT/scripts/aarch64.sh"

PACKAGES=${KOVRIN_PACKAGE_DIR:-$ROOT/build/packages}
UEFI_OUT=${KOVRIN_UEFI_OUT:-$ROOT/build/uefi}

need_packages binutils dpkg-dev man-db groff-base bsdextrautils lintian
[ -x "$AARCH64_BUILD/bin/kovrinux" ] || build_aarch64
ensure_host_build
[ -f "$UEFI_OUT/kovrin.efi" ] || bash "$ROOT/scripts/stages/40-uefi.sh"
cmake -S "$ROOT" -B "$HOST_BUILD" -DKOVRIN_EFI="$UEFI_OUT/kovrin.efi" >/dev/null

say "manual pages"
bash "$ROOT/tests/packaging/check_manpages.sh" "$ROOT/docs/man" "$(project_version "$HOST_BUILD")" \
  "$HOST_BUILD/bin/kovrinux-sim" "$HOST_BUILD/bin/kovrin-sim"

say "packages"
rm -rf "$PACKAGES"
mkdir -p "$PACKAGES"
for build in "$AARCH64_BUILD" "$HOST_BUILD"; do
  (cd "$build" && cpack -B "$PACKAGES" >"$PACKAGES/cpack.log" 2>&1) || {
    cat "$PACKAGES/cpack.log" >&2
    exit 1
  }
done
rm -rf "$PACKAGES/_CPack_Packages" "$PACKAGES/cpack.log"
for deb in "$PACKAGES"/*.deb; do
  echo "$(basename "$deb"):"
  dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Installed-Size\):/  \1:/p'
  dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print "   ", $1, $6, $7, $8 }'
done
bash "$ROOT/tests/packaging/check_packages.sh" "$ROOT" "$PACKAGES" "$AARCH64_BUILD" "$HOST_BUILD" \
  "$UEFI_OUT/kovrin.efi"

say "lintian"
# Errors and warnings fail; informational tags are shown. The overrides
# shipped in the packages say which tags are intended, and why.
status=0
lintian --fail-on error,warning --display-info "$PACKAGES"/*.deb >"$PACKAGES/lintian.log" 2>&1 || status=$?
grep -v '^running with root privileges' "$PACKAGES/lintian.log" || true
rm -f "$PACKAGES/lintian.log"
if [ "$status" -ne 0 ]; then
  echo "lintian found errors or warnings" >&2
  exit 1
fi
echo "lintian: no errors or warnings"
