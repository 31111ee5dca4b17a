#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, idempotently: packages
# already present are left alone, and apt is only asked when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libssl-dev openssl libfreetype-dev libfontconfig-dev fonts-dejavu-core nlohmann-json3-dev libcpp-httplib-dev
  libkrb5-dev krb5-kdc krb5-admin-server krb5-user
  libldap-dev slapd ldap-utils
  binutils-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix
)
if [[ "${NOVRIX_WITH_FUZZ:-0}" == 1 ]]; then
  packages+=(clang libclang-rt-14-dev)
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
  # slapd is only wanted for the tests, which start their own on 127.0.0.1: the
  # system's directory server that the package starts (on every interface) is
  # stopped and kept from starting again.
  if [[ " ${missing[*]} " == *" slapd "* ]]; then
    if command -v systemctl >/dev/null && [[ -d /run/systemd/system ]]; then
      "${sudo_cmd[@]}" systemctl disable --now slapd >/dev/null 2>&1 || true
    elif command -v service >/dev/null; then
      "${sudo_cmd[@]}" service slapd stop >/dev/null 2>&1 || true
    fi
  fi
fi
