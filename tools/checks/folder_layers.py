#!/usr/bin/env python3
"""folder_layers.py -- checks that the folders of src/ include each other downwards only.

Each folder may include itself and the folders listed below it in LAYERS; an include that goes
up (or a folder missing from the list) is reported with the file and line, and the exit status
is 1. Run from anywhere: python3 tools/checks/folder_layers.py [SRC_DIR]
"""
import pathlib
import re
import sys

# Top to bottom. A folder may include only the folders after it.
LAYERS = ["app", "ui", "replay", "game", "input", "assets", "gfx", "core", "platform"]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"')


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[2] / "src")
    rank = {name: i for i, name in enumerate(LAYERS)}
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in rank:
            faults.append(f"{path}: folder '{folder}' has no place in the layers")
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = match.group(1)
            if target not in rank:
                continue  # a third-party header
            if rank[target] < rank[folder]:
                faults.append(f"{path}:{number}: {folder}/ includes {target}/, which sits above it")
    for fault in faults:
        print(fault)
    if not faults:
        print("folders include downwards only: " + " > ".join(LAYERS))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
