#!/usr/bin/env python3
"""Checks that the core's layers only look down.

The core's folders are layers, lowest first:

    platform/platform.h   the operations the core needs of a windowing system
    book/                 the book's tables, paragraph joining, limit messages
    story/                story state, conditions, chance rolls, choice resolution, save format
    page/                 display list, tokenizer, tag reading and interpreting, controls
    render/               layout and painting, fonts, pictures, icon bar
    screens/              the built-in screens
    shell/                events, navigation, start-up, the save file, page building

A file may include headers of its own layer and of the layers below it, and
nothing else of this repository (no front end, tool or test).

    check_layers.py [REPOSITORY_ROOT]

Prints one line per include that breaks the order and, last,
"N passed, M failed" (one check per core file); exits 1 when any failed.
"""

import re
import sys
import tempfile
from pathlib import Path

LAYERS = ["platform", "book", "story", "page", "render", "screens", "shell"]
PLATFORM_API = "platform/platform.h"
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
# The core is portable: no windowing system's or operating system's headers.
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s*<((?:windows|unistd|fcntl)\.h|Q\w*|sys/[^>]*)>', re.MULTILINE)


def layer_of(relative):
    """The layer index of a repository path, or None when it is not core."""
    if relative == PLATFORM_API:
        return 0
    top = relative.split("/", 1)[0]
    if top in LAYERS[1:]:
        return LAYERS.index(top)
    return None


def core_files(root):
    files = [root / PLATFORM_API] if (root / PLATFORM_API).exists() else []
    for layer in LAYERS[1:]:
        files += sorted(p for p in (root / layer).rglob("*") if p.suffix in (".h", ".cpp"))
    return files


def problems_of(root, path):
    relative = path.relative_to(root).as_posix()
    own = layer_of(relative)
    problems = []
    text = path.read_text(encoding="utf-8", errors="replace")
    for match in INCLUDE.finditer(text):
        header = match.group(1)
        line = text.count("\n", 0, match.start()) + 1
        target = layer_of(header)
        if target is None:
            if (root / header).exists() or "/" in header:
                problems.append(f"{relative}:{line}: includes {header}, which is not part of the core")
        elif target > own:
            problems.append(
                f"{relative}:{line}: the {LAYERS[own]} layer includes {header} "
                f"of the higher {LAYERS[target]} layer"
            )
    for match in SYSTEM_INCLUDE.finditer(text):
        line = text.count("\n", 0, match.start()) + 1
        problems.append(f"{relative}:{line}: includes <{match.group(1)}>, a platform header")
    return problems


def check(root):
    passed = failed = 0
    lines = []
    for path in core_files(root):
        problems = problems_of(root, path)
        lines += problems
        if problems:
            failed += 1
        else:
            passed += 1
    return passed, failed, lines


def check_catches_an_upward_include():
    """The check itself: a story file that includes a shell header must fail."""
    with tempfile.TemporaryDirectory() as scratch:
        root = Path(scratch)
        for folder in LAYERS[1:]:
            (root / folder).mkdir()
        (root / "shell/reader.h").write_text("#pragma once\n")
        (root / "story/fine.cpp").write_text('#include "book/book_tables.h"\n')
        (root / "story/bad.cpp").write_text('#include <cstdint>\n#include "shell/reader.h"\n')
        (root / "page/front.cpp").write_text('#include "platform/qt/qt_platform.h"\n')
        (root / "render/gdi.cpp").write_text("#include <windows.h>\n")
        _, failed, lines = check(root)
        return failed == 3 and any("story/bad.cpp:2" in line for line in lines)


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[2])
    passed, failed, lines = check(root)
    for line in lines:
        print(line)
    if check_catches_an_upward_include():
        passed += 1
    else:
        print("the check did not catch a story file including a shell header")
        failed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
