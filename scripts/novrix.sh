#!/usr/bin/env bash
# Builds the driver folder and the tools (preset "linux"), then runs the novrix
# host with the given arguments (default: "info").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" >/dev/null
exec build/linux/bin/novrix "${@:-info}"
