# The host build and its whole test suite.
source "$(dirname "$0")/../lib.sh"

build_host
ctest --test-dir "$ROOT/build" -j "$JOBS" --output-on-failure --timeout 600
