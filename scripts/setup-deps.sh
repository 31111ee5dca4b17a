#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, idempotently: packages
# already present are left alone, and apt is only asked when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libssl-dev openssl libfreetype-dev nlohmann-json3-dev libcpp-httplib-dev
  binutils-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix
)
if [[ "${NOVRIX_WITH_FUZZ:-0}" == 1 ]]; then
  packages+=(clang libclang-rt-14-dev)
fi
# The side-by-side benchmark with CUPS (bench/peers/run.sh) only.
if [[ "${NOVRIX_WITH_PEERS:-0}" == 1 ]]; then
  packages+=(libcups2-dev python3)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
