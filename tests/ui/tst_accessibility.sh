#!/bin/sh
# The reader's accessible tree read through AT-SPI, as a screen reader reads
# it, on an X server and a D-Bus session of its own:
#   tst_accessibility.sh WLREADER BUNDLE
# Exits 77 (skipped) where those cannot start.
set -u
skip() { echo "SKIP: $*"; exit 77; }
for tool in Xvfb dbus-run-session; do
    command -v $tool >/dev/null || skip "no $tool (packages xvfb, dbus)"
done
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "no AT-SPI bus launcher (package at-spi2-core)"
# Debian's own Python: another one on the PATH may lack pyatspi.
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "no pyatspi (package python3-pyatspi)"
# Under AddressSanitizer: Debian 12's libxkbcommon-x11 reads X atom names
# with strndup past their end, which strict_string_checks reports as every
# X11 program starts; the reader's own code stays checked.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
exec dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/atspi_reader.py" "$@" 2>&1
