#!/usr/bin/python3
"""The second decoder of the PNG tests: decodes each PNG file named on the
command line with Pillow and writes, for each, a line "width height count"
followed by `count` bytes of red, green, blue, alpha, top row first.

Samples are taken as stored, as the reader under test takes them: 16-bit
samples keep their high byte, and a transparency chunk makes alpha 0 where a
pixel's stored samples equal it, compared at the file's own bit depth. Pillow
does the first but leaves some of the second to its caller (grey files of
fewer than 8 or of 16 bits, RGB files of 16 bits), so those are done here.
Exits with 2 when a file cannot be compared this way.
"""
import sys

from PIL import Image


def stored_layout(path):
    with open(path, "rb") as f:
        head = f.read(26)
    return head[24], head[25]  # bit depth, colour type


def grey_with_key(im, depth, key):
    if depth == 16:
        stored = list(im.getdata())
        levels = [v >> 8 for v in stored]
    else:
        levels = list(im.convert("L").getdata())
        stored = [v // (255 // ((1 << depth) - 1)) for v in levels]
    return [(v, v, v, 0 if s == key else 255) for v, s in zip(levels, stored)]


def rgb16_with_key(im, key):
    if any(k >> 8 != k & 0xFF for k in key):
        sys.exit("16-bit RGB transparency needs samples whose low byte repeats the high byte")
    key8 = tuple(k >> 8 for k in key)
    return [(*p, 0 if p == key8 else 255) for p in im.convert("RGB").getdata()]


def rgba(path):
    depth, color_type = stored_layout(path)
    im = Image.open(path)
    im.load()
    key = im.info.get("transparency")
    if color_type == 0 and key is not None:
        return grey_with_key(im, depth, key)
    if color_type == 0 and depth == 16:
        return [(v >> 8, v >> 8, v >> 8, 255) for v in im.getdata()]
    if color_type == 2 and depth == 16 and key is not None:
        return rgb16_with_key(im, key)
    return list(im.convert("RGBA").getdata())


def main():
    out = sys.stdout.buffer
    for path in sys.argv[1:]:
        pixels = rgba(path)
        with Image.open(path) as im:
            width, height = im.size
        data = bytes(v for p in pixels for v in p)
        out.write(b"%d %d %d\n" % (width, height, len(data)))
        out.write(data)


if __name__ == "__main__":
    main()
