#!/usr/bin/env bash
# WL Reader's window against GoldenDict's, on WordNet, on one X display, in
# one run with the two programs interleaved:
#   start:  the program alone, to its window mapped and painted, and its
#           memory (all its processes' PSS and RSS) 3 s after mapping
#   word:   "PROGRAM WORD", to the entry painted, and the memory then
#   again:  "PROGRAM WORD" while the program runs: it hands the word to the
#           running window; to that window painted (bench/xsettle.c)
# Timed by xwatch (shared/tools/xwatch.c) from process start; medians of
# RUNS. See docs/PERFORMANCE.md for the set-up of GoldenDict.
#
# Settings (environment): BUILD_DIR (build), WLREADER, BUNDLE (a WordNet
# bundle), GD_HOME (a HOME whose goldendict config names only wn.index and
# wn.dict.dz), XWATCH, DISPLAY (:77), WORD (house), RUNS (10).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$root/build}
WLREADER=${WLREADER:-$BUILD_DIR/src/app/wlreader}
BUNDLE=${BUNDLE:-$BUILD_DIR/dictionaries/wn}
GD_HOME=${GD_HOME:?a HOME prepared for goldendict}
XWATCH=${XWATCH:-/tmp/xwatch}
XSETTLE=${XSETTLE:-/tmp/xsettle}
gcc -O2 -Wall "$root/bench/xsettle.c" -o "$XSETTLE" -lX11
WORD=${WORD:-house}
RUNS=${RUNS:-10}
export DISPLAY=${DISPLAY:-:77}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# One run: the figures xwatch printed, as "mapped settled pss rss".
watch() {
    local name=$1; shift
    "$XWATCH" -n "$name" -p 5 -s 1500 -r 3000 -T 30 -- "$@" 2>/dev/null |
        awk '/^MAPPED_MS/ {m=$2} /^SETTLED_MS/ {s=$2} /^RSS_SUM_KB/ {r=$2; p=$4}
             END {printf "%s %s %d %d\n", m, s, p/1024, r/1024}'
}
wl() {
    # A fresh state each time: no entry to restore, no last dictionary.
    rm -rf "$scratch/wl"; mkdir -p "$scratch/wl"
    WL_DEFAULTS_FILE="$scratch/wl/defaults.plist" TMPDIR="$scratch/wl" XDG_RUNTIME_DIR="$scratch/wl" \
        watch "WL Reader" "$WLREADER" --dictionary "$BUNDLE" "$@"
}
gd() { HOME=$GD_HOME watch "GoldenDict" goldendict "$@"; }

for i in $(seq "$RUNS"); do
    echo "wl start $(wl)" >> "$scratch/runs"
    echo "gd start $(gd)" >> "$scratch/runs"
    echo "wl word $(wl "$WORD")" >> "$scratch/runs"
    echo "gd word $(gd "$WORD")" >> "$scratch/runs"
done

# Words handed to a running window, each one another.
words="garden river mountain table window bread music winter forest letter"
rm -rf "$scratch/wl"; mkdir -p "$scratch/wl"
export WL_DEFAULTS_FILE="$scratch/wl/defaults.plist" TMPDIR="$scratch/wl" XDG_RUNTIME_DIR="$scratch/wl"
"$WLREADER" --dictionary "$BUNDLE" >/dev/null 2>&1 & running=$!
sleep 5
for w in $(echo $words | cut -d' ' -f1-"$RUNS"); do
    echo "wl again - $("$XSETTLE" -n wlreader -s 1000 -- "$WLREADER" --dictionary "$BUNDLE" "$w" | awk '{print $2}') 0 0" >> "$scratch/runs"
done
kill "$running"; wait "$running" 2>/dev/null || true
unset WL_DEFAULTS_FILE XDG_RUNTIME_DIR
HOME=$GD_HOME goldendict >/dev/null 2>&1 & running=$!
sleep 8
for w in $(echo $words | cut -d' ' -f1-"$RUNS"); do
    echo "gd again - $(HOME=$GD_HOME "$XSETTLE" -n goldendict -s 1000 -- goldendict "$w" | awk '{print $2}') 0 0" >> "$scratch/runs"
done
kill "$running"; wait "$running" 2>/dev/null || true

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
printf "%-22s %12s %12s %10s %10s\n" "program, case" "mapped ms" "painted ms" "PSS MiB" "RSS MiB"
for program in wl gd; do
    for case in start word again; do
        rows=$(grep "^$program $case " "$scratch/runs" | cut -d' ' -f3-)
        label=$([ "$program" = wl ] && echo "WL Reader" || echo "GoldenDict")
        printf "%-22s %12s %12s %10s %10s\n" "$label, $case" \
            "$(echo "$rows" | cut -d' ' -f1 | median)" "$(echo "$rows" | cut -d' ' -f2 | median)" \
            "$(echo "$rows" | cut -d' ' -f3 | median)" "$(echo "$rows" | cut -d' ' -f4 | median)"
    done
done
