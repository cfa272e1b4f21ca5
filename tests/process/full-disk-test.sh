#!/usr/bin/env bash
# The full-disk install case on a real full drive: a 1 MB RAM file system linked into the Wine
# prefix as a drive letter, named to the test by ZARVO_FULL_DISK_DRIVE. Without root (or without
# mount) the case runs without a drive and reports itself skipped. The drive is always removed.
#   full-disk-test.sh TEST_EXE WINE_RUN
set -u
test_exe=$1
wine_run=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${WINEPREFIX:-$root/build/wineprefix}
mountpoint_dir=$(mktemp -d /tmp/zarvo-full-disk.XXXXXX)
link=

cleanup() {
  [ -n "$link" ] && rm -f "$link"
  if mountpoint -q "$mountpoint_dir"; then
    # A Wine process the time limit ended may still hold a file there.
    umount "$mountpoint_dir" 2>/dev/null || umount -l "$mountpoint_dir"
  fi
  rmdir "$mountpoint_dir" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The prefix (and its dosdevices) exists once a Wine session has started.
"$root/scripts/wine-session" start
unset ZARVO_FULL_DISK_DRIVE
if mount -t tmpfs -o size=1m tmpfs "$mountpoint_dir" 2>/dev/null; then
  for letter in e f g h i j k l m n o p; do
    candidate="$prefix/dosdevices/$letter:"
    if [ ! -e "$candidate" ] && [ ! -L "$candidate" ]; then
      ln -s "$mountpoint_dir" "$candidate" && link=$candidate
      export ZARVO_FULL_DISK_DRIVE="${letter^^}:"
      break
    fi
  done
  [ -n "$link" ] || echo "full-disk-test: no free drive letter in $prefix/dosdevices"
else
  echo "full-disk-test: cannot mount a 1 MB tmpfs here (needs root); the case reports SKIPPED"
fi
[ -n "${ZARVO_FULL_DISK_DRIVE:-}" ] && echo "full-disk-test: $mountpoint_dir is drive $ZARVO_FULL_DISK_DRIVE"

# Shorter than the CTest limit, so that the drive is removed even when the case hangs.
timeout 240 "$wine_run" "$test_exe" --gtest_filter='FullDisk.*'
