#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR as a packager would, validates the desktop entry and
# the metainfo, looks for every icon and the man page, and replays a script with the installed
# game: its dump must be the build tree's, byte for byte.
# Usage: install_test.sh BUILD_DIR SCRIPT.json
set -euo pipefail
build=$1 script=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

share=$root/usr/share
desktop-file-validate "$share/applications/game.tidewick.Tidewick.desktop"
appstreamcli validate --no-net --no-color "$share/metainfo/game.tidewick.Tidewick.metainfo.xml"
for size in 16 22 24 32 48 64 128 256 512; do
  test -s "$share/icons/hicolor/${size}x${size}/apps/game.tidewick.Tidewick.png"
done
test -s "$share/icons/hicolor/scalable/apps/game.tidewick.Tidewick.svg"
grep -q '^\.TH TIDEWICK "6"' "$share/man/man6/tidewick.6"
grep -q 'replay SCRIPT.json' "$share/man/man6/tidewick.6"
for shot in the-main-menu a-busy-round the-tutorial; do
  test -s "$share/doc/tidewick/screenshots/$shot.png"
done
test -s "$share/tidewick/MainWindow.json"
test ! -e "$share/tidewick/sounds.stamp"

export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null ASAN_OPTIONS=detect_leaks=0
"$root/usr/bin/tidewick" replay "$script" --dump "$work/installed.jsonl"
"$build/session/tidewick" replay "$script" --dump "$work/built.jsonl"
cmp "$work/installed.jsonl" "$work/built.jsonl"
"$root/usr/bin/tidewick-assets" check >/dev/null
echo "install_test: installed tree validated; its replay matches the build tree's"
