#!/usr/bin/env python3
"""Every #include "..." of the program's sources follows the layers' direction.

    layering_test.py SOURCE_DIR

A layer may include its own headers and those of the layers below it (the
table's entries and, through them, theirs). The layers without a window
include no Qt header. Prints each include against the direction and exits 1
when there is one.
"""
import pathlib
import re
import sys

# Each layer and the layers it stands on directly.
BELOW = {
    "platform": [],
    "net": ["platform"],
    "engine": ["platform"],
    "derive": ["engine"],
    "history": ["derive"],
    "draws": ["net", "history"],
    "update": ["net"],
    "ui": ["platform"],
    "draws/windows": ["draws", "ui"],
    "update/windows": ["update", "ui"],
    "shell/panels": ["ui", "history"],
    "shell": ["shell/panels", "draws/windows", "update/windows"],
    "cli": ["draws", "update"],
    "fuzz": ["cli"],
    "resources": [],
}
# The windows that live beside their service, on the window base.
WINDOWS = {
    "draws/DrawPanel": "draws/windows",
    "update/UpdateWin": "update/windows",
}
# Built by CMake from the project's version; any layer may include it.
GENERATED = "xyh"
WITHOUT_QT = {"platform", "net", "engine", "derive", "history", "draws", "update", "cli", "fuzz"}

SOURCE = re.compile(r"\.(h|hpp|cpp|cc)$")
LOCAL_INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
QT_INCLUDE = re.compile(r"^\s*#\s*include\s*<Q")


def layer_of(path: str):
    """The layer of a path relative to the source root, None when it has none."""
    stem = re.sub(r"\.[^./]*$", "", path)
    if stem in WINDOWS:
        return WINDOWS[stem]
    if path.startswith("shell/panels/"):
        return "shell/panels"
    top = path.split("/", 1)[0]
    return top if top in BELOW else None


def reachable(layer: str):
    seen, todo = set(), [layer]
    while todo:
        for lower in BELOW[todo.pop()]:
            if lower not in seen:
                seen.add(lower)
                todo.append(lower)
    return seen


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    faults = []
    checked = 0
    for layer_dir in sorted({name.split("/")[0] for name in BELOW}):
        for file in sorted((root / layer_dir).rglob("*")):
            if not file.is_file() or not SOURCE.search(file.name):
                continue
            rel = file.relative_to(root).as_posix()
            layer = layer_of(rel)
            allowed = reachable(layer) | {layer}
            for number, line in enumerate(file.read_text(encoding="utf-8").splitlines(), 1):
                if layer in WITHOUT_QT and QT_INCLUDE.match(line):
                    faults.append(f"{rel}:{number}: {layer} has no window, yet: {line.strip()}")
                match = LOCAL_INCLUDE.match(line)
                if not match:
                    continue
                checked += 1
                target = match.group(1)
                if "/" not in target:  # beside the including file
                    target = str(pathlib.PurePosixPath(rel).parent / target)
                if target.split("/", 1)[0] == GENERATED:
                    continue
                target_layer = layer_of(target)
                if target_layer is None:
                    faults.append(f"{rel}:{number}: {target} is in no layer of the table")
                elif target_layer not in allowed:
                    faults.append(f"{rel}:{number}: {layer} may not include {target_layer} ({target})")
    for fault in faults:
        print(fault)
    print(f"{checked} includes checked, {len(faults)} against the direction")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
