#!/usr/bin/env bash
# Ways of running the web engine, side by side in one run, interleaved, on
# each dictionary: the reader started alone (window painted, memory 3 s after
# mapping) and "wlreader WORD" from cold (entry painted, memory then). Timed
# by xwatch (shared/tools/xwatch.c) from process start; medians of RUNS.
#
# A variant is a line of VARIANTS: a label, the program, the web engine's
# flags (QTWEBENGINE_CHROMIUM_FLAGS; "-" for the reader's own default) and
# optionally more of the environment (NAME=VALUE ...), separated by "|". Two
# builds of the reader compare what flags cannot.
#
# Settings (environment): VARIANTS, DICTIONARIES (bundle folders, space
# separated), XWATCH, DISPLAY (:77), WORD (house), RUNS (10), RAW (a file
# that keeps every run's figures).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
WLREADER=${WLREADER:-$root/build/src/app/wlreader}
DICTIONARIES=${DICTIONARIES:-"$root/build/dictionaries/demo $root/build/dictionaries/wn"}
XWATCH=${XWATCH:-/tmp/xwatch}
WORD=${WORD:-house}
RUNS=${RUNS:-10}
export DISPLAY=${DISPLAY:-:77}
VARIANTS=${VARIANTS:-"today|$WLREADER|-
one process|$WLREADER|--log-level=3 --disable-gpu --single-process
one renderer, no zygote|$WLREADER|--log-level=3 --disable-gpu --no-zygote --renderer-process-limit=1"}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

run() {
    local program=$1 flags=$2 more=$3; shift 3
    rm -rf "$scratch/wl"; mkdir -p "$scratch/wl"
    local environment=(WL_DEFAULTS_FILE="$scratch/wl/defaults.plist" TMPDIR="$scratch/wl"
                       XDG_RUNTIME_DIR="$scratch/wl")
    [ "$flags" = - ] || environment+=(QTWEBENGINE_CHROMIUM_FLAGS="$flags")
    # shellcheck disable=SC2206
    environment+=($more)
    env "${environment[@]}" "$XWATCH" -n "WL Reader" -p 5 -s 1500 -r 3000 -T 30 -- "$program" "$@" 2>/dev/null </dev/null |
        awk '/^MAPPED_MS/ {m=$2} /^SETTLED_MS/ {s=$2} /^RSS_SUM_KB/ {r=$2; p=$4; n=$6}
             END {printf "%s %s %d %d %s\n", m, s, p/1024, r/1024, n}'
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
for i in $(seq "$RUNS"); do
    for dictionary in $DICTIONARIES; do
        while IFS='|' read -r label program flags more; do
            [ -n "$label" ] || continue
            name=$(basename "$dictionary")
            echo "$name|$label|start|$(run "$program" "$flags" "$more" --dictionary "$dictionary")" >> "$scratch/runs"
            echo "$name|$label|word|$(run "$program" "$flags" "$more" --dictionary "$dictionary" "$WORD")" >> "$scratch/runs"
        done <<< "$VARIANTS"
    done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
[ -z "${RAW:-}" ] || cp "$scratch/runs" "$RAW"

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
printf "%-8s %-28s %-6s %10s %10s %8s %8s %6s\n" dictionary variant case "mapped ms" "painted ms" "PSS MiB" "RSS MiB" procs
cut -d'|' -f1-3 "$scratch/runs" | awk '!seen[$0]++' | while IFS='|' read -r name label case; do
    rows=$(grep -F "$name|$label|$case|" "$scratch/runs" | cut -d'|' -f4)
    printf "%-8s %-28s %-6s %10s %10s %8s %8s %6s\n" "$name" "$label" "$case" \
        "$(echo "$rows" | cut -d' ' -f1 | median)" "$(echo "$rows" | cut -d' ' -f2 | median)" \
        "$(echo "$rows" | cut -d' ' -f3 | median)" "$(echo "$rows" | cut -d' ' -f4 | median)" \
        "$(echo "$rows" | cut -d' ' -f5 | median)"
done
