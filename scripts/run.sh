#!/usr/bin/env bash
# The main job: builds the setup with the bundled sample product (32- and 64-bit), shows what its
# payload holds, and runs the 64-bit build under Wine.
#   On a display of the caller's (DISPLAY set, not ours): opens the setup window and waits for it.
#   Otherwise on our virtual screen: "/update" into a fresh folder, a screenshot of the ready
#   window, Enter to install, a screenshot of the finished one, what was installed and where,
#   Enter to close, and the exit code.
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

export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix} WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
wine=/usr/lib/wine/wine64
setup=build/win64/app/ZarvoFRE.exe
our_display=":${ZARVO_DISPLAY:-77}"
caller_display=${DISPLAY:-}
"$root/scripts/wine-session" start

if [ -n "$caller_display" ] && [ "$caller_display" != "$our_display" ]; then
  echo "== opening $setup on display $caller_display; close the window to end =="
  export DISPLAY=$caller_display
  set +e
  "$wine" "$setup" >/dev/null 2>&1 </dev/null
  echo "exit code: $?"
  exit 0
fi

export DISPLAY=$our_display
mkdir -p build/shots
rm -f build/shots/ready.png build/shots/finished.png
folder_name="ZarvoRun-$(date +%Y%m%d-%H%M%S)"
folder="$WINEPREFIX/drive_c/$folder_name"
windows_folder="C:\\$folder_name\\"
user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
links=("$user_dir/Desktop/Zarvo Lite.lnk"
       "$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zarvo Lite.lnk")
log=$(mktemp)
rc_file=$(mktemp)
marker=$(mktemp)
rm -f "$rc_file"

shoot() {  # the window's area of the screen
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
  echo "screenshot: $1"
}
fail() { echo "run.sh: $*" >&2; [ -s "$log" ] && cat "$log" >&2; exit 1; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
links_written() {
  for link in "${links[@]}"; do [ "$link" -nt "$marker" ] || return 1; done
}
ended() { [ -s "$rc_file" ]; }

echo "== running $setup /update \"$windows_folder\" under Wine on $DISPLAY =="
sleep 1  # the links must come out newer than the marker
( "$wine" "$setup" /update "$windows_folder" >"$log" 2>&1 </dev/null; echo $? >"$rc_file" ) &
window=$(timeout 60 xdotool search --sync --name "Zarvo LITE" 2>/dev/null | head -n 1) || true
[ -n "$window" ] || fail "no setup window within 60 s"
sleep 2  # the first paint
shoot build/shots/ready.png

xdotool windowfocus --sync "$window" key Return 2>/dev/null || xdotool key --window "$window" Return
# The links are the run's last step; the closing note follows them at once.
wait_for 120 links_written || fail "the install did not finish within 120 s"
sleep 2
shoot build/shots/finished.png

echo "== installed into $windows_folder ($folder) =="
(cd "$folder" && find . -type f -printf '%P\t%s bytes\n' | sort)
echo "== links made =="
for link in "${links[@]}"; do
  # The target is kept as UTF-16 text in the link.
  target=$(strings -a -el "$link" | grep -i -m1 'ZarvoF\.exe' || true)
  echo "$link -> ${target:-?} ($(stat -c %s "$link") bytes)"
done

xdotool windowfocus --sync "$window" key Return 2>/dev/null || xdotool key --window "$window" Return
wait_for 30 ended || fail "the setup did not end within 30 s of the second Enter"
echo "exit code: $(cat "$rc_file")"
rm -f "$log" "$rc_file" "$marker"
