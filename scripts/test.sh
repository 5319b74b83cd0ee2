#!/usr/bin/env bash
# Runs every test on a fresh machine: set-up, the native tree, the product's i686 tree, and the
# Windows tests under Wine (the i686 tree where this machine runs 32-bit code, else the x86_64
# tree of the same sources).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=${KESTOR_JOBS:-$(nproc)}
status=0

step() { echo; echo "== $*"; }

step "native tree"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs" || status=1

step "win32 tree (the product, i686)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"

if bash scripts/host-runs-32bit.sh; then
  wine_tree=win32
else
  echo "This machine cannot execute 32-bit code: the Windows tests run from the x86_64 tree."
  wine_tree=win64
  step "win64 tree (the same sources, x86_64)"
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j"$jobs"
fi
step "Windows tests under Wine ($wine_tree)"
ctest --preset "$wine_tree" -j"$jobs" || status=1

exit $status
