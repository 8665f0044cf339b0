#!/usr/bin/env bash
# The first tap on an Index row of a reader started a while ago, to its entry
# painted (bench/xsettle.c), for each program given: what it costs to start
# the web engine at the first touch rather than before. Each round starts each
# program afresh, waits WAIT seconds, reads its memory (PSS of the one
# process: use readers that run the engine inside it), taps the row at X,Y (window
# coordinates) with xdotool and records the time; medians of RUNS.
#   first-tap.sh LABEL=PROGRAM ...
# Settings (environment): BUNDLE, DISPLAY (:77), RUNS (5), WAIT (5), X (100), Y (75).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
BUNDLE=${BUNDLE:-$root/build/dictionaries/wn}
XSETTLE=${XSETTLE:-/tmp/xsettle}
gcc -O2 -Wall "$root/bench/xsettle.c" -o "$XSETTLE" -lX11
export DISPLAY=${DISPLAY:-:77}
RUNS=${RUNS:-5} WAIT=${WAIT:-5} X=${X:-100} Y=${Y:-75}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for i in $(seq "$RUNS"); do
    for variant in "$@"; do
        label=${variant%%=*} program=${variant#*=}
        rm -rf "$scratch/wl"; mkdir -p "$scratch/wl"; chmod 700 "$scratch/wl"
        WL_DEFAULTS_FILE="$scratch/wl/defaults.plist" TMPDIR="$scratch/wl" XDG_RUNTIME_DIR="$scratch/wl" \
            "$program" --dictionary "$BUNDLE" </dev/null >/dev/null 2>&1 & reader=$!
        sleep "$WAIT"
        # What the waiting reader holds (the engine runs in its process).
        pss=$(awk '/^Pss:/ {print int($2 / 1024)}' /proc/$reader/smaps_rollup)
        window=$(xdotool search --class wlreader | tail -1)
        ms=$("$XSETTLE" -n wlreader -s 1000 -- xdotool mousemove --window "$window" "$X" "$Y" click 1 | awk '{print $2}')
        echo "$label $ms $pss" >> "$scratch/runs"
        kill "$reader"; wait "$reader" 2>/dev/null || true
    done
done
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
printf "%-30s %14s %18s\n" program "tap to entry ms" "PSS waiting, MiB"
for variant in "$@"; do
    label=${variant%%=*}
    printf "%-30s %14s %18s\n" "$label" "$(grep "^$label " "$scratch/runs" | cut -d' ' -f2 | median)" \
        "$(grep "^$label " "$scratch/runs" | cut -d' ' -f3 | median)"
done
