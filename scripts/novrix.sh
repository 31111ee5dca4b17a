#!/usr/bin/env bash
# Builds the novrix host with its driver folder (preset "linux"), then runs it
# with the given arguments (default: "prefs --show", the printing preferences of
# the default printer, which the first run creates).
#
# The build shows its progress (Ninja's [done/total] lines) and, when a source does
# not compile, the compiler's message; the first build on a 2-core machine takes a
# while (README.md, "Quick start"), later ones only rebuild what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "novrix.sh: checking the build's Debian packages (scripts/setup-deps.sh)"
scripts/setup-deps.sh
# ccache, when installed, keeps rebuilds after a clean short.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
  export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
fi
echo "novrix.sh: configuring build/linux"
log=$(mktemp)
if ! cmake --preset linux >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "novrix.sh: cmake --preset linux failed (above)" >&2
  exit 1
fi
rm -f "$log"
echo "novrix.sh: building novrix and its driver folder"
if ! cmake --build --preset linux --target novrix -j "$(nproc)"; then
  echo "novrix.sh: the build failed; the compiler's message is above" >&2
  exit 1
fi
if [ "$#" -eq 0 ]; then set -- prefs --show; fi
exec build/linux/bin/novrix "$@"
