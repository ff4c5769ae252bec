#!/usr/bin/env bash
# The scripts stop with "The build failed." and a non-zero exit whenever configuring or building fails,
# and never run what an earlier build left behind. Breaks a copy of the tree on purpose, for each script.
# Usage: test_scripts.sh SOURCE_DIR
set -uo pipefail

SOURCE="$(cd "$1" && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# One copy of the working tree, formatted so that only the breakage made here can stop the scripts.
PRISTINE="$WORK/pristine"
mkdir -p "$PRISTINE"
tar -C "$SOURCE" --exclude=./build --exclude=./.git -cf - . | tar -C "$PRISTINE" -xf -
(cd "$PRISTINE" && find src tests bench tools -type f \( -name '*.cpp' -o -name '*.h' \) -exec clang-format -i {} +)

fresh_copy() {
  rm -rf "$WORK/tree"
  cp -a "$PRISTINE" "$WORK/tree"
}

# Leaves something runnable where each script would find its last build; running it leaves a mark.
plant_stale_build() {
  local build="$WORK/tree/build"
  mkdir -p "$build/test" "$build/release" "$build/bench/bench"
  printf '#!/bin/sh\ntouch "%s/stale-ran"\n' "$WORK" >"$build/release/vantorix"
  cp "$build/release/vantorix" "$build/bench/bench/vantorix_bench"
  chmod +x "$build/release/vantorix" "$build/bench/bench/vantorix_bench"
  printf 'add_test(stale "%s")\n' "$build/release/vantorix" >"$build/test/CTestTestfile.cmake"
}

# expect_build_failure SCRIPT WHAT: runs the copy's script and checks that it failed honestly.
expect_build_failure() {
  local script="$1" what="$2" output status
  rm -f "$WORK/stale-ran"
  output="$(cd "$WORK/tree" && DISPLAY=:99999 XDG_DATA_HOME="$WORK/home" "scripts/$script" 2>&1)"
  status=$?
  [ "$status" -ne 0 ] || fail "scripts/$script exits 0 when $what"
  grep -q '^The build failed\.$' <<<"$output" || fail "scripts/$script does not say \"The build failed.\" when $what"
  [ ! -e "$WORK/stale-ran" ] || fail "scripts/$script runs a stale build when $what"
  grep -qE 'No tests were found|Test project' <<<"$output" && fail "scripts/$script starts the tests when $what"
  [ "$failures" -eq 0 ] || printf '%s\n' "$output" | tail -n 20 >&2
}

for script in test run bench; do
  fresh_copy
  # Configuring fails: the folder is left with a cache but no build files.
  sed -i '/^project(/a message(FATAL_ERROR "broken on purpose")' "$WORK/tree/CMakeLists.txt"
  expect_build_failure "$script" "configuring fails"

  # The half-configured folder, with an old build in it, is configured again; then compiling fails.
  plant_stale_build
  sed -i '/broken on purpose/d' "$WORK/tree/CMakeLists.txt"
  printf '#error broken on purpose\n' >"$WORK/tree/tools/assetgen/BrokenOnPurpose.cpp"
  expect_build_failure "$script" "compiling fails"
done

# A checkout moved or copied with its build folders: each folder's cache and build files still name the
# old place, whose build would pass. The scripts configure such a folder afresh and build this tree.
for script in test run bench; do
  fresh_copy
  plant_stale_build
  for folder in test release bench; do
    {
      printf 'CMAKE_CACHEFILE_DIR:INTERNAL=%s/build/%s\n' "$WORK/old-place" "$folder"
      printf 'CMAKE_HOME_DIRECTORY:INTERNAL=%s\n' "$WORK/old-place"
      printf 'CMAKE_GENERATOR:INTERNAL=Unix Makefiles\nCMAKE_MAKE_PROGRAM:FILEPATH=%s\n' "$(command -v make)"
      printf 'CMAKE_PROJECT_NAME:STATIC=vantorix\n'
    } >"$WORK/tree/build/$folder/CMakeCache.txt"
    printf 'all:\n\t@true\n' >"$WORK/tree/build/$folder/Makefile"
  done
  printf '#error broken on purpose\n' >"$WORK/tree/tools/assetgen/BrokenOnPurpose.cpp"
  expect_build_failure "$script" "the build folder was made for another checkout"
done
# An include that breaks the layering stops the build before anything compiles: an angle-bracket include
# of the tree in src/, and a test reaching past its folder's rules.
expect_layering_failure() {
  local file="$1" line="$2" output
  fresh_copy
  sed -i "1i $line" "$WORK/tree/$file"
  clang-format -i "$WORK/tree/$file"
  output="$(cd "$WORK/tree" && DISPLAY=:99999 XDG_DATA_HOME="$WORK/home" scripts/test 2>&1)"
  [ $? -ne 0 ] || fail "scripts/test exits 0 with '$line' in $file"
  grep -qF "$file: " <<<"$output" || fail "the build does not name $file when it includes '$line'"
  grep -q '^The build failed\.$' <<<"$output" || fail "scripts/test does not say \"The build failed.\" for $file"
}
expect_layering_failure src/persistence/HiScores.cpp '#include <Game/TGame.h>'
expect_layering_failure tests/Game/test_game.cpp '#include "main/Form.h"'

[ "$failures" -eq 0 ] && echo "The scripts stop on every broken build."
exit $((failures > 0))
