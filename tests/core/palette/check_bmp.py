"""Reads saved BMP files with Pillow and compares them with what the window showed.

Usage: check_bmp.py PICTURE.bmp EXPECTED.json [PICTURE.bmp EXPECTED.json ...]

EXPECTED.json holds "width", "height", "palette" (256 [r, g, b] entries) and "pixels" (width * height
[r, g, b] colours, top row first). Exits 0 when every file matches, 1 on any difference, 2 when Pillow or
an input is missing.
"""

import json
import sys

try:
    from PIL import Image
except ImportError:
    sys.stderr.write(
        "Pillow is not available to %s: install python3-pil (the check needs an independent BMP reader)\n"
        % sys.executable
    )
    sys.exit(2)


def check(bmp_path, expected_path):
    """Returns the differences between the file and the expectation, as lines of text."""
    with open(expected_path, encoding="ascii") as f:
        expected = json.load(f)
    width, height = expected["width"], expected["height"]
    want_palette = [tuple(c) for c in expected["palette"]]
    want_pixels = [tuple(c) for c in expected["pixels"]]
    if len(want_palette) != 256 or len(want_pixels) != width * height:
        return ["the expectation itself is malformed"]

    problems = []
    with Image.open(bmp_path) as image:
        if image.format != "BMP":
            problems.append("format %r, expected BMP" % image.format)
        if image.size != (width, height):
            problems.append("size %r, expected %r" % (image.size, (width, height)))
        if image.mode != "P":
            problems.append("mode %r, expected 'P'" % image.mode)
        # The raw decoder's mode names the stored depth: "P" is one byte a pixel ("P;4", "P;1" are packed).
        rawmode = image.tile[0][3][0] if image.tile else None
        if rawmode != "P":
            problems.append("pixels stored as %r, expected 8 bits per pixel ('P')" % (rawmode,))
        if problems:
            return problems

        flat = image.getpalette()
        palette = [tuple(flat[i : i + 3]) for i in range(0, len(flat), 3)]
        if len(palette) != 256:
            problems.append("%d palette entries, expected 256" % len(palette))
        for i, (got, want) in enumerate(zip(palette, want_palette)):
            if got != want:
                problems.append("palette entry %d is %r, expected %r" % (i, got, want))

        pixels = list(image.convert("RGB").getdata())
        for i, (got, want) in enumerate(zip(pixels, want_pixels)):
            if got != want:
                problems.append("pixel (%d, %d) is %r, expected %r" % (i % width, i // width, got, want))
    return problems


def main(argv):
    if len(argv) < 3 or len(argv) % 2 == 0:
        sys.stderr.write(__doc__)
        return 2
    failed = False
    for bmp_path, expected_path in zip(argv[1::2], argv[2::2]):
        try:
            problems = check(bmp_path, expected_path)
        except (OSError, ValueError, KeyError) as error:
            problems = ["cannot be checked: %s" % error]
        if problems:
            failed = True
            sys.stderr.write("%s:\n" % bmp_path)
            for line in problems[:20]:
                sys.stderr.write("  %s\n" % line)
            if len(problems) > 20:
                sys.stderr.write("  ... and %d more\n" % (len(problems) - 20))
        else:
            print("%s: matches (%s)" % (bmp_path, expected_path))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
