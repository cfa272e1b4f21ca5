#!/usr/bin/env bash
# Every test: installs what is missing, builds the three presets, runs the native tests, then the
# Windows tests under Wine. The 32-bit product is built (warnings are errors) but cannot run here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

trap '"$root/scripts/wine-session" stop' EXIT

for preset in native win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

ctest --preset native
"$root/scripts/wine-session" start
ctest --preset win64
echo "all tests passed"
