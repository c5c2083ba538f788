#!/usr/bin/env bash
# Checks the manual pages: they render without a single groff or man
# warning, carry the project version and the sections a reader looks for,
# name every option of the tool and of the virtual board with its exact
# spelling, tell where the UEFI program differs, carry the warnings, and
# document only board options that the program accepts.
#   check_manpages.sh MAN_DIR VERSION [KOVRINUX_SIM [KOVRIN_SIM]]
set -euo pipefail

# Without the renderers there is nothing to check here: 77 tells ctest to
# count the test as skipped (scripts/test installs them and runs it again).
for tool in groff man col; do
  if ! command -v "$tool" >/dev/null; then
    echo "check_manpages.sh: $tool is not installed" >&2
    exit 77
  fi
done

man_dir=$1
version=$2
sims=("${@:3}")

failures=0
checks=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  checks=$((checks + 1))
  "$@" || fail "$what"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The page as man shows it, for its warnings only.
man_warnings() {
  # shellcheck disable=SC2069 # stderr is the output, the page is dropped
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$1" 2>&1 >/dev/null
}
# The page's text to search: no hyphenation, no overstrike, no tabs.
render() {
  LC_ALL=C.UTF-8 groff -man -Tutf8 -rHY=0 -rLL=78n "$1" 2>/dev/null | col -bx
}
# One section of a rendered page: from its heading to the next heading.
section() {
  awk -v name="$2" '/^[A-Z]/ { on = ($0 == name); next } on' "$1"
}
# A tag line in a list: the option at the left margin of its paragraph.
has_tag() {
  grep -qE "^ {7}$(sed 's/[][\.*^$/]/\\&/g' <<<"$2")( |$)" "$1"
}
# Text that may run over a line break.
contains() {
  tr -s ' \n' '  ' <"$1" | grep -qF -- "$2"
}
empty() {
  [ ! -s "$1" ]
}

for page in kovrinux.8 kovrin.8 kovrinux-sim.1; do
  src="$man_dir/$page"
  if [ ! -f "$src" ]; then
    fail "$page: missing"
    continue
  fi
  groff -man -ww -z "$src" >"$work/groff.err" 2>&1 || true
  check "$page: groff -man -ww -z warns: $(head -3 "$work/groff.err")" empty "$work/groff.err"
  man_warnings "$src" >"$work/man.err" || true
  check "$page: man -l warns: $(head -3 "$work/man.err")" empty "$work/man.err"
  render "$src" >"$work/$page.txt"
  check "$page: .TH does not carry version $version" \
    grep -qE "^\.TH .*\"kovrin $version\"" "$src"
  for heading in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" EXAMPLES "SEE ALSO"; do
    check "$page: no $heading section" grep -qx "$heading" "$work/$page.txt"
  done
done

# --- kovrinux(8) ---
page=$work/kovrinux.8.txt
section "$page" OPTIONS >"$work/options"
for option in "image size" "/F, /f" /BK /Mn /Bp "/O base" /j /C /D /I "/L log" "/R file size" "/V, /v" \
  "/VB [version]" "/VBF image" "/VC [version]" /T /PB --help --version; do
  check "kovrinux.8: option '$option' not listed" has_tag "$work/options" "$option"
done
section "$page" "RUN MODES" >"$work/modes"
# The numbered modes' names, joined: "1. Read-out|2. Update|...".
mode_order() {
  grep -oE '^ +[1-7]\. +[A-Z][a-z-]+( +[a-z]+)?' "$1" | sed -E 's/^ +//; s/ +/ /g' | paste -sd'|'
}
check "kovrinux.8: run modes not in the order read-out, update, test, protection, information, version query" \
  test "$(mode_order "$work/modes")" = \
  "1. Read-out|2. Update|3. Test|4. Boot-block protection|5. Information|6. Version query|7. None of"
section "$page" "EXIT STATUS" >"$work/status"
check "kovrinux.8: exit status 0 not described" has_tag "$work/status" 0
check "kovrinux.8: exit status 1 not described" has_tag "$work/status" 1
# Every refusal and failure that ends with status 1, by the text the tool
# prints, and the limits of the bounded waits.
while IFS= read -r message; do
  check "kovrinux.8: exit status 1 does not list \"$message\"" contains "$work/status" "$message"
done <<'EOF'
Wrong Parameter! Please try again!
File Size Paramter Lost, Please try again!
Read size must be a number of KB (0: the whole flash)!
Flash size unknown: give the read-out size in KB!
File exists, not overwritten!
File Write Fail!
File Open Fail!
open /dev/mem failed.
mmap /dev/mem failed.
File Read Fail!
The EC bin does not match this project.
Paramter NOT Match with File Size, Please try again!
File size with wrong parameter!
Offset must be a multiple of 64K!
Image does not fit the flash address space!
Region update needs 4 KB erase; this flash has no 4 KB erase!
Image for this chip must be 256K!
Image does not fit this flash
Interrupted:
Interrupted.
-- Verify Fail.
-- Test Fail.
Differs:
The flash does not hold the image at
The flash may hold a partial image; run the update again before resetting the board.
Protect BBK Area Fail!
Log Write Fail!
Timeout:
5 seconds
30 seconds
Not ITE Chip
BIN file too small for a version!
The Update File Version Error!!
Input version is NOT newer then current FW!!
EOF
# The record: every key and every result word, and a query to run on it.
section "$page" RECORD >"$work/record"
for key in time program version args mode ec flash area image flash_sha256 blocks result message status \
  duration_ms; do
  check "kovrinux.8: RECORD does not list key '$key'" grep -qE "^ {7}([a-z_]+, )*$key(,| |$)" "$work/record"
done
for word in ok wrong-parameter no-mode no-window file-error project-mismatch refused erase-failed verify-failed \
  final-check-failed differs protect-failed test-failed not-ite not-newer not-equal interrupted timeout; do
  check "kovrinux.8: RECORD does not list result '$word'" grep -qE "^ +$word +[a-z]" "$work/record"
done
check "kovrinux.8: RECORD has no jq query" contains "$work/record" "jq "
# Every line of the information mode.
section "$page" "RUN MODES" >"$work/modes"
for line in "EC project" "EC version" "Super I/O chip" "Flash id" "Flash maker" "Flash part" "Flash size" \
  "Status register" "Status register 2" "Protected" "Status register locked"; do
  check "kovrinux.8: information line '$line' not described" has_tag "$work/modes" "$line"
done
section "$page" FILES >"$work/files"
check "kovrinux.8: FILES does not name /dev/mem" has_tag "$work/files" /dev/mem
check "kovrinux.8: no SAFETY section" grep -qx SAFETY "$page"
section "$page" SAFETY >"$work/safety"
for point in "on the board only" "Verify Fail." "run the same update again"; do
  check "kovrinux.8: SAFETY does not say '$point'" contains "$work/safety" "$point"
done

# --- kovrin(8): the same tool from the UEFI shell ---
page=$work/kovrin.8.txt
section "$page" OPTIONS >"$work/options"
for option in "image size" "/F, /f" /BK /Mn /Bp "/O base" /j /C /D "/R file size" /I "/L log" "/V, /v" \
  "/VB [version]" "/VBF image" "/VC [version]" /T /PB --help --version; do
  check "kovrin.8: option '$option' not in the table" has_tag "$work/options" "$option"
done
section "$page" "EXIT STATUS" >"$work/status"
for status in EFI_SUCCESS EFI_ABORTED; do
  check "kovrin.8: exit status $status not described" has_tag "$work/status" "$status"
done
section "$page" FILES >"$work/files"
check "kovrin.8: FILES does not name /usr/lib/kovrin/kovrin.efi" \
  has_tag "$work/files" /usr/lib/kovrin/kovrin.efi
# How to start it and script it, and each point where a run differs from
# a kovrinux run: SECTION|text it must hold.
while IFS='|' read -r heading point; do
  section "$page" "$heading" >"$work/part"
  check "kovrin.8: $heading does not say '$point'" contains "$work/part" "$point"
done <<'EOF'
OPTIONS|kovrinux(8)
STARTING IT|fs0:\kovrin.efi ec.bin 128
STARTING IT|cd \
STARTING IT|relative to the shell's current directory and volume
CONSOLE|clears the screen
CONSOLE|for each 64 KB block
CONSOLE|U+2588
DIFFERENCES FROM KOVRINUX|status and command port 0x66, data port 0x62
DIFFERENCES FROM KOVRINUX|No EC command 0xDD and no half-second pause
DIFFERENCES FROM KOVRINUX|“Zelkora EC flash tool version : 0.0.2”
DIFFERENCES FROM KOVRINUX|find_ite_chip=
DIFFERENCES FROM KOVRINUX|light green
DIFFERENCES FROM KOVRINUX|light red
DIFFERENCES FROM KOVRINUX|50 microseconds apart
EXIT STATUS|if %lasterror% ne 0 then
FILES|/boot/efi
EOF

# The warnings that both pages carry.
for name in kovrinux.8 kovrin.8; do
  section "$work/$name.txt" SAFETY >"$work/safety"
  for point in "An update clears the boot-block protection" "/PB after it, and check with /I" \
    "a read-out meant for restoring such a board is 128 KB"; do
    check "$name: SAFETY does not say '$point'" contains "$work/safety" "$point"
  done
done

# --- kovrinux-sim(1) ---
page=$work/kovrinux-sim.1.txt
check "kovrinux-sim.1: NAME does not name both programs" \
  grep -q "kovrinux-sim, kovrin-sim - " "$page"
section "$page" "BOARD OPTIONS" >"$work/board"
board_options=(
  "--flash PART" "--flash-size KB" "--flash-in FILE" "--flash-out FILE" "--chip-id HEX"
  "--ldn-base HEX" "--bram H,L" "--ec-version H.L" "--project TEXT" "--varnel TEXT"
  "--ack HEX" "--status HEX" "--status2 HEX" "--wp-low" "--no-sfdp" "--stuck ADDR=VAL" "--kbc-pending N" "--hang N" "--access-us N"
  "--flash-busy-forever" "--trace FILE" "--stats FILE" "--real-time" "--signal NAME@N" "--sio-locked"
  "--ec-latency N" "--kbc-latency N" "--jitter SEED" "--trace-time")
for option in "${board_options[@]}"; do
  check "kovrinux-sim.1: board option '$option' not listed" has_tag "$work/board" "$option"
done
section "$page" "FLASH PARTS" >"$work/parts"
parts=(sst sst-old winbond mxic mxic-pp32 st ite-a ite atmel spansion amic eon esmt gigadevice pmc unknown)
for part in "${parts[@]}"; do
  check "kovrinux-sim.1: flash part '$part' not listed" \
    grep -qx -- "$part" <(grep -E '^ {7}[a-z]' "$work/parts" | tr -s ', ' '\n')
done
section "$page" "EXIT STATUS" >"$work/status"
for status in 0 1 2; do
  check "kovrinux-sim.1: exit status $status not described" grep -qE "^ {7}$status( |$)" "$work/status"
done
for key in port_reads port_writes ec_commands spi_transactions spi_bytes_out spi_bytes_in spi_ignored \
  spi_bytes_unselected status_nonvolatile modeled_us; do
  check "kovrinux-sim.1: STATS does not name $key" contains "$page" "$key"
done

# Every documented board option works on the programs themselves (the tool
# gets no arguments and shows its usage), and a misspelt one does not.
value_for() {
  case $1 in
    "--flash-in FILE") head -c 16 /dev/zero >"$work/flash.in"; echo "$work/flash.in" ;;
    *" FILE") echo "$work/out.$RANDOM" ;;
    "--flash-size KB") echo 512 ;;
    "--chip-id HEX") echo 8987 ;;
    "--ldn-base HEX") echo 0a70 ;;
    "--ack HEX") echo 34 ;;
    "--status HEX") echo 1c ;;
    "--status2 HEX") echo 02 ;;
    *" H,L") echo 1,0x41 ;;
    *" H.L") echo 2.5 ;;
    *" TEXT") echo ABC ;;
    *" ADDR=VAL") echo 100=7f ;;
    *" NAME@N") echo INT@999999999 ;;
    *" N") echo 3 ;;
    *" SEED") echo 7 ;;
  esac
}
for sim in "${sims[@]}"; do
  name=$(basename "$sim")
  mapfile -t documented < <(grep -oE '^ {7}--[a-z0-9-]+( [A-Z][A-Z,.=@]*)?$' "$work/board" | sed -E 's/^ +//')
  check "kovrinux-sim.1: no board options found" test "${#documented[@]}" -ge "${#board_options[@]}"
  for option in "${documented[@]}"; do
    args=("${option%% *}")
    if [ "$option" = "--flash PART" ]; then
      continue
    elif [ "$option" != "${args[0]}" ]; then
      args+=("$(value_for "$option")")
    fi
    status=0
    "$sim" "${args[@]}" -- >/dev/null 2>"$work/sim.err" || status=$?
    check "$name ${args[*]} --: status $status, $(head -1 "$work/sim.err")" test "$status" -eq 0
  done
  for part in "${parts[@]}"; do
    status=0
    "$sim" --flash "$part" -- >/dev/null 2>"$work/sim.err" || status=$?
    check "$name --flash $part --: status $status, $(head -1 "$work/sim.err")" test "$status" -eq 0
  done
  for bad in "--flash nosuchpart" "--flash-sise 128" "--real-tim"; do
    status=0
    # shellcheck disable=SC2086
    "$sim" $bad -- >/dev/null 2>&1 || status=$?
    check "$name $bad --: status $status, not 2" test "$status" -eq 2
  done
done

if [ "$failures" -ne 0 ]; then
  echo "manual pages: $failures of $checks checks failed" >&2
  exit 1
fi
echo "manual pages: all $checks checks hold"
