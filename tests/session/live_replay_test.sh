#!/usr/bin/env bash
# Live games in windows of an X server of the test's own, driven by synthetic input (mouse swipes,
# keys, a pause, a focus loss), recorded and dumped as they are played; each recording replays to
# the same dump, byte for byte: on a plain loop, on a loop made late by sleeps, and cut off by
# SIGKILL (up to its last whole event, the same as the live dump up to there); the game killed
# comes back at the next start, and the whole game replays as it was played. A recording is
# watched with every key of the watcher. A main menu left alone plays the demo until a key ends
# it. Meanwhile a game left to itself ends, and the last game kept in the state folder replays to
# the same end; the game over, nothing is kept to come back. The test waits for what the games
# write (their dumps and recordings are written line by line as they play) and sleeps only to pace
# its input as a player would.
# Usage: live_replay_test.sh TIDEWICK
set -euo pipefail
game=$1
work=$(mktemp -d)
servers=() games=()
trap 'kill -KILL "${games[@]}" 2>/dev/null || true; kill "${servers[@]}" 2>/dev/null || true
  rm -rf "$work"' EXIT
export ALSOFT_DRIVERS=null ASAN_OPTIONS=detect_leaks=0 XDG_STATE_HOME="$work/state"
# The games' windows are X windows on the test's own servers, whatever desktop the test runs in.
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

fail() {
  echo "live_replay_test: $*"
  exit 1
}

# Runs the check given (a command and its words) every tenth of a second until it holds; fails
# after `seconds`, or at once when the game waited on (`pid`, its output in `out`) has ended. The
# bounds leave room for a loaded machine: a check that holds ends the wait at once.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  for _ in $(seq $((seconds * 10))); do
    "$@" && return
    kill -0 "$pid" 2>/dev/null || fail "the game ended while the test waited for $what: $(cat "$out")"
    sleep 0.1
  done
  fail "no $what in $seconds s: $(cat "$out")"
}
has_line() { grep -q -- "$2" "$1" 2>/dev/null; }
frame_count() {
  local n
  n=$(grep -c '"frame"' "$1" 2>/dev/null) || true
  echo "${n:-0}"
}
more_frames_than() { [ "$(frame_count "$1")" -gt "$2" ]; }
more_lines_than() { [ "$(wc -l <"$1")" -gt "$2" ]; }

# Runs the check given until it holds, paced by the game's frames in `dump` rather than the clock:
# fails once the game has played `frames` more frames without it, when it makes no frame for a
# minute, or when it ends. A game slowed by a busy machine is given all the time it needs.
wait_for_frames() {
  local frames=$1 what=$2 dump=$3 first seen now stalled=0
  shift 3
  first=$(frame_count "$dump")
  seen=$first
  until "$@"; do
    kill -0 "$pid" 2>/dev/null || fail "the game ended while the test waited for $what: $(cat "$out")"
    now=$(frame_count "$dump")
    if [ "$now" != "$seen" ]; then
      seen=$now stalled=0
    elif ((++stalled > 120)); then
      fail "no frame for a minute while the test waited for $what, at frame $now: $(cat "$out")"
    fi
    ((now - first <= frames)) || fail "no $what in $frames frames: $(cat "$out")"
    sleep 0.5
  done
}

# Points DISPLAY at an X server of our own on a free display: one for each session that must not
# share its focus. An X server resets when its last client leaves, and one connecting meanwhile
# is refused: the game's first connection often comes just after xdotool's last, so ours never
# reset.
x_server() {
  local file="$work/display-$1" log="$work/xvfb-$1.log"
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$file" >"$log" 2>&1 &
  servers+=($!)
  for _ in $(seq 100); do
    [ -s "$file" ] && break
    sleep 0.1
  done
  [ -s "$file" ] || fail "the X server for $1 did not start: $(cat "$log")"
  export DISPLAY=":$(head -n 1 "$file")"
}

# Starts the game with its dump in `dump` and the other arguments given (the loop as late as `late`
# says, the game under way kept in the state folder `state`, or the test's), waits for its window
# and its launch (the dump's first line), and sets `pid`, `out` (its output) and `win` (its
# window).
start_game() {
  dump=$1
  shift
  out="$work/out-$RANDOM"
  XDG_STATE_HOME=${state:-$XDG_STATE_HOME} TIDEWICK_LATE_LOOP=${late:-0} \
    "$game" --scale 1 --seed 5 --dump "$dump" "$@" >"$out" 2>&1 &
  pid=$!
  games+=("$pid")
  focus_window
  wait_until 120 "launch" test -s "$dump"
}

# Sets `win` to the window of `pid`, if it has one on the screen yet (one not yet mapped cannot
# take the focus).
find_window() {
  win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | sed -n 1p) || true
  [ -n "$win" ]
}

# Waits for the window of `pid`, sets `win` and gives it the focus.
focus_window() {
  wait_until 120 "window" find_window
  xdotool windowfocus --sync "$win"
  sleep 0.5 # the window manager's last word on the new window comes unannounced
}

click() { xdotool mousemove --window "$win" "$1" "$2" click 1; }

# Main menu's play, then the play menu's play: a game starts, and its frames come into the dump.
# The clicks are made again until the first frame comes: on a busy machine a click just after the
# launch can go unseen. Made again after they were taken, they touch empty spots of the menus or
# the beach (which a replay touches too), and they keep the demo away meanwhile.
play() {
  local before
  before=$(frame_count "$dump")
  for _ in $(seq 20); do
    click 360 130
    click 240 174
    for _ in $(seq 30); do
      more_frames_than "$dump" "$before" && break 2
      kill -0 "$pid" 2>/dev/null || fail "the game ended before a game started: $(cat "$out")"
      sleep 0.1
    done
  done
  wait_until 120 "the game's frames" more_frames_than "$dump" $((before + 5))
}

swipes() {
  for x in 150 220 290 360; do
    xdotool mousemove --window "$win" "$x" 210
    sleep 0.3
    xdotool mousedown 1 mousemove --window "$win" $((x + 20)) 140 mouseup 1
    sleep 0.4
  done
}

# $1: the session's folder; $2: seconds the loop sleeps after every burst.
interactive_session() {
  local dir=$1
  mkdir -p "$dir"
  state=$dir/state late=$2 start_game "$dir/live.jsonl" --defaults "$dir/defaults.json" \
    --record "$dir/rec.json"
  play
  swipes
  xdotool key Left Left space Right Right Right space Down
  sleep 0.6
  xdotool key Escape # pause
  sleep 1
  xdotool key Escape # resume
  sleep 0.8
  xdotool windowfocus "$root" # the window loses its focus: the game pauses
  wait_until 60 "a resign" has_line "$dir/rec.json" '"resign"'
  xdotool windowfocus --sync "$win"
  wait_until 60 "an activate" has_line "$dir/rec.json" '"activate"'
  swipes
  kill -TERM "$pid"
  wait "$pid" || fail "the game exited with $?: $(cat "$out")"
}

replay_matches() {
  local dir=$1
  "$game" replay "$dir/rec.json" --dump "$dir/replay.jsonl" 2>"$dir/replay-errors" ||
    fail "the replay of $dir failed: $(cat "$dir/replay-errors")"
  cmp -s "$dir/live.jsonl" "$dir/replay.jsonl" ||
    fail "$dir: the live dump and its replay's differ: $(cmp "$dir/live.jsonl" "$dir/replay.jsonl" || true)"
  for action in touch tilt pause resign activate; do
    has_line "$dir/rec.json" "\"$action\"" || fail "$dir: no $action was recorded: $(cat "$dir/rec.json")"
  done
  echo "live_replay_test: $dir: $(wc -l <"$dir/live.jsonl") dump lines, the same in the replay"
}

# The game left to itself on a display of its own: it ends after about 135 s.
x_server passive
start_game "$work/passive.jsonl" --defaults "$work/passive-defaults.json"
play
passive=$pid passive_out=$out

x_server interactive
root=$(xwininfo -root | awk '/Window id/ {print $4}')

interactive_session "$work/plain" 0
replay_matches "$work/plain"
interactive_session "$work/late" 0.03
replay_matches "$work/late"

# Watched: paused, sped up, skipped forward and back, ended with Escape; the player's own settings
# are never touched.
out="$work/watch-out"
XDG_CONFIG_HOME="$work/config" "$game" watch "$work/plain/rec.json" --scale 1 >"$out" 2>&1 &
pid=$!
games+=("$pid")
focus_window
for keys in space space 4 Right Right Left 1 Left; do
  xdotool key $keys
  sleep 0.5
done
# Escape again until the watcher ends: on a busy machine a key that comes while it settles in can
# go unseen.
for _ in $(seq 20); do
  xdotool key Escape
  for _ in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || break 2
    sleep 0.1
  done
done
kill -0 "$pid" 2>/dev/null && fail "the watcher did not end on Escape in a minute: $(cat "$out")"
wait "$pid" || fail "watching ended with $?: $(cat "$out")"
[ ! -e "$work/config" ] || fail "watching wrote $(find "$work/config")"
echo "live_replay_test: watched, the player's settings untouched"

# Killed mid-game: the recording replays up to its last whole event, and that far its replay's
# dump is the live one's.
mkdir -p "$work/killed"
state=$work/killed/state start_game "$work/killed/live.jsonl" --defaults "$work/killed/defaults.json" \
  --record "$work/killed/rec.json"
play
swipes
# A last input after eighty frames of the game, however slowly a busy machine plays them: the cut
# replay has that many to compare.
wait_until 120 "80 frames" more_frames_than "$work/killed/live.jsonl" 80
events=$(wc -l <"$work/killed/rec.json")
xdotool key space
wait_until 60 "the last input recorded" more_lines_than "$work/killed/rec.json" "$events"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
"$game" replay "$work/killed/rec.json" --dump "$work/killed/replay.jsonl" 2>"$work/killed/errors" ||
  fail "the killed recording does not replay: $(cat "$work/killed/errors")"
grep -q "cut off" "$work/killed/errors" || fail "no word of the cut: $(cat "$work/killed/errors")"
last_event=$(grep -o '"t":[0-9.e+-]*' "$work/killed/rec.json" | tail -n 1 | cut -d: -f2)
final=$(tail -n 1 "$work/killed/replay.jsonl")
[[ $final == *"\"t\":$last_event,"* ]] || fail "the cut replay ends at $final, not at $last_event"
# Every line but the final state's; the live game went on a little past its last event.
replayed=$(($(wc -l <"$work/killed/replay.jsonl") - 1))
live_lines=$(wc -l <"$work/killed/live.jsonl")
[ "$replayed" -gt 40 ] || fail "the cut replay dumped only $replayed lines"
[ "$live_lines" -ge "$replayed" ] ||
  fail "the live dump stops at line $live_lines, before its replay's $replayed"
cmp -s <(head -n "$replayed" "$work/killed/live.jsonl") <(head -n "$replayed" "$work/killed/replay.jsonl") ||
  fail "the killed game's replay differs from its live dump"
echo "live_replay_test: killed: replayed to its last event at t = $last_event, $replayed lines as live"

# Started again, the killed game comes back where it was left, as far as its last input and at
# most a second later, and paused: it plays on once the pause key resumes it. The whole game is
# then one recording, which replays to the dump of the whole game.
state=$work/killed/state start_game "$work/killed/back.jsonl" --defaults "$work/killed/defaults.json" \
  --record "$work/killed/back-rec.json"
wait_until 60 "the game brought back" has_line "$work/killed/back-rec.json" '"pause"'
cmp -s <(head -n "$replayed" "$work/killed/live.jsonl") <(head -n "$replayed" "$work/killed/back.jsonl") ||
  fail "the game brought back is not the one killed"
back_frames=$(frame_count "$work/killed/back.jsonl")
sleep 1
[ "$(frame_count "$work/killed/back.jsonl")" = "$back_frames" ] || fail "the game came back playing"
xdotool key Escape
wait_until 60 "the game resumed" more_frames_than "$work/killed/back.jsonl" "$back_frames"
swipes
kill -TERM "$pid"
wait "$pid" || fail "the game brought back exited with $?: $(cat "$out")"
"$game" replay "$work/killed/back-rec.json" --dump "$work/killed/back-replay.jsonl" ||
  fail "the recording of the game brought back does not replay"
cmp -s "$work/killed/back.jsonl" "$work/killed/back-replay.jsonl" ||
  fail "the game brought back and its replay differ: $(cmp "$work/killed/back.jsonl" "$work/killed/back-replay.jsonl" || true)"
echo "live_replay_test: brought back paused after $back_frames frames, the whole game replayed as played"

# Left alone on the main menu, the game plays its demo; a key ends it at once, the menu's buttons
# then start a game, and the recording replays to the same dump. The settings file stays as the
# launch wrote it.
mkdir -p "$work/demo"
state=$work/demo/state start_game "$work/demo/live.jsonl" --defaults "$work/demo/defaults.json" --record "$work/demo/rec.json"
wait_until 180 "the demo" more_frames_than "$work/demo/live.jsonl" 0
cp "$work/demo/defaults.json" "$work/demo/defaults-before.json"
wait_until 120 "60 frames of the demo" more_frames_than "$work/demo/live.jsonl" 60
xdotool key Return
wait_until 60 "a wake" has_line "$work/demo/rec.json" '"wake"'
sleep 2 # the main menu fades back in, as a player waits for it
play
kill -TERM "$pid"
wait "$pid" || fail "the demo's game exited with $?: $(cat "$out")"
"$game" replay "$work/demo/rec.json" --dump "$work/demo/replay.jsonl" 2>"$work/demo/errors" ||
  fail "the demo's recording does not replay: $(cat "$work/demo/errors")"
cmp -s "$work/demo/live.jsonl" "$work/demo/replay.jsonl" ||
  fail "the demo's live dump and its replay's differ: $(cmp "$work/demo/live.jsonl" "$work/demo/replay.jsonl" || true)"
woke=$(grep -m 1 -o '"t":[0-9.e+-]*,"wake"' "$work/demo/rec.json" | cut -d: -f2 | cut -d, -f1)
demo_frames=$(awk -v woke="$woke" -F'"t":' '/"frame"/ { split($2, t, ","); if (t[1] < woke) n++ }
  END { print n + 0 }' "$work/demo/live.jsonl")
[ "$demo_frames" -gt 60 ] || fail "only $demo_frames demo frames before the key at $woke"
cmp -s "$work/demo/defaults.json" "$work/demo/defaults-before.json" ||
  fail "the demo changed the settings file: $(cat "$work/demo/defaults.json")"
echo "live_replay_test: demo: $demo_frames frames played, ended by a key at $woke, the same in the replay"

# The passive game's end.
pid=$passive out=$passive_out
last="$XDG_STATE_HOME/tidewick/last-game.json"
# About 135 s of game, 2700 frames; however long a busy machine makes them take.
wait_for_frames 6000 "the last game" "$work/passive.jsonl" test -s "$last"
kill -TERM "$passive"
wait "$passive" || fail "the passive game exited with $?: $(cat "$out")"
"$game" replay "$last" --dump "$work/last.jsonl" 2>"$work/last-errors" ||
  fail "the last game does not replay: $(cat "$work/last-errors")"
replayed=$(($(wc -l <"$work/last.jsonl") - 1))
head -n "$replayed" "$work/passive.jsonl" | cmp -s - <(head -n "$replayed" "$work/last.jsonl") ||
  fail "the last game's replay differs from the game"
live_score=$(sed -n "${replayed}p" "$work/passive.jsonl" | grep -o '"score":[0-9]*' | sed -n 1p)
replay_score=$(tail -n 1 "$work/last.jsonl" | grep -o '"score":[0-9]*' | sed -n 1p)
[ "$live_score" = "$replay_score" ] || fail "the game ended at $live_score, its replay at $replay_score"
[ ! -e "$XDG_STATE_HOME/tidewick/game-in-progress" ] || fail "the finished game is kept to come back"
echo "live_replay_test: the last game replays to its end, $live_score, and is not kept to come back"
