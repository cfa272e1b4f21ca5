#!/usr/bin/env bash
# The main job: builds the setup with the bundled sample product (32- and 64-bit), shows what its
# payload holds, and runs the 64-bit build under Wine on a virtual screen, keeping a screenshot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
trap '"$root/scripts/wine-session" stop' EXIT
"$root/scripts/build.sh"

payload=build/native/resources/sample-payload.bin
echo "== payload of ZarvoFRE.exe =="
build/native/tools/zarvo-pack list "$payload"
build/native/tools/zarvo-pack verify "$payload"
echo "== what an install into an empty folder would process =="
empty=$(mktemp -d)
build/native/tools/zarvo-pack plan "$payload" --dir "$empty"
rmdir "$empty"

echo "== running build/win64/app/ZarvoFRE.exe under Wine =="
"$root/scripts/wine-session" start
export DISPLAY=:${ZARVO_DISPLAY:-77}
export WINEPREFIX=$root/build/wineprefix WINEDEBUG=-all
(/usr/lib/wine/wine64 build/win64/app/ZarvoFRE.exe >/dev/null 2>&1 </dev/null &)
window=$(timeout 30 xdotool search --sync --name "Zarvo LITE" | head -n 1)
sleep 1
mkdir -p build/shots
import -window root build/shots/main.png
echo "screenshot: build/shots/main.png"
xdotool windowfocus --sync "$window" key Return 2>/dev/null || true
sleep 1
xdotool search --name "Zarvo LITE" >/dev/null 2>&1 && xdotool windowclose "$window" 2>/dev/null || true
