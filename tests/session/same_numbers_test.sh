#!/usr/bin/env bash
# The same numbers in every build and on every machine: replays of kept scripts (a played game,
# the built-in player for two minutes, a recording of live play) give dumps whose
# SHA-256 is kept beside them, as the plain build made them. A build that computes a single bit
# otherwise fails here; ./test builds one that would if anything were left to chance (clang for
# x86-64-v3, whose fused multiply-adds the build must keep out).
# Usage: same_numbers_test.sh TIDEWICK SOURCE_ROOT
set -euo pipefail
game=$1 root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ALSOFT_DRIVERS=null ASAN_OPTIONS=detect_leaks=0
failed=0
while read -r kept script; do
  "$game" replay "$root/$script" --dump "$work/dump.jsonl" 2>"$work/errors" ||
    { echo "same_numbers_test: $script does not replay: $(cat "$work/errors")"; exit 1; }
  made=$(sha256sum "$work/dump.jsonl" | cut -d ' ' -f 1)
  if [ "$made" = "$kept" ]; then
    echo "same_numbers_test: $script: $(wc -l <"$work/dump.jsonl") dump lines, as kept"
  else
    echo "same_numbers_test: $script: the dump's SHA-256 is $made, not the kept $kept"
    failed=1
  fi
done <"$root/tests/session/same_numbers/dumps.sha256"
exit "$failed"
