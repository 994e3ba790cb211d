#!/usr/bin/env bash
# A --map that cannot be used ends the window program with status 2 and one line on stderr,
# before it would need a display; one that can opens the window. Usage: map_option_check.sh SKELVANE
set -u
SKELVANE=$1
failed=0
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" || exit 1
printf '# skelvane-map 1\nfrom,to\n' >bad.csv
printf '# skelvane-map 1\nfrom,to,part\nroot_bone,Hips,\n' >rig.csv
refused() {  # LINE-EXPECTED MAP
  local err rc
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$SKELVANE" --map "$2" a.bvh 2>&1 >/dev/null)
  rc=$?
  if [ "$rc" -ne 2 ] || [ "$err" != "$1" ]; then
    printf 'FAIL: --map %s: status %s:\n%s\n' "$2" "$rc" "$err" >&2
    failed=1
  fi
}

refused "skelvane: bad.csv:2: missing header row 'from,to,part'" bad.csv
refused "skelvane: --map: no mapping named 'mixamo' (see --help)" mixamo
# Still open when timed out.
for map in rig.csv auto mixamo-max; do
  env -u DISPLAY -u WAYLAND_DISPLAY timeout 1 "$SKELVANE" -platform offscreen --map "$map" 2>/dev/null
  [ $? -eq 124 ] || { echo "FAIL: --map $map did not open the window" >&2; failed=1; }
done
exit $failed
