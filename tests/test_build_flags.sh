#!/usr/bin/env bash
# What a build makes does not depend on the compiler flags it was made with: the asset generator built
# with other optimisation and another target CPU writes the same Data/Data.pp, tunes and sound effects,
# byte for byte, as the test build's own; and the game built for another CPU plays the test build's
# recorded games to the same end, and the test build plays its. Each flag set gets a build folder of its own under WORK, kept
# between runs so that a second run rebuilds only what changed; only the targets it needs are built.
# Usage: test_build_flags.sh SOURCE_DIR REFERENCE_BUILD_DIR WORK_DIR C_COMPILER CXX_COMPILER
set -uo pipefail

SOURCE="$1"
REFERENCE="$2"
WORK="$3"
C_COMPILER="$4"
CXX_COMPILER="$5"
ASSET_FILES=(Data/Data.pp sound/1.xm sound/2.xm generated/SoundEffectImages.cpp)
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# build_with_flags FOLDER "FLAGS" TARGET...: configures FOLDER with FLAGS for the game and the generator
# alike (no build type adds flags of its own) and builds the targets. The compiler is the test build's.
build_with_flags() {
  local folder="$1" flags="$2"
  shift 2
  local log="$folder.log"
  mkdir -p "$folder"
  if ! cmake -S "$SOURCE" -B "$folder" -DCMAKE_C_COMPILER="$C_COMPILER" -DCMAKE_CXX_COMPILER="$CXX_COMPILER" \
    -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="$flags" -DVANTORIX_ASSETGEN_FLAGS="${flags// /;}" \
    -DVANTORIX_TESTS=OFF >"$log" 2>&1 ||
    ! cmake --build "$folder" -j2 --target "$@" >>"$log" 2>&1; then
    tail -n 30 "$log" >&2
    fail "the build with $flags failed (log: $log)"
    return 1
  fi
}

# compare_assets FOLDER "FLAGS": every generated file in FOLDER is the reference build's, byte for byte.
compare_assets() {
  local folder="$1" flags="$2" file
  for file in "${ASSET_FILES[@]}"; do
    if [ ! -f "$folder/$file" ]; then
      fail "the build with $flags made no $file"
    elif ! cmp -s "$REFERENCE/$file" "$folder/$file"; then
      fail "$file built with $flags differs from the test build's: $(cmp "$REFERENCE/$file" "$folder/$file" 2>&1 | head -n1);" \
        "$(cmp -l "$REFERENCE/$file" "$folder/$file" 2>/dev/null | wc -l) bytes differ"
    fi
  done
}

for file in "${ASSET_FILES[@]}"; do
  [ -f "$REFERENCE/$file" ] || { echo "FAIL: the test build has no $file" >&2; exit 1; }
done

# No optimisation at all: what the generator computes must not rest on what the optimiser folds.
if build_with_flags "$WORK/O0" "-O0" assets; then
  compare_assets "$WORK/O0" "-O0"
fi

# Full optimisation for this very CPU: vector units and fused multiply-add where the machine has them.
NATIVE_FLAGS="-O3 -march=native"
NATIVE_TARGETS=(assets vantorix)
# A game recorded in a real window by one build verifies on the other, both ways: the rules play alike
# whatever the flags (the game's own floating point has no fused multiply-add either).
check_replays_across_builds() {
  local native="$WORK/native/vantorix" reference="$REFERENCE/vantorix" pair recorder checker name verdict
  for pair in "$reference $native test-build" "$native $reference native-build"; do
    read -r recorder checker name <<<"$pair"
    if ! bash "$SOURCE/tests/test_replay_window.sh" "$recorder" "$WORK/$name.vtxreplay" >"$WORK/$name.log" 2>&1; then
      tail -n 20 "$WORK/$name.log" >&2
      fail "the $name could not record a game in a window"
      continue
    fi
    verdict="$("$checker" --verify "$WORK/$name.vtxreplay")"
    grep -q '"verdict":"verified"' <<<"$verdict" ||
      fail "a replay recorded by the $name does not verify on the other build: $verdict"
  done
}
if build_with_flags "$WORK/native" "$NATIVE_FLAGS" "${NATIVE_TARGETS[@]}"; then
  compare_assets "$WORK/native" "$NATIVE_FLAGS"
  check_replays_across_builds
fi

[ "$failures" -eq 0 ] && echo "The assets are the same bytes with -O0, the test build's flags and $NATIVE_FLAGS," \
  "and a game recorded by either build verifies on the other."
exit $((failures > 0))
