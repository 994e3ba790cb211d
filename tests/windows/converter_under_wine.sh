#!/usr/bin/env bash
# skelvane-convert.exe under wine against the Linux build of the same sources, as a user in a
# terminal would run it: every fixture converts to the same bytes, the dry run prints the same
# report, refusals and exit statuses are the same, names that are not ASCII work, and an
# interrupted run leaves no temporary file and the old output as it was.
#
#   tests/windows/converter_under_wine.sh WINDOWS_EXE LINUX_EXE
# Wine runs in the caller's WINEPREFIX (scripts/build-windows keeps one in build-windows/).
set -uo pipefail
# Quiet: no hint about wine32 on every run, no Mono or Gecko installers for a new prefix.
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
windows=$(realpath "$1")
linux=$(realpath "$2")
data=$(realpath "$(dirname "$0")/../data")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

checks=0
failures=0
pass() { checks=$((checks + 1)); }
fail() {
  checks=$((checks + 1))
  failures=$((failures + 1))
  echo "FAILED: $*"
}
# Runs a command in a folder, keeping its exit status and its stderr without the CR that
# Windows' text mode writes before each LF, with paths in '/' (Windows writes "out\walk.bvh").
run_in() {
  local folder=$1
  shift
  (cd "$folder" && "$@" >stdout 2>stderr.raw)
  local status=$?
  tr -d '\r' <"$folder/stderr.raw" | tr '\\' / >"$folder/stderr"
  rm -f "$folder/stderr.raw"
  return $status
}

# Each side works in a folder of its own holding the same inputs; after the same command both
# must hold the same files with the same bytes, and have said the same.
same_run() {
  local what=$1
  shift
  rm -rf "$work/win" "$work/lin"
  cp -r "$work/inputs" "$work/win"
  cp -r "$work/inputs" "$work/lin"
  run_in "$work/win" wine "$windows" "$@"
  local windows_status=$?
  run_in "$work/lin" "$linux" "$@"
  local linux_status=$?
  if [ "$windows_status" != "$linux_status" ]; then
    fail "$what: exit status $windows_status under wine, $linux_status on Linux"
  elif ! diff -r "$work/win" "$work/lin" >"$work/diff"; then
    fail "$what: the two runs differ:"
    head -20 "$work/diff"
  else
    pass
  fi
  return "$windows_status"
}

fixtures=("$data"/*.bvh "$data"/other-rigs/*.bvh)
rm -rf "$work/inputs" && mkdir "$work/inputs"
cp "${fixtures[@]}" "$work/inputs/"
names=()
for fixture in "${fixtures[@]}"; do names+=("$(basename "$fixture")"); done

same_run "every fixture" "${names[@]}"
same_run "every fixture, best fit of each" --map auto "${names[@]}"
same_run "every fixture, whole names, two parts off" -m poser-max-names --drop lHand --drop 5 \
  "${names[@]}"
same_run "the dry run's report" --dry-run "${names[@]}"
same_run "the dry run's JSON" --dry-run --json --map auto "${names[@]}"

# Standard input to standard output, bytes unchanged on the way (no text mode).
for fixture in "${fixtures[@]}"; do
  if ! cmp -s <(wine "$windows" - <"$fixture" 2>/dev/null) <("$linux" - <"$fixture" 2>/dev/null); then
    fail "standard streams: $(basename "$fixture") differs"
  else
    pass
  fi
done

# Refusals and usage errors: the same words, the same status.
rm -rf "$work/inputs" && mkdir "$work/inputs"
cp "$data/linden_avatar_walk_crlf.bvh" "$work/inputs/walk.bvh"
cp "$data/opencollar_kneel.bvh" "$work/inputs/walk_max.bvh"
printf 'not motion\n' >"$work/inputs/notes.bvh"
mkdir "$work/inputs/out"
same_run "an output that is another input" walk.bvh walk_max.bvh
[ $? = 1 ] && pass || fail "an output that is another input: not refused"
same_run "one file twice" -o out walk.bvh ./walk.bvh
[ $? = 1 ] && pass || fail "one file twice: the second not refused"
same_run "not BVH" -o out notes.bvh
[ $? = 1 ] && pass || fail "not BVH: not refused"
same_run "not BVH, forced" -o out --force notes.bvh
same_run "a missing folder" -o missing walk.bvh
[ $? = 2 ] && pass || fail "a missing folder: not a usage error"
same_run "a bad option" --dry walk.bvh
same_run "the help, through the C library's stream" --help
same_run "the list of mappings" --list-maps

# Names beyond ASCII, in and out.
rm -rf "$work/inputs" && mkdir "$work/inputs"
cp "$data/opencollar_kneel.bvh" "$work/inputs/Tänzer 日本 😀.bvh"
same_run "a name beyond ASCII" "Tänzer 日本 😀.bvh"
[ -f "$work/win/Tänzer 日本 😀_max.bvh" ] && pass || fail "a name beyond ASCII: no output"

# Windows alone: a name whose output Windows would take for a device is refused.
rm -rf "$work/win" && mkdir "$work/win"
cp "$data/opencollar_kneel.bvh" "$work/win/com1.take.bvh"
run_in "$work/win" wine "$windows" com1.take.bvh
status=$?
if [ $status = 1 ] && grep -q "not a regular file" "$work/win/stderr" &&
  [ ! -e "$work/win/com1.take_max.bvh" ]; then
  pass
else
  fail "a reserved device name as output: status $status, $(cat "$work/win/stderr")"
fi

# Windows alone: a source named as a device is said to be one.
cp "$data/opencollar_kneel.bvh" "$work/win/CON.bvh"
run_in "$work/win" wine "$windows" CON.bvh
status=$?
if [ $status = 1 ] && grep -q "^skelvane-convert: CON.bvh: a name Windows keeps for a device" \
  "$work/win/stderr"; then
  pass
else
  fail "a reserved device name as source: status $status, $(cat "$work/win/stderr")"
fi

# Standard output is a file of the run, known by its index alone where wine gives no more: it
# is never the file standard input is, nor one a file output of the run wrote.
rm -rf "$work/win" && mkdir -p "$work/win/o1"
cp "$data/linden_avatar_walk_crlf.bvh" "$work/win/w.bvh"
cp "$data/opencollar_kneel.bvh" "$work/win/k.bvh"
(cd "$work/win" && wine "$windows" - <w.bvh >>w.bvh 2>/dev/null)
status=$?
if [ $status = 1 ] && cmp -s "$work/win/w.bvh" "$data/linden_avatar_walk_crlf.bvh"; then
  pass
else
  fail "standard output appended onto standard input: status $status"
fi
for order in "- w.bvh" "w.bvh -"; do
  # shellcheck disable=SC2086 # the order is two words
  (cd "$work/win" && wine "$windows" -o o1 $order <k.bvh >o1/w_max.bvh 2>stderr)
  status=$?
  if [ $status = 1 ] && grep -q "already written from" "$work/win/stderr"; then
    pass
  else
    fail "standard output that is a file output ($order): status $status, $(cat "$work/win/stderr")"
  fi
done
if (cd "$work/win" && wine "$windows" - <k.bvh >o1/other.bvh 2>/dev/null) &&
  cmp -s "$work/win/o1/other.bvh" <("$linux" - <"$work/win/k.bvh" 2>/dev/null); then
  pass
else
  fail "standard input to another file: not converted"
fi

# Paths past the old limit of 260 characters: the program declares itself long-path aware.
long=$(printf 'a%.0s' $(seq 1 120))
long="$long/$long/$long"
mkdir -p "$work/win/$long"
cp "$data/opencollar_kneel.bvh" "$work/win/$long/k.bvh"
if (cd "$work/win" && wine "$windows" -q -o "$long" "$long/k.bvh" 2>/dev/null) &&
  [ -f "$work/win/$long/k_max.bvh" ] &&
  grep -q "<ws2:longPathAware>true<" "$windows"; then
  pass
else
  fail "a path of ${#long} characters, or no longPathAware in the manifest"
fi

# Interrupted while writing: Ctrl+C (wine turns SIGINT into it), SIGTERM and SIGKILL each leave
# no temporary file and the old output as it was.
rm -rf "$work/big" && mkdir -p "$work/big/out"
for _ in $(seq 1 40); do cat "$data/opencollar_kneel.bvh"; done >"$work/big/part.bvh"
for _ in $(seq 1 100); do cat "$work/big/part.bvh"; done >"$work/big/big.bvh"
rm "$work/big/part.bvh"
for signal in INT TERM KILL; do
  printf 'old output\n' >"$work/big/out/big_max.bvh"
  (cd "$work/big" && exec wine "$windows" --force -o out big.bvh 2>/dev/null) &
  pid=$!
  # Until the temporary holds data: the run is writing, past the moment the file is made and
  # marked for deletion.
  for _ in $(seq 1 400); do
    [ -n "$(find "$work/big/out" -name '.skelvane-*' -size +0 2>/dev/null)" ] && break
    sleep 0.01
  done
  kill -"$signal" "$pid"
  { wait "$pid"; } 2>/dev/null
  status=$?
  sleep 0.2
  left=$(ls -A "$work/big/out")
  if [ "$left" = "big_max.bvh" ] && [ "$(cat "$work/big/out/big_max.bvh")" = "old output" ] &&
    [ "$status" != 0 ]; then
    pass
  else
    fail "SIG$signal while writing: status $status, the folder holds: $left"
  fi
done

echo "$checks checks, $failures failed"
[ "$failures" = 0 ]
