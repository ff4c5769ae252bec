#!/usr/bin/env bash
# install-check.sh BUILD_DIR: installs the game component into a scratch prefix and checks what a
# desktop needs is there and valid, and that the installed program answers from another folder.
set -euo pipefail
build="$1"
prefix="$(mktemp -d /tmp/vantorix-install-XXXXXX)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --component game --prefix "$prefix" >/dev/null

fail() { echo "install check: $*" >&2; exit 1; }
for file in bin/vantorix share/vantorix/Data/Data.pp share/vantorix/sound/1.xm share/vantorix/sound/2.xm \
            share/applications/org.vantorix.Vantorix.desktop share/metainfo/org.vantorix.Vantorix.metainfo.xml \
            share/man/man6/vantorix.6 share/icons/hicolor/scalable/apps/vantorix.svg; do
  [ -s "$prefix/$file" ] || fail "$file is missing"
done
for size in 16 22 24 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/vantorix.png"
  [ "$(file -b "$png" | grep -o "$size x $size")" = "$size x $size" ] || fail "$png is not a ${size}x${size} PNG"
done
desktop-file-validate "$prefix/share/applications/org.vantorix.Vantorix.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.vantorix.Vantorix.metainfo.xml" >/dev/null ||
  fail "the metainfo does not validate"
man --warnings -l "$prefix/share/man/man6/vantorix.6" 2>&1 >/dev/null | grep . && fail "the manual page has warnings"
help="$(cd / && "$prefix/bin/vantorix" --help)"
[[ "$help" == Usage:* ]] || fail "--help printed: $help"
echo "install check: all in place"
