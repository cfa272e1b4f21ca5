#!/usr/bin/env bash
# Screenshot of the setup window under Wine, with its title bar (a Wine virtual desktop):
#   scripts/shoot-window.sh OUT.png [--russian] [--ppi 120]
# Builds nothing: run scripts/build.sh first. The prefix's OEM code page and resolution are put
# back afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: $0 OUT.png [--russian] [--ppi N]}
shift
codepage=437
ppi=96
while [ $# -gt 0 ]; do
  case "$1" in
    --russian) codepage=866 ;;
    --ppi) ppi=$2; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
"$root/scripts/wine-session" start
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix} WINEDEBUG=-all LC_ALL=C.UTF-8
export DISPLAY=:${ZARVO_DISPLAY:-77}
wine=/usr/lib/wine/wine64
setting() { "$wine" reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 </dev/null; }
restore() {
  setting 'HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage' OEMCP REG_SZ 437
  setting 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD 96
}
trap restore EXIT
setting 'HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage' OEMCP REG_SZ "$codepage"
setting 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$ppi"
(cd /tmp && "$wine" explorer /desktop=zarvo-shot,800x480 "$root/build/win64/app/ZarvoFRE.exe" >/dev/null 2>&1 </dev/null &)
window=$(timeout 30 xdotool search --sync --name "Zarvo LITE" | head -n 1)
sleep 2
desktop=$(xdotool search --name "zarvo-shot" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$desktop")"
tmp=$(mktemp --suffix=.png)
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$tmp"
# The setup window with its frame: the bounding box of what is not the desktop's colour.
convert "$tmp" -bordercolor "$(convert "$tmp" -format '%[pixel:p{0,0}]' info:)" -border 1 -trim +repage "$out"
rm -f "$tmp"
xdotool windowclose "$window" 2>/dev/null || true
sleep 1
pkill -f 'explorer.exe /desktop=zarvo-shot' 2>/dev/null || true
echo "$out"
