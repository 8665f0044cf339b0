#!/usr/bin/env python3
"""wldict lookup of Littré words against what the .dict holds for them.

Usage: tst_stardictlittre.py WLDICT [COUNT]

Builds Debian's Littré (stardict-xmlittre: /usr/share/stardict/dic/XMLittre.ifo)
with `wldict build --from-stardict` into a temporary folder, picks COUNT (300)
records of its .idx at random ($WL_LITTRE_SEED, else a fixed seed) and checks
that `wldict --json lookup` finds each headword and that the text of its entry
holds the record's text: the Pango markup of the .dict read with Python's own
XML parser, tags dropped, white space collapsed. Read independently of the
importer, so a lost, cut or misplaced text shows. Exits 77, which CTest counts
as skipped, when the package is not installed.
"""

import gzip
import json
import os
import random
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

DICTIONARY = "/usr/share/stardict/dic/XMLittre"


def records(idx):
    """The .idx's (headword, offset, size) in file order; 32-bit offsets."""
    at = 0
    while at < len(idx):
        end = idx.index(b"\0", at)
        offset, size = struct.unpack(">II", idx[end + 1:end + 9])
        yield idx[at:end].decode("utf-8"), offset, size
        at = end + 9


def plain(markup):
    """The text of Pango markup, white space collapsed."""
    root = ElementTree.fromstring("<x>" + markup + "</x>")
    return " ".join("".join(root.itertext()).split())


def headword(word):
    """As the importer keeps it: on one line, trimmed."""
    return word.replace("\t", " ").replace("\n", " ").replace("\r", " ").strip()


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    wldict = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    if not os.path.exists(DICTIONARY + ".ifo"):
        print("SKIP: Debian's stardict-xmlittre is not installed "
              "(apt-get install stardict-xmlittre)")
        return 77
    seed = int(os.environ.get("WL_LITTRE_SEED", "1863"))

    with open(DICTIONARY + ".idx", "rb") as f:
        index = list(records(f.read()))
    with gzip.open(DICTIONARY + ".dict.dz", "rb") as f:
        data = f.read()

    with tempfile.TemporaryDirectory() as work:
        bundle = os.path.join(work, "littre")
        built = subprocess.run([wldict, "--json", "build", "--from-stardict", "--quiet",
                                "--language", "fr", DICTIONARY + ".ifo", bundle],
                               capture_output=True, text=True)
        if built.returncode != 0:
            print("FAIL: the build failed:", built.stderr)
            return 1
        summary = json.loads(built.stdout)
        distinct = {headword(word) for word, _, _ in index}
        if summary["headwords"] != len(distinct):
            print(f"FAIL: {summary['headwords']} headwords built, {len(distinct)} in the index")
            return 1

        passed = failed = 0
        picked = random.Random(seed).sample(index, count)
        for word, offset, size in picked:
            expected = plain(data[offset:offset + size].decode("utf-8"))
            looked = subprocess.run([wldict, "--dictionary", bundle, "--json", "lookup", "--", word],
                                    capture_output=True, text=True)
            texts = []
            if looked.returncode == 0:
                entries = json.loads(looked.stdout)["entries"]
                texts = [" ".join(e["text"].split()) for e in entries if e["word"] == headword(word)]
            if any(expected in text for text in texts):
                passed += 1
            else:
                failed += 1
                shown = texts[0][:200] if texts else looked.stderr.strip()
                print(f"FAIL: {word!r} at {offset}: expected {expected[:200]!r}, got {shown!r}")
        print(f"Littré, seed {seed}: {count} records of {len(index)} looked up")
        print(f"{passed} passed, {failed} failed")
        return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
