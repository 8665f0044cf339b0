#!/bin/sh
# Makes docs/screenshots/*.png with the reader itself, offscreen, on the demo
# dictionary, at the window's default size: the light scheme, then the dark
# one (dark/) and twice the scale (2x/). Run from the source folder after a
# build (make build):  tools/make-screenshots.sh [BUILD_DIR]
# (wl_screenshots takes a third argument WIDTHxHEIGHT for other sizes.)
set -eu
build=${1:-build}
cmake --build "$build" --target wl_screenshots demo_dictionary
shoot() {
    QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/wl_screenshots" "$build/dictionaries/demo" "$1"
}
WL_COLOR_SCHEME=light shoot docs/screenshots
WL_COLOR_SCHEME=dark shoot docs/screenshots/dark
WL_COLOR_SCHEME=light QT_SCALE_FACTOR=2 shoot docs/screenshots/2x
