#!/usr/bin/env bash
# The whole test suite: the Linux build with AddressSanitizer and
# UndefinedBehaviorSanitizer, every test, then the Windows cross build and its
# export-table check.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

jobs=$(nproc)
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --preset linux-asan -j "$jobs"

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
if [[ -f build/windows/driver/NOVRIX_U.DLL ]]; then
  cmake -DDLL=build/windows/driver/NOVRIX_U.DLL -DDEF=src/frame/exports.def -P cmake/check_pe_exports.cmake
fi
