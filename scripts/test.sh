#!/usr/bin/env bash
# The whole test suite: the Linux build with AddressSanitizer and
# UndefinedBehaviorSanitizer, every test, then the Windows cross build, its
# export-table check and its test programs under Wine (scripts/wine-test.sh);
# one summary at the end.  Each step says what it does; Ninja shows the build's
# progress and the compiler's message when a source does not compile.
set -euo pipefail
cd "$(dirname "$0")/.."
step() { echo "test.sh: $*"; }
step "checking the build's Debian packages (scripts/setup-deps.sh)"
scripts/setup-deps.sh
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
  export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
fi
configure() {
  local log
  log=$(mktemp)
  if ! cmake --preset "$1" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "test.sh: cmake --preset $1 failed (above)" >&2
    exit 1
  fi
  rm -f "$log"
}

jobs=$(nproc)
step "configuring and building build/linux-asan (sanitizers on)"
configure linux-asan
cmake --build --preset linux-asan -j "$jobs"
step "running every test of build/linux-asan"
linux_log=$(mktemp)
trap 'rm -f "$linux_log"' EXIT
linux_status=0
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --preset linux-asan -j "$jobs" 2>&1 | tee "$linux_log" || linux_status=$?
linux_summary=$(grep -E '^[0-9]+% tests passed' "$linux_log" | tail -1)

step "configuring and building build/windows (mingw-w64)"
configure windows
cmake --build --preset windows -j "$jobs"
# Every PE DLL's export table against its .def (NOVRIX_U.DLL: 75 names at their ordinals).
step "checking the export tables of the Windows DLLs"
ctest --test-dir build/windows -R pe_exports --output-on-failure

step "running the Windows test programs under Wine (scripts/wine-test.sh)"
wine_status=0
scripts/wine-test.sh build/windows || wine_status=$?
wine_summary=$(tail -1 build/windows/wine/summary 2>/dev/null || echo "Windows under Wine: did not run")

step "summary"
echo "test.sh: Linux (build/linux-asan): ${linux_summary:-no result}"
echo "test.sh: $wine_summary"
((linux_status == 0 && wine_status == 0)) || { echo "test.sh: FAILED" >&2; exit 1; }
echo "test.sh: all passed"
