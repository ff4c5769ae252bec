#!/usr/bin/env bash
# Configures and builds the score server alone, as its deployment guide does, with
# pkg-config seeing only the .pc files of the server's packages (SERVER_PACKAGES of
# scripts/setup.sh and the packages they depend on): it must need nothing of the game.
#   server-only-build.sh FOLDER    (FOLDER is emptied first)
set -euo pipefail
source "$(dirname "$0")/../../../scripts/setup.sh"
folder="$1"
rm -rf "$folder"
mkdir -p "$folder/pkgconfig"

packages=("${SERVER_PACKAGES[@]}")
for package in "${SERVER_PACKAGES[@]}"; do
  # "libpq5 (= 15.1), libssl-dev | libssl3-dev" -> the names
  mapfile -t -O "${#packages[@]}" packages < <(dpkg-query -W -f='${Depends}\n' "$package" |
    tr ',|' '\n\n' | sed -E 's/\(.*\)//; s/:any//; s/[[:space:]]//g' | grep -v '^$')
done
for package in "${packages[@]}"; do
  for file in $(dpkg -L "$package" 2>/dev/null | grep '\.pc$' || true); do
    ln -sf "$file" "$folder/pkgconfig/"
  done
done
export PKG_CONFIG_LIBDIR="$folder/pkgconfig" PKG_CONFIG_PATH=
echo "visible to pkg-config: $(cd "$folder/pkgconfig" && ls | tr '\n' ' ')"

# The whole tree cannot be configured with so little: the game's libraries are truly hidden.
if cmake -S "$REPO" -B "$folder/game" -DVANTORIX_TESTS=OFF >"$folder/game.log" 2>&1; then
  say "The game configured without its libraries: the check hides nothing."
  exit 1
fi
cmake -S "$REPO" -B "$folder/server" -DVANTORIX_GAME=OFF -DVANTORIX_TESTS=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$folder/server" -j2 >"$folder/build.log" 2>&1 || { cat "$folder/build.log"; exit 1; }
"$folder/server/tools/scoreserver/vantorix-scoreserver" --help | grep -q -- --max-per-address
echo "the score server alone was configured and built with only its packages"
