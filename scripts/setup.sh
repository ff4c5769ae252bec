# Shared by scripts/run, scripts/test and scripts/bench: installs the Debian packages that are
# missing, then configures and builds one build folder. Sourced, not run.

REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# The score server alone (cmake -DVANTORIX_GAME=OFF) needs only these.
SERVER_PACKAGES=(build-essential cmake pkg-config libsqlite3-dev libpq-dev)
BUILD_PACKAGES=("${SERVER_PACKAGES[@]}" libsdl2-dev libsdl2-mixer-dev libxmp-dev libfreetype-dev
  libfontconfig-dev libcurl4-openssl-dev libcairo2-dev libcpp-httplib-dev
  fonts-jura fonts-dosis fonts-ferrite-core fonts-dejavu-core xdg-utils zlib1g-dev)
TEST_PACKAGES=(libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils imagemagick openbox sox clang-format tidy
  nginx postgresql clang libclang-rt-dev desktop-file-utils appstream file man-db chromium python3 python3-websocket)
# scripts/bench only: the start-up watcher of the play measurement. chromium-bsu, the reference it is
# measured beside, is not installed here: the measurement uses it when it is there.
BENCH_PACKAGES=(libx11-dev libxdamage-dev)

say() { printf '%s\n' "$*" >&2; }

ensure_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      say "VANTORIX needs these Debian packages: ${missing[*]}"
      say "Install them as root (apt-get install ${missing[*]}) or give this user sudo, then run this again."
      exit 1
    fi
  fi
  say "Installing ${missing[*]} ..."
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq >/dev/null || { say "apt-get update failed."; exit 1; }
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    { say "apt-get could not install: ${missing[*]}"; exit 1; }
}

# build_folder NAME [cmake options...]: configures REPO/build/NAME when it has never been configured
# completely, then builds it. Any failure stops the calling script with "The build failed.", so nothing
# left over from an earlier build is ever run or tested.
build_folder() {
  local folder="$REPO/build/$1"
  shift
  forget_foreign_build "$folder"
  # A configure that failed leaves a cache but no build files; such a folder is configured again.
  if [ ! -f "$folder/CMakeCache.txt" ] || { [ ! -f "$folder/Makefile" ] && [ ! -f "$folder/build.ninja" ]; }; then
    if ! cmake -S "$REPO" -B "$folder" "$@" >/dev/null; then
      say "CMake could not configure $folder."
      build_failed
    fi
  fi
  # The filter hides progress lines only; the pipeline's status is the build's (pipefail).
  if ! cmake --build "$folder" -j"$(nproc)" 2>&1 | { grep -vE '^\[ *[0-9]+%\]|^Consolidate|^-- |^g?make\[[0-9]+\]: (Entering|Leaving) directory' || true; }; then
    build_failed
  fi
  BUILD="$folder"
}

# forget_foreign_build FOLDER: a build folder copied or moved along with its checkout still names the old
# place in its cache, and building it would build (and test) the old place. Such a folder is emptied so
# that it is configured afresh for this checkout.
forget_foreign_build() {
  local folder="$1" cache="$1/CMakeCache.txt" built_in built_from
  [ -f "$cache" ] || return 0
  built_in="$(sed -n 's/^CMAKE_CACHEFILE_DIR:INTERNAL=//p' "$cache")"
  built_from="$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")"
  if same_folder "$built_in" "$folder" && same_folder "$built_from" "$REPO"; then
    return 0
  fi
  say "The build folder $folder was made for ${built_from:-another source folder}; configuring it afresh."
  rm -rf "$folder"
}

# same_folder A B: both name one existing folder, whatever links lead to it.
same_folder() {
  [ -d "$1" ] && [ -d "$2" ] && [ "$(cd "$1" && pwd -P)" = "$(cd "$2" && pwd -P)" ]
}

build_failed() {
  say "The build failed."
  exit 1
}

# check_format: lists the C++ files that differ from the checked-in .clang-format and fails if any do.
check_format() {
  local files report unformatted
  mapfile -t files < <(cd "$REPO" && find src tests bench tools fuzz -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
  report="$(cd "$REPO" && clang-format --dry-run --Werror "${files[@]}" 2>&1)" && return 0
  unformatted="$(sed -nE 's/^(.*):[0-9]+:[0-9]+: (warning|error): .*/\1/p' <<<"$report" | sort -u)"
  if [ -z "$unformatted" ]; then
    say "clang-format could not check the sources:"
    say "$report"
  else
    say "These files are not formatted with the project's .clang-format (run clang-format -i on them):"
    sed 's/^/  /' <<<"$unformatted" >&2
  fi
  exit 1
}
