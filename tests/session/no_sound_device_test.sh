#!/usr/bin/env bash
# The game started where OpenAL has no device at all: one line says so, and nothing else is said
# of sound (no line per sound, none of the sound library's own).
# Usage: no_sound_device_test.sh TIDEWICK
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
ALSOFT_DRIVERS=none ASAN_OPTIONS=detect_leaks=0 timeout --preserve-status -s INT 4 "$1" --headless \
  --defaults "$work/defaults.json" >"$work/out" 2>&1 || status=$?
# Interrupted after four seconds, the game ends as a closed window ends it: with status 0.
if [ "$status" != 0 ]; then
  echo "no_sound_device_test: the game ended with status $status:"; cat "$work/out"; exit 1
fi
expected="tidewick: no sound device; playing without sound"
# Headless, the game says first how to see it working.
if [ "$(grep -v "running without a window" "$work/out")" != "$expected" ]; then
  echo "no_sound_device_test: the terminal said:"; cat "$work/out"; exit 1
fi
echo "no_sound_device_test: one line: $expected"
