#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

Usage: fuzz/make-seeds.py BUNDLE_DIR
BUNDLE_DIR is a compiled demo bundle (e.g. build/dictionaries/demo). Run by
hand when the bundle layout changes; the seeds are committed.
"""

import gzip
import os
import plistlib
import sqlite3
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, data):
    if isinstance(data, str):
        data = data.encode("utf-8")
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def rows(path, query):
    connection = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
    try:
        return connection.execute(query).fetchall()
    finally:
        connection.close()


def table_file(bundle, key):
    """The database file the bundle's description names under key."""
    with open(os.path.join(bundle, "DatabaseInfo.plist"), "rb") as f:
        return os.path.join(bundle, plistlib.load(f)[key])


def description_seeds(bundle):
    with open(os.path.join(bundle, "DatabaseInfo.plist"), "rb") as f:
        raw = f.read()
    info = plistlib.loads(raw)
    write("fuzz_description", "demo.xml", raw)
    write("fuzz_description", "demo.bplist", plistlib.dumps(info, fmt=plistlib.FMT_BINARY))

    def variant(name, change, binary=False):
        copy = plistlib.loads(raw)
        change(copy)
        fmt = plistlib.FMT_BINARY if binary else plistlib.FMT_XML
        write("fuzz_description", name, plistlib.dumps(copy, fmt=fmt))

    # Optional parts gone: indexes, the whole-word table, media, appearance.
    def without_optional(d):
        for key in list(d):
            if "Index" in key or key.startswith("KXPropEqualSearch") or "Addition" in key \
                    or "Preload" in key or "Color" in key or "Image" in key:
                del d[key]
    variant("minimal.xml", without_optional)
    # One file named for every role.
    def one_file(d):
        for key in d:
            if key.endswith("DatabaseFileName"):
                d[key] = "headword.db"
    variant("one-file.bplist", one_file, binary=True)
    # Wrong types where strings and numbers are expected.
    def wrong_types(d):
        d["KXPropDatabaseTitle"] = 7
        d["KXPropContentsStorageType"] = "0"
        d["KXPropContentsRepresentationType"] = 1
    variant("wrong-types.xml", wrong_types)
    # Unknown charset, large header only, colours out of range.
    def odd_values(d):
        d["KXPropHTMLCharset"] = "x-no-such-charset"
        for key in d:
            if key.endswith("Color"):
                d[key] = "2, -1, nan"
    variant("odd-values.xml", odd_values)
    # Names that try to leave the bundle.
    def escaping(d):
        for key in d:
            if key.endswith("FileName"):
                d[key] = "../" + str(d[key])
    variant("escaping.xml", escaping)
    write("fuzz_description", "empty-dict.xml", plistlib.dumps({}))
    write("fuzz_description", "array.bplist", plistlib.dumps([1, "a"], fmt=plistlib.FMT_BINARY))


def decrypt_seeds(bundle):
    blobs = rows(os.path.join(bundle, "contents.db"), "SELECT data FROM contents ORDER BY id LIMIT 4")
    for n, (blob,) in enumerate(blobs, 1):
        write("fuzz_decrypt", f"fragment-{n}", bytes(blob))
    write("fuzz_decrypt", "seven", b"\x01" * 7)
    write("fuzz_decrypt", "nine", b"\x02" * 9)
    write("fuzz_decrypt", "zeros", b"\x00" * 16)


def contents_id_seeds(bundle):
    ids = rows(table_file(bundle, "KXPropHeadwordDatabaseFileName"),
               "SELECT contents_ids FROM headword WHERE contents_ids LIKE '%\t%' LIMIT 3")
    ids += rows(table_file(bundle, "KXPropEqualSearchDatabaseFileName"),
                "SELECT contents_ids FROM equal_search LIMIT 2")
    for n, (text,) in enumerate(ids, 1):
        write("fuzz_contents_ids", f"stored-{n}", text)
    for name, text in [("zero", "0"), ("negative", "-3"), ("empty-piece", "1\t\t2"),
                       ("huge", "99999999999999999999"), ("spaces", " 12 \t+4"),
                       ("trailing-tab", "5\t"), ("digits-letters", "12ab")]:
        write("fuzz_contents_ids", name, text)


def colour_seeds(bundle):
    with open(os.path.join(bundle, "DatabaseInfo.plist"), "rb") as f:
        info = plistlib.load(f)
    colours = sorted({v for k, v in info.items() if k.endswith("Color") and isinstance(v, str)})
    for n, text in enumerate(colours, 1):
        write("fuzz_colour", f"demo-{n}", text)
    for name, text in [("spaces", "  1 , 0.5,0 "), ("exponent", "1e-3, 2E+2, .5"),
                       ("signs", "+1, -0, -.25"), ("two", "0.1, 0.2"), ("four", "1,1,1,1"),
                       ("overflow", "1e999, 1e-999, 0"), ("junk", "0.1, 0.2, 0.3x")]:
        write("fuzz_colour", name, text)


def search_seeds(bundle):
    looks = rows(table_file(bundle, "KXPropSearchDatabaseFileName"),
                 "SELECT DISTINCT look FROM search LIMIT 4")
    for n, (look,) in enumerate(looks, 1):
        write("fuzz_search", f"look-{n}", look)
    for name, text in [("star", "a*"), ("question", "?at"), ("middle", "b*k"),
                       ("percent", "%"), ("underscore", "_a"), ("backslash", "\\"),
                       ("upper", "APPLE"), ("accent", "caf\u00e9"), ("only-star", "*"),
                       ("escape-star", "\\*x")]:
        write("fuzz_search", name, text)


def media_seeds(bundle):
    refs = rows(os.path.join(bundle, "contents.db"),
                "SELECT additions FROM contents WHERE additions IS NOT NULL LIMIT 3")
    for n, (text,) in enumerate(refs, 1):
        write("fuzz_media_refs", f"stored-{n}", text)
    tables = rows(os.path.join(bundle, "media.db"),
                  "SELECT name FROM sqlite_master WHERE type = 'table'")
    if tables:
        table = tables[0][0]
        names = rows(os.path.join(bundle, "media.db"), f"SELECT name, id FROM {table} LIMIT 1")
        if names:
            write("fuzz_media_refs", "with-id", f"{table}/{names[0][0]}/{names[0][1]}")
        write("fuzz_media_refs", "dot-dot", f"{table}/..")
        write("fuzz_media_refs", "percent-dot", f"{table}/%2e%2e")
        write("fuzz_media_refs", "absolute", f"/{table}/x")
    write("fuzz_media_refs", "no-table", "nosuch/file.png")
    write("fuzz_media_refs", "four-parts", "a/b/c/d")


def dictd_input(index, data):
    index = index.encode("utf-8")
    return len(index).to_bytes(2, "little") + index + data


def b64(value):
    digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
    if value == 0:
        return "A"
    out = ""
    while value:
        out = digits[value % 64] + out
        value //= 64
    return out


def dictd_seeds():
    definitions = [
        ("00-database-short", "00-database-short\n   Fuzz Dictionary\n"),
        ("00-database-utf8", "00-database-utf8\n"),
        ("apple", "apple\n  A round fruit. See {pear}.\n\n  2. A tree.\n"),
        ("pear", "pear\n  A fruit; compare {apple} and {quince}.\n"),
        ("caf\u00e9", "caf\u00e9\n  A small restaurant [[not a link]].\n"),
    ]
    data = b""
    index = ""
    for word, text in definitions:
        encoded = text.encode("utf-8")
        index += f"{word}\t{b64(len(data))}\t{b64(len(encoded))}\n"
        data += encoded
    write("fuzz_dictd", "plain", dictd_input(index, data))
    write("fuzz_dictd", "gzip", dictd_input(index, gzip.compress(data, mtime=0)))
    write("fuzz_dictd", "fourth-field",
          dictd_input("apple\tA\tK\tApple\n", data))
    write("fuzz_dictd", "past-end", dictd_input("apple\tA\t////\n", data))
    write("fuzz_dictd", "latin1", dictd_input("caf\u00e9\tA\tF\n".encode("latin-1").decode("latin-1"),
                                              "caf\xe9!\n".encode("latin-1")))


def stardict_input(ifo, idx, syn=b"", data=b""):
    """The fuzz_stardict layout: each of .ifo, .idx and .syn after its
    two-byte length (little-endian), then the .dict."""
    if isinstance(ifo, str):
        ifo = ifo.encode("utf-8")
    out = b""
    for part in (ifo, idx, syn):
        out += len(part).to_bytes(2, "little") + part
    return out + data


def stardict_record(word, offset, size, bits=32):
    return word.encode("utf-8") + b"\0" + offset.to_bytes(bits // 8, "big") + size.to_bytes(4, "big")


def stardict_seeds():
    def ifo(idx, count, extra=""):
        return ("StarDict's dict ifo file\nversion=2.4.2\nbookname=Fuzz\n"
                f"wordcount={count}\nidxfilesize={len(idx)}\n" + extra)

    data = b"a fruit\0" + b"another fruit"
    idx = stardict_record("apple", 0, 7) + stardict_record("pear", 8, 13)
    write("fuzz_stardict", "plain", stardict_input(ifo(idx, 2, "sametypesequence=m\n"), idx, b"", data))
    typed = b"m" + b"round\0" + b"h" + b"<b>x</b><a href=\"bword://apple\">a</a>\0"
    typed += b"g" + b"<span foreground=\"red\">r</span>\0" + b"x" + b"<k>k</k><kref>apple</kref>\0"
    typed += b"r" + b"img:a.png\nsnd:b.wav\0" + b"W" + (3).to_bytes(4, "big") + b"RIF"
    idx = stardict_record("apple", 0, len(typed)) + stardict_record("apples", 0, len(typed))
    syn = "malus".encode() + b"\0" + (1).to_bytes(4, "big")
    write("fuzz_stardict", "types-and-synonym",
          stardict_input(ifo(idx, 2, "synwordcount=1\n"), idx, syn, typed))
    idx64 = stardict_record("apple", 0, 7, 64)
    write("fuzz_stardict", "64-bit",
          stardict_input(ifo(idx64, 1, "sametypesequence=tm\nidxoffsetbits=64\n").replace("2.4.2", "3.0.0"),
                         idx64, b"", b"ap\0ple"))
    idx = stardict_record("apple", 0, 7)
    write("fuzz_stardict", "gzip", stardict_input(ifo(idx, 1, "sametypesequence=m\n"), gzip.compress(idx),
                                                   b"", gzip.compress(b"a fruit")))
    write("fuzz_stardict", "past-end", stardict_input(ifo(idx, 1, "sametypesequence=m\n"), idx, b"", b"a"))
    write("fuzz_stardict", "cut-record", stardict_input(ifo(idx, 1), idx[:-3], b"", b"a fruit"))
    write("fuzz_stardict", "about",
          stardict_input(ifo(idx, 1, "sametypesequence=m\nauthor=A\nemail=e@x\nwebsite=https://x\n"
                                     "description=a<br>b\ndate=2006\n"), idx, b"", b"a fruit"))


def defaults_seeds():
    bookmarks = [{"word": "apple", "links": ["apple#1"], "notes": "a note",
                  "contentsIDs": ["3"]},
                 {"word": "bank", "links": ["bank#1", "bank#2"], "notes": "",
                  "contentsIDs": [5, 6]}]
    history = [{"word": "house", "links": ["house#1"], "contentsIDs": ["40"]}]
    full = {"WLBookmarks": bookmarks, "WLBookmarksVersion": 1,
            "WLHistory": history, "WLHistoryVersion": 1, "SomeFlag": True}
    write("fuzz_defaults", "full.xml", plistlib.dumps(full))
    write("fuzz_defaults", "full.bplist", plistlib.dumps(full, fmt=plistlib.FMT_BINARY))
    write("fuzz_defaults", "no-version.xml",
          plistlib.dumps({"WLBookmarks": bookmarks, "WLHistory": history}))
    write("fuzz_defaults", "bad-record.xml",
          plistlib.dumps({"WLBookmarks": [{"word": 3}], "WLBookmarksVersion": 1,
                          "WLHistory": "x", "WLHistoryVersion": "1"}))
    write("fuzz_defaults", "empty.xml", plistlib.dumps({}))
    write("fuzz_defaults", "array.xml", plistlib.dumps([1]))
    write("fuzz_defaults", "garbage", b"<?xml version=\"1.0\"?><plist><dict><key>")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    bundle = sys.argv[1]
    description_seeds(bundle)
    decrypt_seeds(bundle)
    contents_id_seeds(bundle)
    colour_seeds(bundle)
    search_seeds(bundle)
    media_seeds(bundle)
    dictd_seeds()
    stardict_seeds()
    defaults_seeds()
    total = 0
    for folder, _, files in os.walk(CORPUS):
        total += len(files)
    print(f"{total} seed files in {CORPUS}")


if __name__ == "__main__":
    main()
