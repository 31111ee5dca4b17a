#!/usr/bin/env bash
# Side by side with CUPS: the constraint check of libcups (ppdConflicts, a whole
# check; cupsResolveConflicts after marking one option, one change) and ours
# (constraint_peer: a whole-sheet check; one control's check after its change) on
# the same generated PPDs (gen_ppd.py: 60 options x 6 choices, N random
# constraints, fixed seed).  Each round runs the two programs one after the other;
# after ROUNDS rounds the medians and their ratios are printed (ours / CUPS: under
# 1 is faster).  Times are CPU times; on a shared machine only the ratios of one
# run mean anything.
#
#   bench/peers/run.sh                     # 150 and 2,000 rules, 5 rounds
#   RULES="150 500 1000 2000" ROUNDS=7 bench/peers/run.sh
#
# Needs Debian's libcups2-dev (NOVRIX_WITH_PEERS=1 scripts/setup-deps.sh installs it)
# and builds build/linux's constraint_peer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
NOVRIX_WITH_PEERS=1 "$root/scripts/setup-deps.sh"
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
  export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
fi
cd "$root"
[[ -f build/linux/build.ninja ]] || cmake --preset linux >/dev/null
cmake --build --preset linux --target constraint_peer >/dev/null
ours="$root/build/linux/bin/constraint_peer"
w=$(mktemp -d)
trap 'rm -rf "$w"' EXIT
# The PPD calls measured are the ones libcups marks deprecated; they are what we compare with.
gcc -O2 -Wall -Wno-deprecated-declarations -o "$w/cups_peer" "$here/cups_peer.c" -lcups
rounds=${ROUNDS:-5}
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
printf '%-6s %12s %12s %7s   %12s %12s %7s   %10s %10s\n' rules "cups whole" "ours whole" ratio \
  "cups change" "ours change" ratio "cups open" "ours prep"
for r in ${RULES:-150 2000}; do
  python3 "$here/gen_ppd.py" 60 6 "$r" >"$w/b.ppd"
  : >"$w/cups"; : >"$w/ours"
  for ((i = 0; i < rounds; i++)); do
    "$w/cups_peer" "$w/b.ppd" >>"$w/cups"
    "$ours" "$w/b.ppd" >>"$w/ours"
  done
  cw=$(field ppdConflicts_us <"$w/cups" | median); ow=$(field whole_us <"$w/ours" | median)
  cc=$(field resolve_us <"$w/cups" | median); oc=$(field change_us <"$w/ours" | median)
  co=$(field open_ms <"$w/cups" | median); op=$(field prepare_ms <"$w/ours" | median)
  awk -v r="$r" -v cw="$cw" -v ow="$ow" -v cc="$cc" -v oc="$oc" -v co="$co" -v op="$op" 'BEGIN {
    printf "%-6s %10.2fus %10.2fus %7.2f   %10.2fus %10.2fus %7.2f   %8.3fms %8.3fms\n",
           r, cw, ow, ow / cw, cc, oc, oc / cc, co, op }'
done
