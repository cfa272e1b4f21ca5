#!/usr/bin/env bash
# Installs what is missing and builds the three presets: native, win64 and the shipped win32.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
for preset in native win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
