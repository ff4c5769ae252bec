#!/usr/bin/env bash
# The include check of the build: a small tree of src/ and tests/ folders, one include at a time, against
# the build's own rules. Usage: test_layering.sh CHECK_SCRIPT RULES
set -uo pipefail

CHECK="$1"
RULES="$2"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0

# expect VERDICT FILE LINE: a tree whose only include is LINE in FILE (under src/ or tests/) passes (ok)
# or is refused.
expect() {
  local verdict="$1" file="$2" line="$3" result
  rm -rf "$WORK/src" "$WORK/tests"
  mkdir -p "$WORK/src" "$WORK/tests" "$WORK/$(dirname "$file")"
  printf '%s\nint unused;\n' "$line" >"$WORK/$file"
  if cmake -DSOURCE_DIR="$WORK/src" -DTEST_DIR="$WORK/tests" -DRULES="$RULES" -DSTAMP="$WORK/stamp" -P "$CHECK" \
    >"$WORK/out" 2>&1; then
    result=ok
  else
    result=refused
  fi
  if [ "$result" != "$verdict" ]; then
    echo "FAIL: $file with '$line' is $result, expected $verdict" >&2
    cat "$WORK/out" >&2
    failures=$((failures + 1))
  fi
}

expect ok src/main/Program.cpp '#include "Game/TGame.h"'
expect ok src/Game/TGame.cpp '#include "persistence/Options.h"'
expect ok src/platform/Display.cpp '#include <SDL.h>'
expect ok src/online/WebScores.cpp '#include <string>'
expect refused src/online/WebScores.cpp '#include "Game/TGame.h"'
expect refused src/persistence/HiScores.cpp '#include "graphics/Text.h"'
expect refused src/core/Random.cpp '#include "platform/Clock.h"'
expect refused src/graphics/Text.cpp '#include "main/Form.h"'
expect refused src/main/Program.cpp '#include <SDL.h>'
expect refused src/audio/Audio.cpp '#include <SDL_mixer.h>'
expect refused src/online/WebScores.cpp '#include <curl/curl.h>'
expect refused src/graphics/Text.cpp '#include <ft2build.h>'
expect refused src/Game/TGame.cpp '  #  include "../main/Form.h"'
expect refused src/tools/Helper.cpp '#include <string>'
expect refused src/Loose.cpp '#include <string>'
expect refused src/persistence/HiScores.cpp '#include <Game/TGame.h>'
expect refused src/graphics/Text.cpp '#include <main/Form.h>'

# Tests: a test of a folder uses what that folder may use, plus the harness directly in tests/.
expect ok tests/Game/test_game.cpp '#include "Harness.h"'
expect ok tests/Game/test_game.cpp '#include "persistence/HiScores.h"'
expect ok tests/platform/test_input.cpp '#include <SDL.h>'
expect ok tests/Harness.cpp '#include "main/Form.h"'
expect ok tests/Harness.h '#include <SDL.h>'
expect refused tests/Game/test_game.cpp '#include "main/Form.h"'
expect refused tests/persistence/test_persistence.cpp '#include <graphics/Text.h>'
expect refused tests/main/test_menus.cpp '#include <SDL.h>'
expect refused tests/Game/test_game.cpp '#include "../Harness.h"'
expect refused tests/tools/test_helper.cpp '#include <string>'

[ "$failures" -eq 0 ] && echo "The include check follows the folders' rules."
exit $((failures > 0))
