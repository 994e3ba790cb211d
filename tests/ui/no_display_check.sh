#!/usr/bin/env bash
# Without a display, or with one that cannot be reached, the window program ends with status 1
# and one line naming skelvane-convert instead of Qt's abort; a platform chosen by name opens its
# window without one. Usage: no_display_check.sh SKELVANE
set -u
failed=0
check() {  # TEXT-EXPECTED-IN-THE-LINE COMMAND-AFTER-ENV...
  local expected=$1 err rc
  shift
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE "$@" 2>&1 >/dev/null)
  rc=$?
  if [ "$rc" -ne 1 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] ||
     [[ "$err" != *"$expected"*"; skelvane-convert converts from a terminal" ]]; then
    printf 'FAIL: %s: status %s:\n%s\n' "$*" "$rc" "$err" >&2
    failed=1
  fi
}
check "neither DISPLAY nor WAYLAND_DISPLAY names one" "$1"
check "the display :254 cannot be reached" DISPLAY=:254 "$1"
check "the display :253 cannot be reached" DISPLAY=:254 "$1" -display :253
check "the Wayland display nowhere-0 cannot be reached" WAYLAND_DISPLAY=nowhere-0 "$1"
# A platform chosen by name needs no display: the window is still open when timed out.
opens() {  # COMMAND-AFTER-ENV...
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 1 env "$@" 2>/dev/null
  [ $? -eq 124 ] || { echo "FAIL: $* did not open its window" >&2; failed=1; }
}
opens QT_QPA_PLATFORM=offscreen "$1"
opens "$1" -platform offscreen
exit $failed
