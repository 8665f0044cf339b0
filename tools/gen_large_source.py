#!/usr/bin/env python3
"""Writes a large dictionary source folder for benchmarks.

    tools/gen_large_source.py OUTDIR [--entries N] [--seed S]

The headwords are pronounceable pseudo-words, unique and the same for the
same seed. About one entry in ten has a long entry (fragments of ~2 KB),
one in four has two or three fragments, and most fragments cross-reference
another headword, so every table of the bundle gets realistic sizes.
"""

import argparse
import json
import os
import random

ONSETS = ["", "b", "br", "c", "ch", "d", "dr", "f", "fl", "g", "gr", "h", "j", "k", "l",
          "m", "n", "p", "pl", "qu", "r", "s", "sh", "st", "t", "th", "tr", "v", "w", "z"]
VOWELS = ["a", "e", "i", "o", "u", "ai", "ea", "ee", "oo", "ou", "é", "ö"]
CODAS = ["", "", "n", "r", "s", "t", "l", "m", "nd", "st", "ck", "ng"]
FILLER = ("lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor "
          "incididunt ut labore et dolore magna aliqua ut enim ad minim veniam quis nostrud "
          "exercitation ullamco laboris nisi aliquip ex ea commodo consequat").split()


def pseudo_words(rng, count):
    seen = set()
    words = []
    while len(words) < count:
        syllables = rng.choice((1, 2, 2, 3, 3, 4))
        word = "".join(rng.choice(ONSETS) + rng.choice(VOWELS) + rng.choice(CODAS)
                       for _ in range(syllables))
        if rng.random() < 0.05:
            word = word.capitalize()
        if word and word not in seen:
            seen.add(word)
            words.append(word)
    return words


def sentence(rng, length):
    return " ".join(rng.choice(FILLER) for _ in range(length)).capitalize() + "."


def fragment(rng, headword, number, target, long):
    sentences = rng.randint(28, 34) if long else rng.randint(1, 3)
    body = " ".join(sentence(rng, rng.randint(6, 12)) for _ in range(sentences))
    html = '<div class="sense"><b>%s</b> <i>%d</i> %s' % (headword, number, body)
    if target is not None:
        html += ' <span class="see">See [[%s]].</span>' % target
    return html + "</div>"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("outdir")
    parser.add_argument("--entries", type=int, default=200000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    words = pseudo_words(rng, args.entries)
    os.makedirs(args.outdir, exist_ok=True)
    manifest = {
        "title": "Benchmark Dictionary (%d entries)" % args.entries,
        "charset": "UTF-8",
        "language": "en",
        "header": "<html><head><meta charset=\"UTF-8\"></head><body>",
        "largeHeader": "<html><head><meta charset=\"UTF-8\"><style>body{font-size:150%}</style></head><body>",
        "footer": "</body></html>",
        "separator": "<hr>",
    }
    with open(os.path.join(args.outdir, "manifest.json"), "w", encoding="utf-8") as f:
        json.dump(manifest, f, ensure_ascii=False, indent=2)
        f.write("\n")
    with open(os.path.join(args.outdir, "entries.jsonl"), "w", encoding="utf-8") as f:
        for word in words:
            long = rng.random() < 0.1
            count = rng.choice((1, 1, 1, 2, 3)) if not long else 1
            fragments = []
            for n in range(1, count + 1):
                target = rng.choice(words) if rng.random() < 0.7 else None
                fragments.append(fragment(rng, word, n, target, long))
            entry = {"headword": word, "fragments": fragments}
            if rng.random() < 0.3:
                entry["look"] = [word, word + "s"]
            f.write(json.dumps(entry, ensure_ascii=False) + "\n")


if __name__ == "__main__":
    main()
