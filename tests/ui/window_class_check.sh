#!/usr/bin/env bash
# The window's class on X11 is the desktop entry's StartupWMClass whatever name the program is
# started by. Usage: window_class_check.sh SKELVANE DESKTOP_ENTRY; exits 77 without Xvfb.
set -u
command -v xvfb-run >/dev/null && command -v xprop >/dev/null || exit 77
expected=$(sed -n 's/^StartupWMClass=//p' "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ln -s "$(readlink -f "$1")" "$scratch/renamed"
# A display number of its own: two servers started at once by -a alone may pick the same one.
property=$(xvfb-run -a -n $((100 + $$ % 800)) sh -c '
  QT_QPA_PLATFORM=xcb "$1" & pid=$!
  for i in $(seq 1 100); do xprop -name Skelvane WM_CLASS 2>/dev/null && break; sleep 0.1; done
  kill $pid' sh "$scratch/renamed")
# WM_CLASS(STRING) = "instance", "class"
if [ -z "$expected" ] || [[ "$property" != *", \"$expected\"" ]]; then
  echo "FAIL: window '$property', StartupWMClass '$expected'" >&2
  exit 1
fi
