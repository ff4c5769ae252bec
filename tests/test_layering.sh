#!/usr/bin/env bash
# The include check of the build: a small tree of src/ folders, one include at a time, against the
# build's own rules. Usage: test_layering.sh CHECK_SCRIPT RULES
set -uo pipefail

CHECK="$1"
RULES="$2"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0

# expect VERDICT FILE LINE: a tree whose only include is LINE in FILE passes (ok) or is refused.
expect() {
  local verdict="$1" file="$2" line="$3" result
  rm -rf "$WORK/src"
  mkdir -p "$WORK/src/$(dirname "$file")"
  printf '%s\nint unused;\n' "$line" >"$WORK/src/$file"
  if cmake -DSOURCE_DIR="$WORK/src" -DRULES="$RULES" -DSTAMP="$WORK/stamp" -P "$CHECK" >"$WORK/out" 2>&1; then
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

expect ok main/Program.cpp '#include "Game/TGame.h"'
expect ok Game/TGame.cpp '#include "persistence/Options.h"'
expect ok platform/Display.cpp '#include <SDL.h>'
expect ok online/WebScores.cpp '#include <string>'
expect refused online/WebScores.cpp '#include "Game/TGame.h"'
expect refused persistence/HiScores.cpp '#include "graphics/Text.h"'
expect refused core/Random.cpp '#include "platform/Clock.h"'
expect refused graphics/Text.cpp '#include "main/Form.h"'
expect refused main/Program.cpp '#include <SDL.h>'
expect refused audio/Audio.cpp '#include <SDL_mixer.h>'
expect refused online/WebScores.cpp '#include <curl/curl.h>'
expect refused graphics/Text.cpp '#include <ft2build.h>'
expect refused Game/TGame.cpp '  #  include "../main/Form.h"'
expect refused tools/Helper.cpp '#include <string>'

[ "$failures" -eq 0 ] && echo "The include check follows the folders' rules."
exit $((failures > 0))
