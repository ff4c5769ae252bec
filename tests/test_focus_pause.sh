#!/usr/bin/env bash
# Looking away from a game in play pauses it: the real program in a window on an X server (Xvfb) with a
# window manager (openbox). A game is started with the mouse; once its picture moves, another window
# takes the focus (xdotool windowactivate) and the game's picture must stand still; coming back leaves
# it paused until the pause key, after which it moves again.
#   test_focus_pause.sh BUILD_FOLDER
# Every wait is a bounded poll, so a loaded machine makes the test slower, not wrong.
set -euo pipefail

BUILD="$(cd "$1" && pwd)"
WORK="$(mktemp -d /tmp/vantorix-focus.XXXXXX)"
declare -a STARTED_PIDS=()

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cleanup() { # the clients first, the X server last
  local i
  for ((i = ${#STARTED_PIDS[@]} - 1; i >= 0; i--)); do
    kill "${STARTED_PIDS[i]}" 2>/dev/null || true
    wait "${STARTED_PIDS[i]}" 2>/dev/null || true
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

start_x() {
  exec 5<> <(:)
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
  STARTED_PIDS+=("$!")
  local number=""
  read -r -t 20 number <&5 || true
  [ -n "$number" ] || fail "Xvfb did not start"
  export DISPLAY=":$number"
  for _ in $(seq 200); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
  openbox >"$WORK/openbox.log" 2>&1 &
  STARTED_PIDS+=("$!")
  # Ready once it says it can give a window the focus.
  for _ in $(seq 400); do xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW && return; sleep 0.05; done
  fail "openbox did not start"
}

# window_of SEARCH...: the first visible window xdotool's search finds, waiting for it to appear.
window_of() {
  local window=""
  for _ in $(seq 400); do
    window=$(xdotool search --all --onlyvisible "$@" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.05
  done
  echo "$window"
}

shot() { import -window "$GAME_WINDOW" "$WORK/$1.png" 2>/dev/null; }

# Two pictures of the game window `gap` seconds apart, compared: "moving" or "still".
motion() {
  shot a
  sleep "$1"
  shot b
  local differing
  differing=$(compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 || true)
  [ "${differing%% *}" = "0" ] && echo still || echo moving
}

# Polls `motion` until it says `wanted`, for at most `tries` pictures.
wait_for_motion() {
  local wanted=$1 tries=$2
  for _ in $(seq "$tries"); do
    [ "$(motion 0.4)" = "$wanted" ] && return 0
  done
  return 1
}

start_x
mkdir -p "$WORK/game"
ln -s "$BUILD/Data" "$WORK/game/Data"
ln -s "$BUILD/sound" "$WORK/game/sound"
(cd "$WORK/game" && SDL_AUDIODRIVER=dummy exec "$BUILD/vantorix" --windowed >"$WORK/game.out" 2>&1) &
GAME_PID=$!
STARTED_PIDS+=("$GAME_PID")
GAME_WINDOW=$(window_of --pid "$GAME_PID")
[ -n "$GAME_WINDOW" ] || fail "the game's window did not appear"

xdotool windowactivate --sync "$GAME_WINDOW"
xdotool mousemove --window "$GAME_WINDOW" 10 10 click 1 # skips the intro
sleep 0.5
xdotool mousemove --window "$GAME_WINDOW" 628 356 click 1 # "New game"
wait_for_motion moving 50 || fail "the game did not start moving"

display -title another-program -size 200x200 xc:gray &
STARTED_PIDS+=("$!")
OTHER_WINDOW=$(window_of --name '^another-program$')
[ -n "$OTHER_WINDOW" ] || fail "the other window did not appear"
xdotool windowactivate --sync "$OTHER_WINDOW"
wait_for_motion still 25 || fail "the game went on while another window had the focus"
[ "$(motion 1.5)" = "still" ] || fail "the paused game moved"

xdotool windowactivate --sync "$GAME_WINDOW"
sleep 0.5
[ "$(motion 1)" = "still" ] || fail "the game went on by itself when the window came back"
xdotool key p
wait_for_motion moving 25 || fail "the pause key did not resume the game"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended: $(cat "$WORK/game.out")"
echo "focus loss paused the game; the pause key resumed it"
