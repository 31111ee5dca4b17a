#!/usr/bin/env bash
# Builds the novrix host with its driver folder (preset "linux"), then runs it
# with the given arguments (default: "prefs --show", the printing preferences of
# the default printer, which the first run creates).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target novrix -j "$(nproc)" >/dev/null
if [ "$#" -eq 0 ]; then set -- prefs --show; fi
exec build/linux/bin/novrix "$@"
