#!/usr/bin/env bash
# The play measurement: the real program, started as a player starts it, on an X server (Xvfb) with a
# window manager (openbox). It prints start-up to the mapped window and to the first present, the CPU
# share of one core at the main menu and while playing (fire held, weaving left and right with xdotool),
# the X server's share beside it, peak resident memory, and game frames and presents per second.
# The same is measured for chromium-bsu (Debian's package) when it is installed, as the reference.
#
#   measure-play.sh BUILD_FOLDER
# Environment: PLAY_DISPLAY (an X display number to use, default: a free one), PLAY_STARTS (start-up
# runs, default 5), PLAY_SECONDS (seconds of each CPU measurement, default 10).
set -euo pipefail

BUILD="$(cd "$1" && pwd)"
STARTWATCH="$BUILD/bench/play/vantorix-startwatch"
STARTS=${PLAY_STARTS:-5}
SECONDS_MEASURED=${PLAY_SECONDS:-10}
PEER=/usr/games/chromium-bsu
WORK="$(mktemp -d /tmp/vantorix-play.XXXXXX)"
CLOCK_TICKS=$(getconf CLK_TCK)
declare -a STARTED_PIDS=()

say() { printf '%s\n' "$*" >&2; }

MAIN_SHELL=$BASHPID
cleanup() {
  [ "$BASHPID" = "$MAIN_SHELL" ] || return 0 # not in the subshells of $(...)
  for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${STARTED_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ -n "${PLAY_KEEP:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT

# ---- the X server and the window manager ----

start_x() {
  if [ -n "${PLAY_DISPLAY:-}" ]; then
    Xvfb ":$PLAY_DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    DISPLAY=":$PLAY_DISPLAY"
  else
    exec 5<> <(:)
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local number=""
    read -r -t 10 number <&5 || true
    [ -n "$number" ] || { say "Xvfb did not start."; exit 1; }
    DISPLAY=":$number"
  fi
  STARTED_PIDS+=("$XVFB_PID")
  export DISPLAY
  for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
  openbox >"$WORK/openbox.log" 2>&1 &
  STARTED_PIDS+=("$!")
  sleep 1
}

# ---- process figures from /proc ----

cpu_ticks() { # user + system ticks of a process and all its threads
  awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null || echo 0
}

# cpu_share PID SECONDS: per cent of one core used by PID into CPU_SHARE, by the X server into XSERVER_SHARE.
cpu_share() {
  local pid=$1 seconds=$2
  local before x_before after x_after
  before=$(cpu_ticks "$pid")
  x_before=$(cpu_ticks "$XVFB_PID")
  sleep "$seconds"
  after=$(cpu_ticks "$pid")
  x_after=$(cpu_ticks "$XVFB_PID")
  XSERVER_SHARE=$(awk -v a="$x_before" -v b="$x_after" -v s="$seconds" -v t="$CLOCK_TICKS" \
    'BEGIN { printf "%.1f", 100 * (b - a) / t / s }')
  CPU_SHARE=$(awk -v a="$before" -v b="$after" -v s="$seconds" -v t="$CLOCK_TICKS" \
    'BEGIN { printf "%.1f", 100 * (b - a) / t / s }')
}

peak_memory_mb() {
  awk '/^VmHWM/ { printf "%.0f", $2 / 1024 }' "/proc/$1/status" 2>/dev/null || echo "?"
}

window_of() { # the program's top-level window
  local pid=$1 window=""
  for _ in $(seq 100); do
    window=$(xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.05
  done
  echo "$window"
}

# ---- one program ----

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "?"; else print v[int((NR + 1) / 2)] }'; }

# measure_starts NAME FOLDER COMMAND...: STARTS fresh starts; sets MAPPED and PRESENTED (median, min-max).
measure_starts() {
  local name=$1 folder=$2
  shift 2
  : >"$WORK/$name.starts"
  for _ in $(seq "$STARTS"); do
    local pid
    # Into a file: the program inherits the watcher's output and outlives it.
    (cd "$folder" && "$STARTWATCH" -- "$@" >"$WORK/start.line" 2>>"$WORK/$name.stderr")
    pid=$(sed -n 's/.*pid=\([0-9]*\).*/\1/p' "$WORK/start.line" | head -1)
    grep "pid=" "$WORK/start.line" >>"$WORK/$name.starts"
    sleep 0.5
    kill "$pid" 2>/dev/null || true
    wait_gone "$pid"
  done
  MAPPED=$(sed -n 's/.*mapped_ms=\([-0-9]*\).*/\1/p' "$WORK/$name.starts" | median)
  PRESENTED=$(sed -n 's/.*first_present_ms=\([-0-9]*\).*/\1/p' "$WORK/$name.starts" | median)
  MAPPED_RANGE=$(sed -n 's/.*mapped_ms=\([-0-9]*\).*/\1/p' "$WORK/$name.starts" | sort -n | sed -n '1p;$p' | paste -sd-)
  PRESENTED_RANGE=$(sed -n 's/.*first_present_ms=\([-0-9]*\).*/\1/p' "$WORK/$name.starts" | sort -n | sed -n '1p;$p' | paste -sd-)
}

wait_gone() {
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.05; done
  kill -9 "$1" 2>/dev/null || true
}

# Holds fire and weaves left and right for SECONDS_MEASURED seconds while the CPU share is taken.
play_and_measure() {
  local pid=$1 fire=$2
  xdotool keydown "$fire"
  (
    end=$((SECONDS + SECONDS_MEASURED + 1))
    while [ $SECONDS -lt $end ]; do
      xdotool keydown Left; sleep 0.4; xdotool keyup Left
      xdotool keydown Right; sleep 0.4; xdotool keyup Right
    done
  ) &
  local weaver=$!
  cpu_share "$pid" "$SECONDS_MEASURED"
  PLAY_CPU=$CPU_SHARE PLAY_X=$XSERVER_SHARE
  wait "$weaver" 2>/dev/null || true
  xdotool keyup "$fire" Left Right
}

# measure_session NAME FIRE_KEY START_GAME -- COMMAND...: runs COMMAND in $WORK/NAME, takes the CPU share at
# its menu, calls START_GAME WINDOW, then plays with FIRE_KEY held; sets MENU_CPU, MENU_X, PLAY_CPU, PLAY_X and
# MEMORY, and keeps a screenshot of the end of play as $BUILD/play-NAME.png. Its stderr is $WORK/NAME.run.stderr.
measure_session() {
  local name=$1 fire=$2 start_game=$3
  shift 4
  (cd "$WORK/$name" && exec "$@" 2>"$WORK/$name.run.stderr" >/dev/null) &
  local pid=$!
  STARTED_PIDS+=("$pid")
  local window
  window=$(window_of "$pid")
  sleep 3 # the opening animation ends, then the menu stands still
  cpu_share "$pid" "$SECONDS_MEASURED"
  MENU_CPU=$CPU_SHARE MENU_X=$XSERVER_SHARE
  "$start_game" "$window"
  sleep 1
  play_and_measure "$pid" "$fire"
  import -window root "$WORK/$name-playing.png" 2>/dev/null && cp "$WORK/$name-playing.png" "$BUILD/play-$name.png" || true
  MEMORY=$(peak_memory_mb "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

start_vantorix_game() { xdotool mousemove --window "$1" 628 356 click 1; } # "New game"

measure_vantorix() {
  local folder="$WORK/vantorix"
  mkdir -p "$folder"
  ln -s "$BUILD/Data" "$folder/Data"
  ln -s "$BUILD/sound" "$folder/sound"
  export SDL_AUDIODRIVER=dummy # the sound path runs as with a sound card, without one on this machine
  measure_starts vantorix "$folder" "$BUILD/vantorix"
  V_MAPPED=$MAPPED V_PRESENTED=$PRESENTED V_MAPPED_RANGE=$MAPPED_RANGE V_PRESENTED_RANGE=$PRESENTED_RANGE

  VANTORIX_FRAME_STATS=1 measure_session vantorix Control_L start_vantorix_game -- "$BUILD/vantorix"
  V_MENU_CPU=$MENU_CPU V_MENU_X=$MENU_X V_PLAY_CPU=$PLAY_CPU V_PLAY_X=$PLAY_X V_MEMORY=$MEMORY
  local stats
  stats=$(grep "frame stats" "$WORK/vantorix.run.stderr" || true)
  V_FPS=$(sed -n 's/.*game_fps=\([0-9.]*\).*/\1/p' <<<"$stats")
  V_GAME_SECONDS=$(sed -n 's/.*game_seconds=\([0-9.]*\).*/\1/p' <<<"$stats")
  V_PRESENTS=$(sed -n 's/.*game_presents_per_s=\([0-9.]*\).*/\1/p' <<<"$stats")
  unset SDL_AUDIODRIVER
}

start_peer_game() { # its first menu item starts a game
  xdotool windowfocus "$1" 2>/dev/null || true
  xdotool key Return
}

measure_peer() {
  local folder="$WORK/peer"
  mkdir -p "$folder/home"
  export HOME="$folder/home" ALSOFT_DRIVERS=null
  measure_starts peer "$folder" "$PEER" -w -v 2
  P_MAPPED=$MAPPED P_PRESENTED=$PRESENTED P_MAPPED_RANGE=$MAPPED_RANGE P_PRESENTED_RANGE=$PRESENTED_RANGE

  measure_session peer space start_peer_game -- "$PEER" -w -v 2
  P_MENU_CPU=$MENU_CPU P_MENU_X=$MENU_X P_PLAY_CPU=$PLAY_CPU P_PLAY_X=$PLAY_X P_MEMORY=$MEMORY
}

row() { printf '%-46s %-22s %-22s %s\n' "$@"; }

start_x
say "Play measurement on display $DISPLAY: $STARTS starts, ${SECONDS_MEASURED} s at the menu and ${SECONDS_MEASURED} s of play per program ..."
measure_vantorix
PEER_NOTE="not installed (apt-get install chromium-bsu)"
if [ -x "$PEER" ]; then
  measure_peer
  PEER_NOTE=""
fi
peer() { if [ -n "$PEER_NOTE" ]; then echo "-"; else echo "$1"; fi; }

echo
echo "Play measurement (Xvfb + openbox, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end)"
row "figure" "VANTORIX" "chromium-bsu" "goal"
row "start-up to a mapped window, ms (median, range)" "$V_MAPPED ($V_MAPPED_RANGE)" "$(peer "$P_MAPPED ($P_MAPPED_RANGE)")" "<= 100 on a quiet machine"
row "start-up to the first present, ms" "$V_PRESENTED ($V_PRESENTED_RANGE)" "$(peer "$P_PRESENTED ($P_PRESENTED_RANGE)")" "<= 100 on a quiet machine"
row "CPU share of one core at the main menu" "$V_MENU_CPU %" "$(peer "$P_MENU_CPU %")" "<= 8 %"
row "CPU share of one core while playing" "$V_PLAY_CPU %" "$(peer "$P_PLAY_CPU %")" "<= 15 %"
row "  X server's share beside it (menu / play)" "$V_MENU_X % / $V_PLAY_X %" "$(peer "$P_MENU_X % / $P_PLAY_X %")" "(for reference)"
row "peak resident memory, MB" "$V_MEMORY" "$(peer "$P_MEMORY")" "<= 100"
row "game frames per second while playing" "${V_FPS:-?} (over ${V_GAME_SECONDS:-?} s)" "-" ">= 160"
row "presents per second while playing" "${V_PRESENTS:-?}" "-" "<= the refresh rate (60)"
[ -z "$PEER_NOTE" ] || echo "chromium-bsu: $PEER_NOTE"
echo "Screenshots at the end of play: $BUILD/play-vantorix.png${PEER_NOTE:+}$([ -z "$PEER_NOTE" ] && echo " and $BUILD/play-peer.png")"
