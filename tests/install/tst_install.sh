#!/bin/sh
# Installs the build the way a user would and runs what was installed:
#   install BUILD_DIR   cmake --install into a scratch prefix
#   package BUILD_DIR   cpack, then the .deb unpacked into a scratch root
# The desktop entry and the AppStream description are validated when the
# validators are there. Exits 77 (skipped) when the tools are missing.
set -eu
mode=$1
build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM

case $mode in
install)
    cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
    root=$scratch/prefix
    ;;
package)
    for tool in cpack dpkg-deb dpkg-shlibdeps; do
        command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }
    done
    (cd "$build" && cpack -B "$scratch/package" >/dev/null)
    deb=$(ls "$scratch"/package/wlreader_*.deb)
    dpkg-deb --field "$deb" Depends | grep -q libqt6quick6 || { echo "Depends lacks the Qt libraries"; exit 1; }
    dpkg -x "$deb" "$scratch/root"
    root=$scratch/root/usr
    ;;
*)
    echo "usage: $0 install|package BUILD_DIR" >&2
    exit 2
    ;;
esac

fail() { echo "FAIL: $*"; exit 1; }

# Programs that find their own demo beside them, with nobody's state.
export WL_DEFAULTS_FILE="$scratch/defaults.plist" TMPDIR="$scratch" XDG_DATA_HOME="$scratch/data"
unset WL_DICTIONARY
"$root/bin/wldict" info | grep -q "^Title *WL Demo Dictionary" || fail "installed wldict info"
"$root/bin/wldict" --dictionary demo info >/dev/null || fail "the demo by its name"
QT_QPA_PLATFORM=offscreen "$root/bin/wlreader" --version | grep -q "^wlreader " || fail "installed wlreader --version"
test -s "$root/share/man/man1/wldict.1" || fail "wldict(1)"
test -s "$root/share/icons/hicolor/scalable/apps/org.wlreader.WLReader.svg" || fail "the icon"
grep -q "^License: GPL-3+" "$root/share/doc/wlreader/copyright" || fail "the licence in share/doc"
grep -q "<project_license>GPL-3.0-or-later</project_license>" \
    "$root/share/metainfo/org.wlreader.WLReader.metainfo.xml" || fail "the licence of the AppStream description"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/share/applications/org.wlreader.WLReader.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --explain "$root/share/metainfo/org.wlreader.WLReader.metainfo.xml" >/dev/null ||
        fail "AppStream description"
fi
echo "PASS: $mode"
