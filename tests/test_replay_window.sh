#!/usr/bin/env bash
# A game flown by a player in a real window (an X server and a window manager of the test's own, the
# keys sent by xdotool, the seed fixed) is kept as a replay that the same program checks without a
# screen: exit 0 and the verdict "verified". The same replay with its score raised is refused.
# Usage: test_replay_window.sh VANTORIX_EXECUTABLE [KEEP_REPLAY_AS]
set -uo pipefail

GAME="$1"
KEEP_AS="${2:-}"
WORK="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

exec 3>"$WORK/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$WORK/display")"
[ "$DISPLAY" != ":" ] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
openbox >/dev/null 2>&1 &
pids+=($!)

export XDG_DATA_HOME="$WORK/data" SDL_AUDIODRIVER=dummy VANTORIX_SEED=4242
export DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/no-bus" ASAN_OPTIONS=detect_leaks=0
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
cd "$WORK"
"$GAME" --windowed >"$WORK/game.log" 2>&1 &
game=$!
pids+=($game)

window=""
for _ in $(seq 300); do
  window="$(xdotool search --name '^VANTORIX$' 2>/dev/null | head -n1)"
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window appeared" >&2; cat "$WORK/game.log" >&2; exit 1; }
xdotool windowactivate --sync "$window" >/dev/null 2>&1
sleep 1
xdotool click 1 # past the intro
sleep 0.5
xdotool key Return # "New game"
sleep 1
xdotool keydown Control_L
for _ in 1 2 3 4; do
  xdotool keydown Left; sleep 1; xdotool keyup Left
  xdotool keydown Right; sleep 1; xdotool keyup Right
done
xdotool keyup Control_L
xdotool key Escape; sleep 0.3; xdotool key Left Return # the quit question's Yes
replay="$XDG_DATA_HOME/vantorix/replays/last.vtxreplay"
for _ in $(seq 100); do [ -s "$replay" ] && break; sleep 0.1; done
kill "$game" 2>/dev/null
wait "$game" 2>/dev/null

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
[ -s "$replay" ] || { fail "no replay was kept"; cat "$WORK/game.log" >&2; exit 1; }

verdict="$("$GAME" --verify "$replay")"
status=$?
echo "$verdict"
[ "$status" -eq 0 ] || fail "--verify exited with $status"
grep -q '"verdict":"verified"' <<<"$verdict" || fail "the recorded game was not verified"
grep -q '"frames":[1-9][0-9][0-9][0-9]' <<<"$verdict" || fail "fewer than a thousand frames were recorded"
# The same check through standard input.
"$GAME" --verify - <"$replay" >/dev/null || fail "--verify - did not verify the same replay"

# The claimed score is the 4-byte field right after the player's name (see docs/REPLAYS.md): raise it.
python3 - "$replay" "$WORK/forged.vtxreplay" <<'PY' || fail "could not forge the score"
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
at = 8 + 2 + 4 + 8            # magic, format, rules version, rules hash
at += 1 + data[at]            # game version
at += 4                       # start seed
at += 2 + struct.unpack_from('<H', data, at)[0]  # start ticket
at += 4                       # options
at += 1 + data[at]            # player name
score = struct.unpack_from('<i', data, at)[0]
struct.pack_into('<i', data, at, score + 100000)
open(sys.argv[2], 'wb').write(data)
PY
"$GAME" --verify "$WORK/forged.vtxreplay" >"$WORK/forged.json"
status=$?
[ "$status" -eq 1 ] || fail "a forged score gave exit status $status, not 1"
grep -q '"verdict":"mismatch"' "$WORK/forged.json" || fail "a forged score was not refused: $(cat "$WORK/forged.json")"

[ -n "$KEEP_AS" ] && cp "$replay" "$KEEP_AS"
[ "$failures" -eq 0 ] && echo "PASS"
exit $((failures > 0))
