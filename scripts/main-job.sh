#!/usr/bin/env bash
# The main job: set-up, build Kestor's programs and say what was built.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)"
echo
echo "Built (win32 tree, build/win32):"
find build/win32 -name '*.exe' -not -path '*/googletest/*' -newer CMakeLists.txt -print0 | xargs -0 -r file
