# The whole test suite once more, built with ASan and UBSan in a second
# build directory, and one whole 256 KB update of kovrinux-sim under
# valgrind's memcheck. Figures go to build/reliability/sanitize.txt.
source "$(dirname "$0")/../lib.sh"

need_packages build-essential cmake libgtest-dev valgrind

ASAN_BUILD=${KOVRIN_ASAN_BUILD:-$ROOT/build/asan}
HOST_BUILD=${KOVRIN_HOST_BUILD:-$ROOT/build}
FIGURES=${KOVRIN_FIGURES:-$ROOT/build/reliability}
mkdir -p "$FIGURES"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

say "ASan+UBSan build in $ASAN_BUILD"
cmake -S "$ROOT" -B "$ASAN_BUILD" -DCMAKE_BUILD_TYPE=Release -DKOVRIN_SANITIZE=ON >/dev/null
cmake --build "$ASAN_BUILD" -j "$JOBS"

say "the whole test suite under ASan+UBSan"
# A refused allocation is an answer the tool handles ("File Read Fail!"),
# not a fault: malloc may say no instead of aborting. The sanitizers write
# their reports to files, so a run's own standard error stays as the tests
# expect it; any error report fails the stage below.
reports=$scratch/sanitizer
mkdir -p "$reports"
export ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1:log_path=$reports/asan
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan
started=$SECONDS
status=0
ctest --test-dir "$ASAN_BUILD" -j "$JOBS" --output-on-failure --timeout 900 >"$scratch/ctest.log" 2>&1 || status=$?
asan_seconds=$((SECONDS - started))
unset ASAN_OPTIONS UBSAN_OPTIONS
grep -v -E '^ *(Start|[0-9]+/[0-9]+ Test) ' "$scratch/ctest.log" || true
found=$(grep -l -E 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error' "$reports"/* 2>/dev/null || true)
for report in $found; do
  echo "--- $report"
  cat "$report"
done
asan_tests=$(sed -n 's/.* tests passed, 0 tests failed out of \([0-9]*\)$/\1/p' "$scratch/ctest.log")
if [ "$status" -ne 0 ] || [ -n "$found" ] || [ -z "$asan_tests" ]; then
  echo "the suite under ASan+UBSan failed" >&2
  exit 1
fi
echo "$asan_tests tests passed under ASan+UBSan, no sanitizer report"

say "valgrind memcheck: a whole 256 KB update of kovrinux-sim"
if [ ! -x "$HOST_BUILD/bin/kovrinux-sim" ]; then
  if [ "$HOST_BUILD" = "$ROOT/build" ]; then build_host >/dev/null; else cmake --build "$HOST_BUILD" -j "$JOBS"; fi
fi
cd "$scratch"
# An image carrying the board's project name, over old firmware.
head -c 262144 /dev/urandom >ec.bin
printf 'DEMO' | dd of=ec.bin bs=1 seek=4096 conv=notrunc status=none
head -c 262144 /dev/zero | tr '\0' '\132' >old.bin
started=$SECONDS
valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
  --log-file=memcheck.log "$HOST_BUILD/bin/kovrinux-sim" --flash-in old.bin --flash-out flash.bin -- ec.bin 256 \
  >update.out || {
  status=$?
  cat memcheck.log
  echo "kovrinux-sim under memcheck ended with status $status (99: memcheck found errors)" >&2
  exit 1
}
memcheck_seconds=$((SECONDS - started))
cmp ec.bin flash.bin
errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' memcheck.log)
grep -E 'ERROR SUMMARY|definitely lost|in use at exit' memcheck.log | sed 's/^==[0-9]*== //'
echo "the update under memcheck ended with status 0 and the flash equals the image"

cat >"$FIGURES/sanitize.txt" <<FIG
asan_tests=$asan_tests
asan_seconds=$asan_seconds
memcheck_errors=$errors
memcheck_seconds=$memcheck_seconds
FIG
