"""Decodes BMP files with Pillow and compares every pixel with what our picture reader decoded.

Usage: check_pictures.py DIRECTORY

DIRECTORY holds the BMP files and cases.json, a list of cases with "file", "width", "height",
"bitsPerPixel", "rare" (features some Pillow versions do not read), "palette" ([r, g, b] entries),
"indices" (one per pixel, top row first, or null above 8 bits per pixel) and "pixels" ([r, g, b] per pixel,
top row first).

Before comparing, the checker decodes a tiny hand-made file for each rare feature whose right decoding is
known. A case with a feature this Pillow gets wrong cannot be checked by it and is listed as not checked; all
other cases must match exactly. Exits 0 when every checked case matches, 1 on any difference, 2 when Pillow
or an input is missing.
"""

import io
import json
import os
import struct
import sys

try:
    import PIL
    from PIL import Image
except ImportError:
    sys.stderr.write(
        "Pillow is not available to %s: install python3-pil (the check needs an independent BMP reader)\n"
        % sys.executable
    )
    sys.exit(2)


def bmp(info_size, width, height, bpp, compression, palette, data):
    """A BMP file: the 40 usual header fields, zeros up to info_size, 4-byte colour entries, data."""
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    off = 14 + info_size + len(table)
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, 1, bpp, compression, len(data), 0, 0,
                       len(palette), 0)
    info += bytes(info_size - len(info))
    return b"BM" + struct.pack("<IHHI", off + len(data), 0, 0, off) + info + table + data


COLOURS = [(10 * i + 5, 200 - 9 * i, 3 * i + 1) for i in range(16)]

# Each rare feature: a file using it and the indices (top row first) it holds.
PROBES = {
    "2 bits per pixel": (bmp(40, 4, 1, 2, 0, COLOURS[:4], bytes((0b00011011, 0, 0, 0))), [0, 1, 2, 3]),
    "52-byte headers": (bmp(52, 2, 1, 8, 0, COLOURS[:4], bytes((3, 1, 0, 0))), [3, 1]),
    "56-byte headers": (bmp(56, 2, 1, 8, 0, COLOURS[:4], bytes((2, 1, 0, 0))), [2, 1]),
    # Bottom row: 5 at x 0; a delta two right and one up; 7 at (3, top row); end of bitmap.
    "RLE delta codes": (
        bmp(40, 4, 2, 8, 1, COLOURS[:8], bytes((1, 5, 0, 2, 2, 1, 1, 7, 0, 1))),
        [0, 0, 0, 7, 5, 0, 0, 0],
    ),
    # An absolute block of three pixels: two bytes, the last nibble unused, then end of bitmap.
    "odd RLE4 absolute blocks": (bmp(40, 3, 1, 4, 2, COLOURS, bytes((0, 3, 0x12, 0x30, 0, 1))), [1, 2, 3]),
}


def indices_of(image):
    """The index of every pixel of an indexed image as Pillow decoded it, top row first."""
    data = list(image.getdata())
    if image.mode == "1":  # Pillow's reading of a black-and-white table
        return [1 if v else 0 for v in data]
    return data


def probe(file_bytes, want):
    try:
        with Image.open(io.BytesIO(file_bytes)) as image:
            image.load()
            return indices_of(image) == want
    except Exception:  # pylint: disable=broad-except
        return False


def check(directory, case):
    """The differences between Pillow's decoding of the case's file and ours, as lines of text."""
    problems = []
    width, height = case["width"], case["height"]
    with Image.open(os.path.join(directory, case["file"])) as image:
        image.load()
        if image.format != "BMP":
            problems.append("format %r, expected BMP" % image.format)
        if image.size != (width, height):
            return problems + ["size %r, expected %r" % (image.size, (width, height))]

        want_pixels = [tuple(c) for c in case["pixels"]]
        got_pixels = list(image.convert("RGB").getdata())
        for i, (got, want) in enumerate(zip(got_pixels, want_pixels)):
            if got != want:
                problems.append("pixel (%d, %d) is %r, we read %r" % (i % width, i // width, got, want))

        if case["indices"] is not None:
            if image.mode not in ("P", "L", "1"):
                return problems + ["mode %r for an indexed file" % image.mode]
            for i, (got, want) in enumerate(zip(indices_of(image), case["indices"])):
                if got != want:
                    problems.append("index at (%d, %d) is %d, we read %d" % (i % width, i // width, got, want))
            if image.mode == "P":
                flat = image.getpalette()
                palette = [tuple(flat[i : i + 3]) for i in range(0, len(flat), 3)]
                for i, want in enumerate(tuple(c) for c in case["palette"]):
                    got = palette[i] if i < len(palette) else None
                    if got != want:
                        problems.append("palette entry %d is %r, we read %r" % (i, got, want))
    return problems


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    directory = argv[1]
    with open(os.path.join(directory, "cases.json"), encoding="ascii") as f:
        cases = json.load(f)
    misread = {name for name, (file_bytes, want) in PROBES.items() if not probe(file_bytes, want)}
    unknown = {name for case in cases for name in case["rare"]} - set(PROBES)
    if unknown:
        sys.stderr.write("no probe for %s\n" % ", ".join(sorted(unknown)))
        return 2

    failed = 0
    checked = 0
    for case in cases:
        lacking = sorted(set(case["rare"]) & misread)
        if lacking:
            print("%s: not checked, Pillow %s does not read %s" % (case["file"], PIL.__version__,
                                                                   " or ".join(lacking)))
            continue
        try:
            problems = check(directory, case)
        except (OSError, ValueError, KeyError, SyntaxError) as error:
            problems = ["cannot be checked: %s" % error]
        checked += 1
        if problems:
            failed += 1
            sys.stderr.write("%s:\n" % case["file"])
            for line in problems[:20]:
                sys.stderr.write("  %s\n" % line)
            if len(problems) > 20:
                sys.stderr.write("  ... and %d more\n" % (len(problems) - 20))
    print("%d of %d files checked against Pillow %s, %d differ" % (checked, len(cases), PIL.__version__, failed))
    if checked == 0:
        return 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
