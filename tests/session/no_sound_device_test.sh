#!/usr/bin/env bash
# The game started where OpenAL has no device at all: one line says so, and nothing else is said
# of sound (no line per sound, none of the sound library's own).
# Usage: no_sound_device_test.sh TIDEWICK
set -euo pipefail
work=$(mktemp -d)
trap 'kill -KILL "$game" 2>/dev/null || true; rm -rf "$work"' EXIT
ALSOFT_DRIVERS=none ASAN_OPTIONS=detect_leaks=0 "$1" --headless --defaults "$work/defaults.json" \
  --dump "$work/dump.jsonl" >"$work/out" 2>&1 &
game=$!
# Launched (the dump's first line) with every sound loaded, however long a busy machine takes.
for _ in $(seq 1200); do
  [ -s "$work/dump.jsonl" ] || ! kill -0 "$game" 2>/dev/null && break
  sleep 0.1
done
[ -s "$work/dump.jsonl" ] || { echo "no_sound_device_test: no launch:"; cat "$work/out"; exit 1; }
# Told to stop, the game ends as a closed window ends it: with status 0.
kill -TERM "$game"
for _ in $(seq 600); do
  kill -0 "$game" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$game" 2>/dev/null; then
  echo "no_sound_device_test: the game did not stop in a minute:"; cat "$work/out"; exit 1
fi
status=0
wait "$game" || status=$?
if [ "$status" != 0 ]; then
  echo "no_sound_device_test: the game ended with status $status:"; cat "$work/out"; exit 1
fi
expected="tidewick: no sound device; playing without sound"
# Headless, the game says first how to see it working.
if [ "$(grep -v "running without a window" "$work/out")" != "$expected" ]; then
  echo "no_sound_device_test: the terminal said:"; cat "$work/out"; exit 1
fi
echo "no_sound_device_test: one line: $expected"
