# The board's programs: the AArch64 cross build, its dynamic dependencies,
# and the whole-run tests run against it under qemu-aarch64.
source "$(dirname "$0")/../lib.sh"
source "$ROOT/scripts/aarch64.sh"

need_packages binutils qemu-user
build_aarch64

say "aarch64 programs need the C library only"
bash "$ROOT/tests/packaging/check_elf.sh" --libc-only aarch64 \
  "$AARCH64_BUILD"/bin/{kovrinux,kovrinux-sim,kovrin-sim}

say "whole-run tests against the aarch64 programs under qemu-aarch64"
ensure_host_build
# test_runs is a host program; only the programs it starts are AArch64.
# Shards run side by side, one per job.
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
pids=()
for ((shard = 0; shard < JOBS; shard++)); do
  KOVRIN_BIN_DIR="$AARCH64_BUILD/bin" \
  KOVRIN_RUN_PREFIX="qemu-aarch64 -L $AARCH64_SYSROOT" \
  GTEST_TOTAL_SHARDS=$JOBS GTEST_SHARD_INDEX=$shard \
    timeout 1200 "$HOST_BUILD/bin/test_runs" --gtest_brief=1 >"$logs/$shard" 2>&1 &
  pids+=($!)
done
failed=0
for shard in "${!pids[@]}"; do
  wait "${pids[$shard]}" || failed=1
  cat "$logs/$shard"
done
ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' "$logs"/* |
  awk '{ n += $1 } END { print n + 0 }')
if [ "$failed" -ne 0 ] || [ "${ran:-0}" -eq 0 ]; then
  echo "whole-run tests under qemu-aarch64 failed (or none ran)" >&2
  exit 1
fi
say "$ran whole-run tests passed under qemu-aarch64"
