#!/usr/bin/env bash
# Renews docs/pictures/: a PNG picture of every page of the sample model's
# printing preferences (and of the custom paper and watermark dialogs), drawn by
# `novrix prefs --picture` on a fresh platform root with the default settings.
set -euo pipefail
cd "$(dirname "$0")/.."
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
  export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
fi
cmake --preset linux >/dev/null
cmake --build --preset linux --target novrix
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
rm -f docs/pictures/*.png
mkdir -p docs/pictures
build/linux/bin/novrix --root "$root" prefs --picture docs/pictures
build/linux/bin/novrix --root "$root" picture docs/pictures --press "Custom Paper..."
build/linux/bin/novrix --root "$root" picture docs/pictures --page "Stamp/Composition" --press "Edit Watermarks..."
