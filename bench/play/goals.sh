#!/usr/bin/env bash
# Picks the figures with a goal out of a Google Benchmark console output and prints them beside it.
#   goals.sh RESULTS_FILE
set -euo pipefail
results=$1

# figure NAME_PATTERN: "<cpu time in microseconds>" of the first matching benchmark (its median when run
# with repetitions), or nothing.
figure() {
  awk -v want="${1%\$}(_median)?\$" '$1 ~ want && NF >= 5 && $5 ~ /^(ns|us|ms|s)$/ {
      t = $4; unit = $5
      if (unit == "ns") t /= 1000; else if (unit == "ms") t *= 1000; else if (unit == "s") t *= 1e6
      printf "%.1f", t; exit
    }' "$results"
}

line() { # LABEL VALUE GOAL_MICROSECONDS_OR_EMPTY
  local value=${2:-}
  local verdict=""
  if [ -z "$value" ]; then
    value="not run"
  elif [ -n "$3" ]; then
    verdict=$(awk -v v="$value" -v g="$3" 'BEGIN { print (v + 0 <= g + 0) ? "met" : "NOT met" }')
  fi
  printf '%-52s %12s us   %s\n' "$1" "$value" "${3:+goal <= $3 us: $verdict}"
}

worst=$(for name in '^BM_OppositionFullField$' '^BM_OppositionFullFieldBeams$'; do figure "$name"; echo; done |
  sort -n | tail -1)

echo
echo "Frame figures (CPU time; the goals hold for a quiet machine)"
line "keyed 300 x 200 sprite, ours: solid runs / every pixel" "$(figure '^BM_DrawSpriteKeyedTile/runs:1$') / $(figure '^BM_DrawSpriteKeyedTile/runs:0$')" ""
line "  the library's keyed blit / its RLE blit" "$(figure '^BM_LibraryKeyedTile/rle:0$') / $(figure '^BM_LibraryKeyedTile/rle:1$')" ""
line "BackBuffer clear that nothing covers (done when read)" "$(figure '^BM_ClearBackBuffer$')" ""
line "present, window surface (dummy driver: the copies only)" "$(figure '^BM_Present/surface0_renderer1_software2:0$')" ""
line "full-load game frame" "$(figure '^BM_GameFrameFullLoad$')" ""
line "worst frame the slot lists allow" "$worst" 1000
line "high-score screen frame" "$(figure '^BM_HiScoreScreenFrame$')" 200
line "worst frame, drawn and recorded as in play" "$(figure '^BM_OppositionFullFieldRecorded$')" ""
line "worst frame, its rules alone (as a replay is checked)" "$(figure '^BM_OppositionFullFieldRulesOnly$')" ""
line "a 60 Hz present of it: 3 frames, 1 picture / 3 pictures" "$(figure '^BM_OppositionPresentAt60Hz/everyFrameDrawn:0$') / $(figure '^BM_OppositionPresentAt60Hz/everyFrameDrawn:1$')" ""
line "a jump back of ten seconds while watching" "$(figure '^BM_SeekBackTenSeconds$')" ""
echo
echo "Game frames per second of real time (166.7 is every frame's 6 ms; 0 Hz: a busy machine at 60 Hz)"
awk '$1 ~ /^BM_GameFramesPerSecondOfRealTime\/hertz:[0-9]+(_median)?$/ {
    for (i = 1; i <= NF; i++) if ($i ~ /^game_frames_per_s=/) printf "  %-10s %s\n", substr($1, 40) " Hz", substr($i, 19) }' "$results"

# The recorded pilot's game checked without a screen: its CPU time per frame, scaled to ten minutes of
# play (100,000 frames of 6 ms).
check_time=$(figure '^BM_CheckRecordedGame$')
check_frames=$(awk '$1 ~ /^BM_CheckRecordedGame(_median)?$/ { for (i = 1; i <= NF; i++) if ($i ~ /^frames=/) {
    v = substr($i, 8); if (v ~ /k$/) v = substr(v, 1, length(v) - 1) * 1000; print v + 0; exit } }' "$results")
if [ -n "$check_time" ] && [ -n "$check_frames" ]; then
  ten_minutes=$(awk -v t="$check_time" -v f="$check_frames" 'BEGIN { printf "%.0f", t / f * 100000 }')
  echo
  echo "Replay check without a screen: $check_frames frames in $check_time us of CPU," \
    "$(awk -v t="$check_time" -v f="$check_frames" 'BEGIN { printf "%.0f", f / t * 1e6 }') frames per second of CPU"
  line "ten minutes of play checked (100,000 frames)" "$ten_minutes" 100000
fi
