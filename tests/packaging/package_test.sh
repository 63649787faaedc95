#!/usr/bin/env bash
# Builds the Debian package from this build and reads it back: its files, and dependencies that
# dpkg-shlibdeps found in the binaries plus the run-time fonts and GL drivers.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >/dev/null)
deb=$(ls "$work"/tidewick_*_*.deb)
files=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/tidewick ./usr/bin/tidewick-assets ./usr/share/tidewick/MainWindow.json \
  ./usr/share/tidewick/Nerin.png ./usr/share/applications/game.tidewick.Tidewick.desktop \
  ./usr/share/metainfo/game.tidewick.Tidewick.metainfo.xml ./usr/share/man/man6/tidewick.6 \
  ./usr/share/icons/hicolor/512x512/apps/game.tidewick.Tidewick.png; do
  grep -q " $path\$" <<<"$files" || { echo "package_test: $path is missing"; exit 1; }
done
depends=$(dpkg-deb --field "$deb" Depends)
for package in libsdl2-2.0-0 libopenal1 libpng16-16 libfreetype6 libfontconfig1 libgles2 \
  fonts-comic-neue fonts-dejavu-core libgl1-mesa-dri; do
  grep -q "$package" <<<"$depends" || { echo "package_test: no $package in: $depends"; exit 1; }
done
[ "$(dpkg-deb --field "$deb" Section)" = games ]
echo "package_test: $(basename "$deb"): $(wc -l <<<"$files") entries; depends on $depends"
