#!/usr/bin/env bash
# WL Reader against real dictionary programs, on WordNet, in one run:
#   one-shot lookup:  wldict lookup   | dict + a local dictd | sdcv -n
#   prefix search:    wldict search   | dict -m -s prefix
#   floor:            the same SQL as wldict's search, run by the sqlite3 shell
#   start-up:         wldict info against the sqlite3 shell opening a file
# Whole processes, timed by hyperfine; the table gives medians and the
# ratio of each to its group's reference. See docs/PERFORMANCE.md.
#
# Settings (environment): BUILD_DIR (build), WLDICT, BUNDLE, WORD (bank),
# PREFIX (WORD), RUNS (50), PORT (26280), OUT ($BUILD_DIR/bench-peers).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$root/build}
WLDICT=${WLDICT:-$BUILD_DIR/src/cli/wldict}
BUNDLE=${BUNDLE:-$BUILD_DIR/dictionaries/wn}
WORD=${WORD:-bank}
PREFIX=${PREFIX:-$WORD}
RUNS=${RUNS:-50}
PORT=${PORT:-26280}
OUT=${OUT:-$BUILD_DIR/bench-peers}
DICTD_DIR=/usr/share/dictd
TABFILE=/usr/lib/stardict-tools/tabfile

# --- what the peers need ---------------------------------------------------
packages="dictd dict dict-wn sdcv stardict-tools hyperfine sqlite3 python3"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    if [ "$(id -u)" = 0 ]; then
        echo "Installing:$missing"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
    else
        echo "Missing packages. Run as root:" >&2
        echo "  apt-get install -y --no-install-recommends$missing" >&2
        exit 1
    fi
fi
if [ ! -x "$WLDICT" ]; then
    echo "No wldict at $WLDICT: run 'make build' first (or set WLDICT)." >&2
    exit 1
fi
if [ ! -f "$BUNDLE/DatabaseInfo.plist" ]; then
    "$WLDICT" build --from-dictd --language en "$DICTD_DIR/wn.index" "$DICTD_DIR/wn.dict.dz" "$BUNDLE"
fi

work=$(mktemp -d)
chmod 755 "$work" # dictd, under its own user, must reach its folder
dictd_pid=""
cleanup() {
    # Only the dictd this script started, by its own pid.
    if [ -n "$dictd_pid" ] && kill -0 "$dictd_pid" 2>/dev/null; then
        kill "$dictd_pid"
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# --- dictd on loopback -----------------------------------------------------
# dictd drops its privileges and changes to /, so its files are absolute
# and its folder writable by anyone.
mkdir -m 1777 "$work/dictd"
cat >"$work/dictd/dictd.conf" <<CONF
global {
  listen_to 127.0.0.1
  port $PORT
}
access { allow 127.0.0.1 }
database wn {
  data  "$DICTD_DIR/wn.dict.dz"
  index "$DICTD_DIR/wn.index"
}
CONF
dictd -c "$work/dictd/dictd.conf" -p "$PORT" --listen-to 127.0.0.1 \
      -L "$work/dictd/dictd.log" --pid-file "$work/dictd/dictd.pid"
for _ in $(seq 50); do
    [ -s "$work/dictd/dictd.pid" ] && dict -h 127.0.0.1 -p "$PORT" -d wn "$WORD" >/dev/null 2>&1 && break
    sleep 0.1
done
dictd_pid=$(cat "$work/dictd/dictd.pid" 2>/dev/null || true)
if ! dict -h 127.0.0.1 -p "$PORT" -d wn "$WORD" >/dev/null; then
    echo "dictd did not answer on 127.0.0.1:$PORT; its log:" >&2
    cat "$work/dictd/dictd.log" >&2 || true
    exit 1
fi

# --- the same data for sdcv ------------------------------------------------
# dictd2dic (stardict-tools) writes an index whose entries have no data on
# these files, so the definitions go through stardict-tools' tabfile: one
# "headword TAB definition" line each, line ends written as \n.
stardict="$work/stardict"
mkdir -p "$stardict"
python3 - "$DICTD_DIR/wn.index" "$DICTD_DIR/wn.dict.dz" "$stardict/wn.tab" <<'PY'
import gzip, sys
digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
def number(text):
    value = 0
    for c in text:
        value = value * 64 + digits.index(c)
    return value
data = gzip.open(sys.argv[2]).read()
with open(sys.argv[1], encoding="utf-8") as index, open(sys.argv[3], "w", encoding="utf-8") as tab:
    for line in index:
        fields = line.rstrip("\n").split("\t")
        if len(fields) < 3 or not fields[0].strip() or fields[0].startswith("00-database"):
            continue
        start, length = number(fields[1]), number(fields[2])
        text = data[start:start + length].decode("utf-8").rstrip("\n")
        tab.write(fields[0] + "\t" + text.replace("\\", "\\\\").replace("\n", "\\n") + "\n")
PY
sdcv_ok=0
if (cd "$stardict" && "$TABFILE" wn.tab >/dev/null 2>&1) \
   && sdcv -n --data-dir "$stardict" "$WORD" 2>/dev/null | grep -q "^Found"; then
    sdcv_ok=1
else
    echo "sdcv: the StarDict conversion did not work; sdcv is left out." >&2
fi

# --- the floor: wldict's two search queries, by the sqlite3 shell ----------
# The same statements, letter ranges and LIKE patterns as the search worker
# (table and column names as wldict build writes them; the files as the
# description names them). Prints the partial-match file, which the shell opens.
search_db=$(python3 - "$BUNDLE" "$PREFIX" "$work/floor.sql" <<'PY'
import plistlib, sqlite3, sys
bundle, keyword, out = sys.argv[1:]
keyword = keyword.lower()
with open(f"{bundle}/DatabaseInfo.plist", "rb") as f:
    info = plistlib.load(f)
equal_db, search_db = info["KXPropEqualSearchDatabaseFileName"], info["KXPropSearchDatabaseFileName"]
def letter_range(db, table):
    con = sqlite3.connect(f"file:{bundle}/{db}?mode=ro", uri=True)
    row = con.execute(f"SELECT offset, offset + count - 1 FROM {table} WHERE letter = ?",
                      (keyword[:1],)).fetchone()
    return row or (0, -1)
def literal(text):
    return "'" + text.replace("'", "''") + "'"
like = keyword.replace("\\", "\\\\").replace("%", "\\%").replace("_", "\\_")
equal = letter_range(equal_db, info["KXPropEqualSearchIndexTableName"])
partial = letter_range(search_db, info["KXPropSearchIndexTableName"])
with open(out, "w", encoding="utf-8") as sql:
    sql.write(f"ATTACH {literal(bundle + '/' + equal_db)} AS e;\n")
    sql.write("SELECT word, links, contents_ids FROM e.equal_search WHERE id BETWEEN "
              f"{equal[0]} AND {equal[1]} AND look LIKE {literal(like)} ESCAPE '\\';\n")
    sql.write("SELECT word, link, contents_id FROM search WHERE id BETWEEN "
              f"{partial[0]} AND {partial[1]} AND look LIKE {literal(like + '%')} ESCAPE '\\';\n")
print(search_db)
PY
)

# --- timings -----------------------------------------------------------------
mkdir -p "$OUT"
cp "$work/floor.sql" "$OUT/floor.sql"
common=(-N --warmup 5 --runs "$RUNS" --style basic)
lookup=(-n "wldict lookup" "$WLDICT --dictionary $BUNDLE lookup $WORD"
        -n "dict + dictd" "dict -h 127.0.0.1 -p $PORT -d wn $WORD")
if [ "$sdcv_ok" = 1 ]; then
    lookup+=(-n "sdcv -n" "sdcv -n --data-dir $stardict $WORD")
fi
hyperfine "${common[@]}" --export-json "$OUT/lookup.json" "${lookup[@]}"
hyperfine "${common[@]}" --export-json "$OUT/prefix.json" \
    -n "wldict search" "$WLDICT --dictionary $BUNDLE search $PREFIX" \
    -n "dict -m -s prefix" "dict -h 127.0.0.1 -p $PORT -d wn -m -s prefix $PREFIX" \
    -n "sqlite3 (floor)" "sqlite3 -readonly $BUNDLE/$search_db \".read $work/floor.sql\""
# What every call pays before it looks anything up: wldict opening and
# closing the dictionary, against the sqlite3 shell opening a file.
hyperfine "${common[@]}" --export-json "$OUT/startup.json" \
    -n "wldict info" "$WLDICT --dictionary $BUNDLE info" \
    -n "sqlite3 (floor)" "sqlite3 -readonly $BUNDLE/$search_db \"SELECT 1;\""

# Ratios are to the group's reference: dictd's client for the lookup, the
# sqlite3 shell for the rest.
python3 - "$OUT" <<'PY' | tee "$OUT/peers.md"
import json, statistics, sys
groups = [("lookup.json", "lookup", "dict + dictd"),
          ("prefix.json", "prefix search", "sqlite3 (floor)"),
          ("startup.json", "start-up", "sqlite3 (floor)")]
print("| group | command | median ms | mean ms | min ms | median ÷ reference |")
print("|---|---|---:|---:|---:|---:|")
for name, group, reference in groups:
    results = json.load(open(f"{sys.argv[1]}/{name}"))["results"]
    base = statistics.median(next(r for r in results if r["command"] == reference)["times"])
    for r in results:
        median = statistics.median(r["times"])
        print(f"| {group} | {r['command']} | {median*1000:.1f} | {r['mean']*1000:.1f} | "
              f"{r['min']*1000:.1f} | {median/base:.2f} |")
PY
echo "Results in $OUT (lookup.json, prefix.json, startup.json, peers.md, floor.sql)."
