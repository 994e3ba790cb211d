#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR under /usr, as the package does, and checks what a
# desktop and a packager see: exactly the expected files with their modes, the desktop entry,
# metadata and MIME package accepted by their validators and agreeing with each other, and
# manual pages that render without a single warning.
# Usage: check_install.sh BUILD_DIR EXPECTED_FILE_LIST
set -euo pipefail
build=$1
expected=$2

for tool in desktop-file-validate appstreamcli xmllint update-mime-database man groff; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/setup" >&2; exit 1; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

# Files and symlinks, each with its mode, sorted the same way as the expected list.
actual=$(cd "$root" && find . \( -type f -o -type l \) -printf '%m %P\n' | LC_ALL=C sort -k2)
if ! diff -u "$expected" <(echo "$actual") >&2; then
  fail "installed files differ from $expected (- expected, + installed)"
fi
odd_dirs=$(cd "$root" && find . -mindepth 1 -type d ! -perm 755 -printf '%m %P\n')
[ -z "$odd_dirs" ] || fail "folders not 755: $odd_dirs"

share=$root/usr/share
desktop=$share/applications/org.skelvane.Skelvane.desktop
metainfo=$share/metainfo/org.skelvane.Skelvane.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli validate"

mime_package=$share/mime/packages/org.skelvane.Skelvane.xml
xmllint --noout "$mime_package" || fail "xmllint $mime_package"
# update-mime-database only warns about a malformed package, so its output is the verdict.
mime=$scratch/mime
mkdir -p "$mime/packages"
cp "$mime_package" "$mime/packages/"
mime_messages=$(XDG_DATA_HOME=$scratch XDG_DATA_DIRS=$scratch update-mime-database "$mime" 2>&1)
[ -z "$mime_messages" ] || fail "update-mime-database: $mime_messages"
type=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "$desktop")
grep -qx "50:$type:\*\.bvh" "$mime/globs2" || fail "*.bvh is not mapped to the desktop's $type"
[ -f "$mime/$type.xml" ] || fail "the MIME package does not define the desktop's $type"
grep -qx "$type text/plain" "$mime/subclasses" || fail "$type is not a kind of text/plain"
grep -qa "HIERARCHY" "$mime/magic" || fail "$type has no HIERARCHY magic"
grep -q "<mediatype>$type</mediatype>" "$metainfo" || fail "the metadata does not provide $type"
# The project has no site of its own, so the metadata must not point anywhere.
! grep -qE "<url|<screenshot" "$metainfo" || fail "the metadata holds a URL or screenshot"

# man writes nothing to stderr for a clean page; any line there is a warning to mend.
for page in "$share"/man/man1/*.1.gz; do
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  warnings+=$(zcat "$page" | groff -man -ww -z 2>&1 | sed 's/^/groff: /')
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

exit $failed
