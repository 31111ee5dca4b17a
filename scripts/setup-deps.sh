#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, idempotently: packages
# already present are left alone, and apt is only asked when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libssl-dev openssl libfreetype-dev libfontconfig-dev libpng-dev fonts-dejavu-core nlohmann-json3-dev libcpp-httplib-dev
  libkrb5-dev krb5-kdc krb5-admin-server krb5-user
  libldap-dev slapd ldap-utils
  binutils-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix
  wine wine64 xvfb
)
if [[ "${NOVRIX_WITH_FUZZ:-0}" == 1 ]]; then
  packages+=(clang libclang-rt-14-dev)
fi
# The side-by-side benchmark with CUPS (bench/peers/run.sh) only.
if [[ "${NOVRIX_WITH_PEERS:-0}" == 1 ]]; then
  packages+=(libcups2-dev)
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
  # The directory server and the Kerberos KDC are wanted only as programs: the
  # tests start their own on 127.0.0.1 (as scripts/wine-test.sh starts its own
  # Xvfb and Wine prefix).  Their packages would start system
  # services (slapd on every interface; kadmind, whose start fails without a
  # realm and fails the install with it), so services are kept from starting
  # while apt runs, through the policy hook, unless the machine has its own.
  policy=/usr/sbin/policy-rc.d
  own_policy=0
  if [[ ! -e $policy ]]; then
    printf '#!/bin/sh\n# no service starts while setup-deps.sh installs packages\nexit 101\n' |
      "${sudo_cmd[@]}" tee "$policy" >/dev/null
    "${sudo_cmd[@]}" chmod 755 "$policy"
    own_policy=1
  fi
  status=0
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    status=$?
  if ((own_policy)); then "${sudo_cmd[@]}" rm -f "$policy"; fi
  ((status == 0)) || { echo "setup-deps.sh: apt-get install failed ($status)" >&2; exit "$status"; }
  # Where services were started anyway (systemd starts what it enables), the
  # system's directory server and KDC are stopped and kept from starting again.
  if command -v systemctl >/dev/null && [[ -d /run/systemd/system ]]; then
    for service in slapd krb5-kdc krb5-admin-server; do
      "${sudo_cmd[@]}" systemctl disable --now "$service" >/dev/null 2>&1 || true
    done
  fi
fi
