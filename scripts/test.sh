#!/usr/bin/env bash
# Every test: installs what is missing, builds the three presets, runs the native tests, then the
# Windows tests under Wine. The 32-bit product is built (warnings are errors) but cannot run here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
trap '"$root/scripts/wine-session" stop' EXIT
"$root/scripts/build.sh"

ctest --preset native
"$root/scripts/wine-session" start
ctest --preset win64
echo "all tests passed"
