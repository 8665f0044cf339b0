#!/bin/sh
# The reader installed under a prefix of its own, as a package lays it out:
# wlreader in bin finds the window program in libexec, and the window finds
# the demo dictionary under share.
#   tst_installedtree.sh BUILD_DIR
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/wlreader" ] || fail "no bin/wlreader"
[ -x "$prefix/libexec/wlreader-window" ] || fail "no libexec/wlreader-window"
[ ! -e "$prefix/bin/wlreader-window" ] || fail "the window program is in bin"

mkdir "$prefix/home"
unset WL_DICTIONARY
errors=$(HOME="$prefix/home" XDG_DATA_HOME="$prefix/home/data" WL_DEFAULTS_FILE="$prefix/home/defaults.plist" \
         XDG_RUNTIME_DIR="$prefix/home" TMPDIR="$prefix/home" QT_QPA_PLATFORM=offscreen \
         "$prefix/bin/wlreader" --screenshots "$prefix/pictures" 2>&1 >/dev/null) ||
    fail "wlreader ended with $?: $errors"
ls "$prefix/pictures"/1-*.png >/dev/null 2>&1 || fail "no pictures: $errors"
# It opened the installed demo, and remembers it as the one used last.
grep -q "$prefix/share/wlreader/dictionaries/demo" "$prefix/home/reader.plist" ||
    fail "the installed demo was not opened: $errors"
echo "PASS"
