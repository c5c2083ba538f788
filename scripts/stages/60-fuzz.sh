# Every libFuzzer target of fuzz/ for a bounded time from its committed
# seeds (FUZZ_SECONDS each, 60 by default; two run side by side). A crash,
# a leak, undefined behaviour, an out-of-bounds read or a failed check of a
# target fails the stage; the input that did it is kept under
# build/fuzz/runs/<target>/ and shown. Figures go to
# build/reliability/fuzz.txt.
#
# Longer, locally:  FUZZ_SECONDS=1800 scripts/stages/60-fuzz.sh
source "$(dirname "$0")/../lib.sh"

need_packages cmake clang libclang-rt-14-dev

FUZZ_BUILD=${KOVRIN_FUZZ_BUILD:-$ROOT/build/fuzz}
EACH=${FUZZ_SECONDS:-60}
FIGURES=${KOVRIN_FIGURES:-$ROOT/build/reliability}
TARGETS=(fuzz_args fuzz_board_options fuzz_version fuzz_image)

say "libFuzzer build (clang, ASan+UBSan) in $FUZZ_BUILD"
cmake -S "$ROOT" -B "$FUZZ_BUILD" -DCMAKE_BUILD_TYPE=Release -DKOVRIN_FUZZ=ON -DKOVRIN_TESTS=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$FUZZ_BUILD" -j "$JOBS" --target fuzzers

runs=$FUZZ_BUILD/runs
rm -rf "$runs"

# One target: new inputs go to a scratch corpus, the committed seeds are
# only read.
fuzz_one() {
  local target=$1 dir=$runs/$1
  local dict=$ROOT/fuzz/${target#fuzz_}.dict
  local options=(-max_total_time="$EACH" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1
    -artifact_prefix="$dir/")
  [ -f "$dict" ] && options+=(-dict="$dict")
  mkdir -p "$dir/corpus"
  local status=0
  "$FUZZ_BUILD/bin/$target" "${options[@]}" "$dir/corpus" "$ROOT/fuzz/corpus/$target" >"$dir/log" 2>&1 || status=$?
  echo "$status" >"$dir/status"
}

say "fuzzing ${TARGETS[*]} for $EACH s each, $JOBS at a time"
for target in "${TARGETS[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do wait -n || true; done
  fuzz_one "$target" &
done
wait

mkdir -p "$FIGURES"
: >"$FIGURES/fuzz.txt"
failed=0
for target in "${TARGETS[@]}"; do
  status=$(cat "$runs/$target/status" 2>/dev/null || echo "no status")
  log=$runs/$target/log
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  corpus=$(find "$runs/$target/corpus" "$ROOT/fuzz/corpus/$target" -type f | wc -l)
  if [ "$status" != 0 ] || [ -z "$execs" ]; then
    failed=1
    echo "$target: FAILED (status $status)"
    grep -v -E '^#[0-9]+' "$log" | tail -60
    for input in "$runs/$target"/{crash,leak,timeout,oom}-*; do
      if [ -e "$input" ]; then echo "  reproduce: KOVRIN_FUZZ_SHOW=1 $FUZZ_BUILD/bin/$target $input"; fi
    done
    continue
  fi
  printf '%s: %s executions in %s s, %s coverage edges, %s inputs in the corpus, no finding\n' \
    "$target" "$execs" "$EACH" "${cov:-0}" "$corpus"
  echo "$target execs=$execs seconds=$EACH edges=${cov:-0} corpus=$corpus" >>"$FIGURES/fuzz.txt"
done
[ "$failed" -eq 0 ] || { echo "fuzzing found faults" >&2; exit 1; }
