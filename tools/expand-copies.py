#!/usr/bin/env python3
"""Writes a source folder's copies out: every {"sameAs": "headword#n"}
becomes the fragment it names, as if the source had repeated the text.

    tools/expand-copies.py SOURCE_DIR OUT_DIR

The manifest is copied as it is. With tools/compare-pages.py this checks
that a bundle built from copies shows the same pages as one built from the
text written out.
"""

import json
import shutil
import sys
from pathlib import Path


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, out = Path(sys.argv[1]), Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    shutil.copy(source / "manifest.json", out / "manifest.json")
    name = json.loads((source / "manifest.json").read_text(encoding="utf-8")).get(
        "entries", "entries.jsonl")
    lines = []
    fragments = {}  # headword -> its fragments in file order, as the compiler merges them
    with open(source / name, encoding="utf-8") as f:
        for text in f:
            if not text.strip() or text.lstrip().startswith("//"):
                continue
            entry = json.loads(text)
            fragments.setdefault(entry["headword"], []).extend(entry["fragments"])
            lines.append(entry)
    for entry in lines:
        expanded = []
        for fragment in entry["fragments"]:
            if isinstance(fragment, dict) and "sameAs" in fragment:
                word, _, number = fragment["sameAs"].rpartition("#")
                fragment = fragments[word][int(number) - 1]
            expanded.append(fragment)
        entry["fragments"] = expanded
    with open(out / name, "w", encoding="utf-8") as f:
        for entry in lines:
            f.write(json.dumps(entry, ensure_ascii=False) + "\n")


if __name__ == "__main__":
    main()
