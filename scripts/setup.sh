# Shared by scripts/run, scripts/test and scripts/bench: installs the Debian packages that are
# missing, then configures and builds one build folder. Sourced, not run.

REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

BUILD_PACKAGES=(build-essential cmake pkg-config libsdl2-dev libsdl2-mixer-dev libxmp-dev libfreetype-dev
  libfontconfig-dev libcurl4-openssl-dev libcairo2-dev libcpp-httplib-dev libsqlite3-dev
  fonts-jura fonts-dosis fonts-ferrite-core fonts-dejavu-core xdg-utils)
TEST_PACKAGES=(libgtest-dev libbenchmark-dev xvfb xauth xdotool imagemagick openbox sox)

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

# build_folder NAME [cmake options...]: configures (once) and builds REPO/build/NAME.
build_folder() {
  local folder="$REPO/build/$1"
  shift
  if [ ! -f "$folder/CMakeCache.txt" ]; then
    cmake -S "$REPO" -B "$folder" "$@" >/dev/null || { say "CMake could not configure $folder."; exit 1; }
  fi
  cmake --build "$folder" -j"$(nproc)" -- --no-print-directory 2>&1 | grep -vE '^\[ *[0-9]+%\]|^Consolidate|^-- ' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || { say "The build failed."; exit 1; }
  BUILD="$folder"
}
