#!/usr/bin/env bash
# Runs the cross-built Windows test programs of a windows-preset build under
# Wine, headless: its own Xvfb on a free display, a throw-away Wine prefix in
# the build folder, a time limit per program, and one count of the results.
#
#   scripts/wine-test.sh [BUILD_DIR]        (default: build/windows)
#
# Every <BUILD_DIR>/bin/*_tests.exe runs with the driver folder of that build in
# NOVRIX_DRIVER_DIR.  The checks where Wine departs from documented Windows
# behaviour are left out by name: the runner reads them from the table between
# the "wine skips" marks in docs/platform-ui.md (which gives each its reason) and
# passes them as a negative --gtest_filter.  Nothing else is skipped.
#
# Environment: NOVRIX_WINE_TIMEOUT (seconds per program, default 300),
# NOVRIX_WINE_KEEP=1 keeps the prefix and the programs' logs for a look.
# The last line of <BUILD_DIR>/wine/summary holds the counts for scripts/test.sh.
# Exit code: 0 when every program ran to its end and every test passed.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=$(realpath "${1:-build/windows}")
say() { echo "wine-test.sh: $*"; }
fail() { echo "wine-test.sh: $*" >&2; exit 2; }

[[ -d $build/bin ]] || fail "no test programs in $build/bin (build the windows preset first)"
wine=$(command -v wine64 || true)
[[ -n $wine ]] || { [[ -x /usr/lib/wine/wine64 ]] && wine=/usr/lib/wine/wine64; }
[[ -n $wine ]] || fail "Wine is not installed (scripts/setup-deps.sh installs it)"
wineserver=$(command -v wineserver || true)
[[ -n $wineserver ]] || { [[ -x /usr/lib/wine/wineserver ]] && wineserver=/usr/lib/wine/wineserver; }
command -v Xvfb >/dev/null || fail "Xvfb is not installed (scripts/setup-deps.sh installs it)"
timeout_s=${NOVRIX_WINE_TIMEOUT:-300}

work=$build/wine
rm -rf "$work"
mkdir -p "$work/logs"
export WINEPREFIX=$work/prefix
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko (their install would ask); no desktop integration; no
# debugger started on a crash (it would wait for a person until the time limit).
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d;winedbg.exe=d"

xvfb_pid=
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  [[ ${NOVRIX_WINE_KEEP:-0} == 1 ]] || rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number when it is ready.
display_file=$work/display
Xvfb -displayfd 3 -nolisten tcp -screen 0 1920x1080x24 3>"$display_file" >"$work/logs/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $display_file ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start ($work/logs/xvfb.log)"
  sleep 0.1
done
[[ -s $display_file ]] || fail "Xvfb did not tell its display within 10 s"
export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"

started=$(date +%s)
say "preparing the Wine prefix $WINEPREFIX (display $DISPLAY)"
timeout -k 10 180 "$wine" wineboot --init >"$work/logs/wineboot.log" 2>&1 ||
  fail "wineboot failed or took longer than 3 minutes ($work/logs/wineboot.log)"
# A program that crashes ends there, as on Windows without a registered debugger.
timeout -k 10 60 "$wine" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
  >>"$work/logs/wineboot.log" 2>&1 || true
timeout -k 10 120 "$wineserver" -w || true  # the prefix is written when the boot's processes end

# Skips by name: `program` | `Suite.Test` rows of the marked table.
declare -A skips=()
while IFS= read -r row; do
  program=$(sed -E 's/^\| *`([^`]+)` *\|.*/\1/' <<<"$row")
  test=$(sed -E 's/^\| *`[^`]+` *\| *`([^`]+)` *\|.*/\1/' <<<"$row")
  skips[$program]+="${skips[$program]:+:}$test"
done < <(sed -n '/<!-- wine skips -->/,/<!-- end of wine skips -->/p' "$source_dir/docs/platform-ui.md" |
         grep -E '^\| *`[a-z_]+_tests` *\| *`[^`]+`')

driver_dir="Z:$(tr / '\\' <<<"$build/driver")"
programs=0 programs_failed=0 ran=0 passed=0 failed=0 skipped_by_name=0
failed_programs=()
for exe in "$build"/bin/*_tests.exe; do
  name=$(basename "$exe" .exe)
  log=$work/logs/$name.log
  filter=()
  if [[ -n ${skips[$name]:-} ]]; then
    filter=("--gtest_filter=-${skips[$name]}")
    skipped_by_name=$((skipped_by_name + $(tr ':' '\n' <<<"${skips[$name]}" | wc -l)))
  fi
  t0=$(date +%s)
  rc=0
  (cd "$build/bin" && NOVRIX_DRIVER_DIR=$driver_dir NOVRIX_TEST_SCRATCH_USER=1 timeout -k 10 "$timeout_s" "$wine" "$exe" "${filter[@]}") \
    >"$log" 2>&1 || rc=$?
  tr -d '\r' <"$log" >"$log.txt" && mv "$log.txt" "$log"
  # Counted test by test, so that a program that dies still counts what ran.
  r=$(grep -cE '^\[ RUN      \] ' "$log" || true)
  ok=$(grep -cE '^\[       OK \] .* \([0-9]+ ms\)$' "$log" || true)
  sk=$(grep -cE '^\[  SKIPPED \] .* \([0-9]+ ms\)$' "$log" || true)
  # A test that skips itself is not a pass: under Wine, tests are left out by name only.
  programs=$((programs + 1)) ran=$((ran + r)) passed=$((passed + ok)) failed=$((failed + r - ok))
  what="$ok/$r passed"
  ((sk == 0)) || what+=", $sk skipped by the test itself"
  if ((rc != 0 || r != ok)); then
    programs_failed=$((programs_failed + 1))
    failed_programs+=("$name")
    case $rc in
      0) ;;
      124|137) what+=", stopped after ${timeout_s} s" ;;
      *) grep -q '^\[  PASSED  \]\|^\[  FAILED  \] [0-9]* tests\?, listed below' "$log" || what+=", ended early (exit code $rc)" ;;
    esac
    say "$name: $what ($(($(date +%s) - t0)) s)  FAILED, log: $log"
    grep -E '^\[  FAILED  \] .* \([0-9]+ ms\)$' "$log" | sed 's/^/    /' || true
  else
    say "$name: $what ($(($(date +%s) - t0)) s)"
  fi
done
elapsed=$(($(date +%s) - started))
summary="Windows under Wine: $programs programs, $ran tests, $passed passed, $failed failed, $skipped_by_name left out by name (docs/platform-ui.md), $elapsed s"
say "$summary"
echo "$summary" >"$work/summary"
if ((programs_failed)); then
  say "failed: ${failed_programs[*]}"
  exit 1
fi
