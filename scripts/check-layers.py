#!/usr/bin/env python3
"""Checks that the sources keep their layers: a folder includes only itself and the folders below
it, and no two units (a .h with its .cpp) include each other, directly or round a loop.

Usage: scripts/check-layers.py [ROOT]   (ROOT: the source tree, by default this one)
Prints one line per fault, each starting "ERROR: ", and exits with 1 if there is any."""

import pathlib
import re
import sys

MODEL = ["calc/files", "calc/dose", "calc/session", "calc/record", "calc/study"]
WINDOWS_BELOW = MODEL + ["appinfo", "settings", "sysinfo"]

# Each folder and the folders it may include besides itself. The model's libraries are in layers,
# each on the ones before it; settings, the windows and the command line sit on top.
MAY_INCLUDE = {
    "appinfo": [],
    "calc/files": [],
    "calc/dose": MODEL[:1],
    "calc/session": MODEL[:2],
    "calc/record": MODEL[:3],
    "calc/study": MODEL[:4],
    "settings": MODEL + ["appinfo"],
    "sysinfo": ["appinfo"],
    "forms/common": WINDOWS_BELOW,
    "forms/chart": WINDOWS_BELOW + ["forms/common"],
    "forms/session": WINDOWS_BELOW + ["forms/common", "forms/chart"],
    "forms/study": WINDOWS_BELOW + ["forms/common", "forms/chart"],
    "forms/main": WINDOWS_BELOW
    + ["forms/common", "forms/chart", "forms/session", "forms/study"],
    "tools/pourwise-dose/output": MODEL + ["appinfo"],
    "tools/pourwise-dose": MODEL + ["appinfo", "tools/pourwise-dose/output"],
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def units(root):
    """Every unit of every folder in a layer: its path without the ending, and the project paths
    its .h and .cpp include."""
    found = {}
    for folder in MAY_INCLUDE:
        for source in sorted((root / folder).glob("*")):
            if source.suffix not in (".h", ".cpp"):
                continue
            unit = f"{folder}/{source.stem}"
            text = source.read_text(encoding="utf-8", errors="replace")
            includes = found.setdefault(unit, {})
            for included in INCLUDE.findall(text):
                includes.setdefault(included, f"{folder}/{source.name}")
    return found


def folder_of(path):
    return path.rsplit("/", 1)[0] if "/" in path else ""


def upward_includes(found):
    faults = []
    for unit, includes in found.items():
        folder = folder_of(unit)
        for included, source in includes.items():
            target = folder_of(included)
            if target == folder or target not in MAY_INCLUDE:
                continue
            if target not in MAY_INCLUDE[folder]:
                faults.append(
                    f"ERROR: {source} includes {included}, which {folder} may not use: "
                    f"{folder} is below {target} or beside it")
    return faults


def unit_loops(found):
    """One loop through each set of units that include one another, as a list of units."""
    graph = {
        unit: sorted({included.rsplit(".", 1)[0] for included in includes} - {unit})
        for unit, includes in found.items()
    }
    loops, state = [], {}

    def visit(unit, path):
        state[unit] = "open"
        path.append(unit)
        for next_unit in graph.get(unit, []):
            if state.get(next_unit) == "open":
                loops.append(path[path.index(next_unit):] + [next_unit])
            elif next_unit in graph and next_unit not in state:
                visit(next_unit, path)
        path.pop()
        state[unit] = "done"

    for unit in sorted(graph):
        if unit not in state:
            visit(unit, [])
    return [f"ERROR: units include one another: {' -> '.join(loop)}" for loop in loops]


def folder_loops():
    """The folders' own order must have no loop, or two folders could include each other."""
    faults = []
    for folder in MAY_INCLUDE:
        below, seen = list(MAY_INCLUDE[folder]), set()
        while below:
            lower = below.pop()
            if lower == folder:
                faults.append(f"ERROR: {folder} is below itself in the folders' order")
                break
            if lower not in seen:
                seen.add(lower)
                below.extend(MAY_INCLUDE.get(lower, []))
    return faults


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    found = units(root)
    if not found:
        print(f"ERROR: {root} holds none of the layered folders")
        return 1
    faults = folder_loops() + upward_includes(found) + unit_loops(found)
    for fault in faults:
        print(fault)
    if not faults:
        print(f"{len(found)} units in {len(MAY_INCLUDE)} folders keep their layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
