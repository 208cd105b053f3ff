#!/usr/bin/env python3
"""Checks the bitmaps, sounds and icon that the reader binds in.

Every bitmap the book's picture table names, and the icon-bar faces, must be
an uncompressed bottom-up Windows BMP of the size and depth the reader lays
out; every sound the book names must be a short, quiet, clean 16-bit mono PCM
WAVE at 22050 Hz; the program icon must hold 16, 24, 32, 48 and 256 pixel
square images.

    check_resources.py [REPOSITORY_ROOT]

Prints one line per problem and, last, "N passed, M failed"; exits 1 when
anything failed.
"""

import math
import struct
import sys
import tomllib
from pathlib import Path

# The icon bar's faces: "?", Rstrt, Info, Rtrn, Prev, Next, and the disabled
# Rtrn, Prev and Next. The icon bar loads them whatever the book says.
FACES = range(1107, 1116)


def bitmap_table(root):
    """Every bitmap the reader can load: id -> (width, height, bits per pixel)."""
    table = {}
    for line in (root / "resources/bitmaps.txt").read_text().splitlines():
        if line.strip() and not line.startswith("#"):
            number, width, height, bits = (int(field) for field in line.split())
            table[number] = (width, height, bits)
    return table


SAMPLE_RATE = 22050
LONGEST_SOUND = 3.0  # seconds, exclusive
# Quiet: the loudest sample between these levels, in dBFS.
PEAK_RANGE = (-18.0, -6.0)
# Clean: the first and last samples no louder than this (about -40 dBFS),
# so that starting or stopping a sound does not click.
EDGE_LIMIT = 330


def check_bitmap(path, width, height, bits):
    """The problems with the BMP at path, as a list of strings."""
    data = path.read_bytes()
    if len(data) < 54 or data[:2] != b"BM":
        return ["not a BMP file"]
    file_size, _, offset = struct.unpack_from("<I4sI", data, 2)
    (header_size, w, h, planes, bpp, compression, _, _, _, colours_used, _) = struct.unpack_from(
        "<IiiHHIIiiII", data, 14
    )
    if header_size != 40:
        return [f"header of {header_size} bytes, expected a BITMAPINFOHEADER (40)"]
    problems = []
    if (w, h) != (width, height):
        how = " (top-down)" if h < 0 else ""
        problems.append(f"{w} x {h} pixels{how}, expected {width} x {height}")
    if planes != 1:
        problems.append(f"{planes} planes, expected 1")
    if bpp != bits:
        problems.append(f"{bpp} bits per pixel, expected {bits}")
    if compression != 0:
        problems.append(f"compression {compression}, expected 0 (BI_RGB)")
    table = 0
    if bits == 8:
        table = 256 * 4
        if colours_used not in (0, 256):
            problems.append(f"{colours_used} palette colours, expected 256")
    if offset != 54 + table:
        problems.append(f"pixels at byte {offset}, expected {54 + table}")
    pixels = (abs(w) * bpp + 31) // 32 * 4 * abs(h)
    if len(data) < offset + pixels:
        problems.append(f"{len(data)} bytes, too short for {pixels} bytes of pixels at {offset}")
    if file_size != len(data):
        problems.append(f"header gives {file_size} bytes, the file has {len(data)}")
    return problems


def riff_chunks(data):
    """The (id, body) chunks of a RIFF file's body."""
    at = 12
    while at + 8 <= len(data):
        ident, size = struct.unpack_from("<4sI", data, at)
        yield ident, data[at + 8 : at + 8 + size]
        at += 8 + size + (size & 1)


def check_sound(path):
    """The problems with the WAVE file at path, as a list of strings."""
    data = path.read_bytes()
    if len(data) < 12 or data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        return ["not a WAVE file"]
    chunks = dict(riff_chunks(data))
    if b"fmt " not in chunks or b"data" not in chunks:
        return ["no format or no data chunk"]
    tag, channels, rate, byte_rate, block, bits = struct.unpack_from("<HHIIHH", chunks[b"fmt "])
    problems = []
    if tag != 1:
        problems.append(f"format tag {tag}, expected 1 (PCM)")
    if channels != 1:
        problems.append(f"{channels} channels, expected 1")
    if rate != SAMPLE_RATE:
        problems.append(f"{rate} Hz, expected {SAMPLE_RATE}")
    if bits != 16:
        problems.append(f"{bits} bits per sample, expected 16")
    if block != channels * bits // 8 or byte_rate != rate * block:
        problems.append(f"block size {block} and {byte_rate} bytes a second do not agree with the format")
    if problems:
        return problems

    body = chunks[b"data"]
    samples = struct.unpack(f"<{len(body) // 2}h", body[: len(body) // 2 * 2])
    seconds = len(samples) / rate
    if not samples:
        return ["no samples"]
    if seconds >= LONGEST_SOUND:
        problems.append(f"{seconds:.2f} seconds long, expected under {LONGEST_SOUND:g}")
    loudest = max(abs(s) for s in samples)
    level = 20 * math.log10(loudest / 32768) if loudest else -math.inf
    if not PEAK_RANGE[0] <= level <= PEAK_RANGE[1]:
        problems.append(f"peak {level:.1f} dBFS, expected between {PEAK_RANGE[0]:g} and {PEAK_RANGE[1]:g}")
    if abs(samples[0]) > EDGE_LIMIT or abs(samples[-1]) > EDGE_LIMIT:
        problems.append(f"starts at {samples[0]} and ends at {samples[-1]}: it would click (no fade)")
    return problems


# What Windows asks of a program icon at scale factors up to 300%.
ICON_SIZES = {(n, n) for n in (16, 24, 32, 48, 256)}


def check_icon(path):
    """The problems with the .ico file at path, as a list of strings."""
    data = path.read_bytes()
    if len(data) < 6:
        return ["not an icon file"]
    reserved, kind, count = struct.unpack_from("<HHH", data)
    if reserved != 0 or kind != 1:
        return ["not an icon file"]
    sizes = set()
    for i in range(count):
        entry = 6 + 16 * i
        if entry + 16 > len(data):
            return [f"directory of {count} images runs past the end"]
        w, h = data[entry], data[entry + 1]
        _, _, _, _, length, offset = struct.unpack_from("<BBHHII", data, entry + 2)
        if offset + length > len(data):
            return [f"image {i} runs past the end of the file"]
        sizes.add((w or 256, h or 256))
    if not ICON_SIZES <= sizes:
        missing = ", ".join(f"{w} x {h}" for w, h in sorted(ICON_SIZES - sizes))
        return [f"images of {sorted(sizes)}, lacking {missing}"]
    return []


def check_file(root, path, check):
    """(path relative to root, its problems) for one file."""
    problems = check(path) if path.is_file() else ["missing"]
    return path.relative_to(root), problems


def main():
    root = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2]
    with open(root / "book/data/book.toml", "rb") as f:
        book = tomllib.load(f)
    pictures = [p.get("bitmap") for p in book.get("pictures", [])]
    bitmaps = bitmap_table(root)

    results = []  # (what was checked, its problems)
    for number, bitmap in enumerate(pictures):
        if bitmap not in bitmaps:
            results.append((f"picture {number}", [f"bitmap {bitmap} is not one the reader has"]))
    for bitmap in sorted(set(pictures) & bitmaps.keys() | set(FACES)):
        path = root / "resources/bitmaps" / f"{bitmap}.bmp"
        results.append(check_file(root, path, lambda p, b=bitmap: check_bitmap(p, *bitmaps[b])))
    for name in book.get("sounds", []):
        results.append(check_file(root, root / "resources/sounds" / f"{name}.wav", check_sound))
    results.append(check_file(root, root / "resources/icon/lanthorn.ico", check_icon))

    for name, problems in results:
        for problem in problems:
            print(f"FAIL {name}: {problem}")
    failed = sum(1 for _, problems in results if problems)
    print(f"{len(results) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
