#!/usr/bin/env python3
"""Compares the pages of two bundles, headword by headword.

    tools/compare-pages.py BUNDLE_A BUNDLE_B

Every headword of A must be in B with the same link texts and the same
stored fragments, in order; every cross-reference link (by link text) must
lead to the same word and fragment; the page header, footer and separator
must be the same. Fragments are compared as stored: they are enciphered
block by block under one key, so equal blobs are equal text, and the
contents IDs that name them may differ. Exits 1 and names the first
differences when the bundles disagree.

Used to check that a change of the compiler keeps every page, for example
a bundle of one source built before and after, or a source whose copies
("sameAs") are written out against the source as it is.
"""

import plistlib
import sqlite3
import sys
from pathlib import Path


def blobs(contents, ids):
    """The stored fragments of tab-separated contents IDs."""
    found = []
    for cid in ids.split("\t"):
        row = contents.execute("SELECT data FROM contents WHERE id = ?", (int(cid),)).fetchone()
        found.append(row[0] if row else None)
    return found


def database(bundle, key):
    """The database file the description names under key."""
    with open(bundle / "DatabaseInfo.plist", "rb") as f:
        name = plistlib.load(f)[key]
    return sqlite3.connect(f"file:{bundle / name}?mode=ro", uri=True)


def pages(bundle):
    """Headword -> (links, fragments); link text -> (word, fragment)."""
    contents = database(bundle, "KXPropContentsDatabaseFileName")
    headwords = {}
    for word, links, ids in database(bundle, "KXPropHeadwordDatabaseFileName").execute(
            "SELECT word, links, contents_ids FROM headword"):
        headwords[word] = (links, blobs(contents, ids))
    targets = {}
    for word, link, cid in database(bundle, "KXPropContentsLinkDatabaseFileName").execute(
            "SELECT word, link, contents_id FROM link"):
        targets[link] = (word, blobs(contents, str(cid))[0])
    return headwords, targets


def frame(bundle):
    with open(bundle / "DatabaseInfo.plist", "rb") as f:
        info = plistlib.load(f)
    return [info.get(k) for k in ("KXPropHTMLHeaderString", "KXPropHTMLHeaderString2",
                                  "KXPropHTMLFooterString", "KXPropHTMLSeparatorString",
                                  "KXPropHTMLCharset")]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    a, b = Path(sys.argv[1]), Path(sys.argv[2])
    problems = []
    if frame(a) != frame(b):
        problems.append("header, footer, separator or charset differ")
    words_a, links_a = pages(a)
    words_b, links_b = pages(b)
    for word, page in words_a.items():
        if words_b.get(word) != page:
            problems.append(f"page of {word!r} differs")
    problems += [f"{word!r} only in {b}" for word in words_b.keys() - words_a.keys()]
    for link, target in links_a.items():
        if links_b.get(link) != target:
            problems.append(f"link {link!r} leads elsewhere")
    print(f"{len(words_a)} headwords, {len(links_a)} links compared; {len(problems)} differences")
    for problem in problems[:20]:
        print("  " + problem)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
