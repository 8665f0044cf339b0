#!/usr/bin/env python3
"""The layers of src/ point one way: every #include of a project header must
name a header of the file's own folder or of a folder below it. Prints each
include that runs back up (or sideways between layers that must not know
each other) and fails when there is one.

    check_layers.py SRC_DIR
"""
import os
import re
import sys

# Each folder and the folders it may include from. Folders not named here
# may include nothing of the others.
ALLOWED = {
    "platform": [],
    "store": ["platform"],
    "search": ["store", "platform"],
    "media": ["store", "platform"],
    "engine": ["search", "media", "store", "platform"],
    "kit": ["platform"],
    "sound": ["platform"],
    "collections": ["kit", "engine", "search", "media", "store", "platform"],
    "screens": ["collections", "sound", "kit", "engine", "search", "media", "store", "platform"],
    "ui": ["screens", "collections", "sound", "kit", "engine", "search", "media", "store", "platform"],
    "app": ["ui", "screens", "collections", "sound", "kit", "engine", "search", "media", "store",
            "platform"],
    "compiler": ["store", "platform"],
    "import": ["compiler", "store", "platform"],
    "cli": ["import", "compiler", "collections", "kit", "engine", "search", "media", "store",
            "platform"],
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main():
    src = sys.argv[1]
    owner = {}
    sources = []
    for folder in sorted(os.listdir(src)):
        root = os.path.join(src, folder)
        if not os.path.isdir(root):
            continue
        for directory, _, files in os.walk(root):
            for name in files:
                if name.endswith((".h", ".cpp")):
                    sources.append((folder, os.path.join(directory, name)))
                if name.endswith(".h"):
                    if name in owner and owner[name] != folder:
                        print(f"{name}: a header of that name in both {owner[name]} and {folder}")
                    owner.setdefault(name, folder)
    wrong = 0
    for folder, path in sources:
        if folder not in ALLOWED:
            print(f"{path}: the folder {folder} has no place among the layers (tests/architecture)")
            wrong += 1
            continue
        with open(path, encoding="utf-8") as file:
            text = file.read()
        for included in INCLUDE.findall(text):
            other = owner.get(os.path.basename(included))
            if other is None or other == folder or other in ALLOWED[folder]:
                continue
            print(f"{os.path.relpath(path, src)} includes {included} of {other}, "
                  f"which {folder} may not reach")
            wrong += 1
    if wrong:
        print(f"{wrong} include(s) against the layers")
        return 1
    print(f"layers: {len(sources)} files, every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
