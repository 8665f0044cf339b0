#!/bin/sh
# Makes docs/screenshots/*.png with the reader itself, offscreen, on the demo
# dictionary, at the window's default size. Run from the source folder after
# a build (make build):  tools/make-screenshots.sh [BUILD_DIR]
# (wl_screenshots takes a third argument WIDTHxHEIGHT for other sizes.)
set -eu
build=${1:-build}
cmake --build "$build" --target wl_screenshots demo_dictionary
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/wl_screenshots" \
    "$build/dictionaries/demo" docs/screenshots
