#!/usr/bin/python3
"""Writes the PNG files of this folder: one small picture in every colour type,
bit depth and interlace method, with and without a transparency chunk.

Each file is encoded here, chunk by chunk, so that it holds exactly the layout
its name says (image tools choose their own). The pixels are a pattern of
sample values over the whole range of the bit depth; rows use every filter
type. Run it again only to change the set: the files are checked in.

    /usr/bin/python3 make_variants.py
"""
import struct
import zlib

WIDTH, HEIGHT = 13, 11  # odd sizes: every interlace pass holds pixels

ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunk(tag, data):
    body = tag + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def sample(x, y, c, depth):
    return (x * 37 + y * 71 + c * 113 + x * y * 7 + (x * 5003 + y * 40009 if depth == 16 else 0)) % (1 << depth)


def pack_row(pixels, depth):
    """Pixels are tuples of samples; returns the row's bytes."""
    samples = [s for p in pixels for s in p]
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    if depth == 8:
        return bytes(samples)
    out, acc, bits = bytearray(), 0, 0
    for s in samples:
        acc, bits = (acc << depth) | s, bits + depth
        if bits == 8:
            out.append(acc)
            acc, bits = 0, 0
    if bits:
        out.append(acc << (8 - bits))
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def filter_rows(rows, bpp):
    """Filters each row with filter type (row number mod 5)."""
    out, prior = bytearray(), bytes(len(rows[0]))
    for n, row in enumerate(rows):
        kind = n % 5
        out.append(kind)
        for i, v in enumerate(row):
            a = row[i - bpp] if i >= bpp else 0
            b = prior[i]
            c = prior[i - bpp] if i >= bpp else 0
            pred = [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]
            out.append((v - pred) & 0xFF)
        prior = row
    return bytes(out)


def image_data(grid, depth, channels, interlaced):
    bpp = max(1, depth * channels // 8)
    if not interlaced:
        return filter_rows([pack_row(r, depth) for r in grid], bpp)
    data = b""
    for x0, y0, dx, dy in ADAM7:
        rows = [pack_row(grid[y][x0::dx], depth) for y in range(y0, HEIGHT, dy)]
        if rows and rows[0]:
            data += filter_rows(rows, bpp)
    return data


def write(name, color_type, depth, grid, interlaced=False, palette=None, trns=None, extra=b""):
    ihdr = struct.pack(">IIBBBBB", WIDTH, HEIGHT, depth, color_type, 0, 0, 1 if interlaced else 0)
    body = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra
    if palette:
        body += chunk(b"PLTE", bytes(v for rgb in palette for v in rgb))
    if trns is not None:
        body += chunk(b"tRNS", trns)
    idat = zlib.compress(image_data(grid, depth, CHANNELS[color_type], interlaced), 9)
    body += chunk(b"IDAT", idat[: len(idat) // 2]) + chunk(b"IDAT", idat[len(idat) // 2 :])
    body += chunk(b"IEND", b"")
    with open(name, "wb") as f:
        f.write(body)


def grid_of(channels, depth):
    return [[tuple(sample(x, y, c, depth) for c in range(channels)) for x in range(WIDTH)] for y in range(HEIGHT)]


def with_pixel(grid, x, y, value):
    grid[y][x] = value
    return grid


def palette_files():
    for depth, name, entries, alphas, interlaced in [
        (1, "pal1.png", 2, 0, False),
        (2, "pal2-trns.png", 4, 3, False),
        (4, "pal4-interlaced.png", 16, 0, True),
        (8, "pal8-trns.png", 200, 120, False),
        (8, "pal8-trns-interlaced.png", 256, 256, True),
    ]:
        palette = [((i * 67) % 256, (i * 151 + 40) % 256, (255 - i * 29) % 256) for i in range(entries)]
        grid = [[(sample(x, y, 0, 8) % entries,) for x in range(WIDTH)] for y in range(HEIGHT)]
        trns = bytes((i * 53) % 256 for i in range(alphas)) if alphas else None
        write(name, 3, depth, grid, interlaced, palette, trns)


def grey_files():
    for depth in (1, 2, 4, 8, 16):
        write(f"grey{depth}.png", 0, depth, grid_of(1, depth))
    for depth in (2, 8):
        key = sample(3, 2, 0, depth)
        write(f"grey{depth}-trns.png", 0, depth, grid_of(1, depth), trns=struct.pack(">H", key))
    # The transparent grey is compared at 16 bits: a pixel one low-order step
    # away from it stays opaque.
    key = sample(3, 2, 0, 16)
    grid = with_pixel(grid_of(1, 16), 4, 2, (key ^ 1,))
    write("grey16-trns.png", 0, 16, grid, trns=struct.pack(">H", key))
    write("grey16-interlaced.png", 0, 16, grid_of(1, 16), interlaced=True)
    write("greyalpha8.png", 4, 8, grid_of(2, 8))
    write("greyalpha16.png", 4, 16, grid_of(2, 16))


def rgb_files():
    write("rgb8.png", 2, 8, grid_of(3, 8))
    write("rgb16.png", 2, 16, grid_of(3, 16))
    write("rgb8-interlaced.png", 2, 8, grid_of(3, 8), interlaced=True)
    key = grid_of(3, 8)[2][3]
    write("rgb8-trns.png", 2, 8, grid_of(3, 8), trns=struct.pack(">HHH", *key))
    # 16-bit RGB transparency with each sample's high byte repeated in its low
    # byte: the second decoder keeps 8 bits of such samples only.
    grid = [[tuple((s >> 8) * 257 for s in p) for p in row] for row in grid_of(3, 16)]
    write("rgb16-trns.png", 2, 16, grid, trns=struct.pack(">HHH", *grid[2][3]))
    # Gamma, significant bits and text are not applied to the samples.
    extra = chunk(b"gAMA", struct.pack(">I", 100000)) + chunk(b"sBIT", bytes([5, 6, 5])) + \
        chunk(b"tEXt", b"Comment\0samples as stored")
    write("rgb8-gamma-text.png", 2, 8, grid_of(3, 8), extra=extra)


def rgba_files():
    write("rgba8.png", 6, 8, grid_of(4, 8))
    write("rgba16.png", 6, 16, grid_of(4, 16))
    write("rgba8-interlaced.png", 6, 8, grid_of(4, 8), interlaced=True)
    write("rgba16-interlaced.png", 6, 16, grid_of(4, 16), interlaced=True)
    # An alpha channel that is 255 throughout: an opaque picture all the same.
    write("rgba8-opaque.png", 6, 8, [[p[:3] + (255,) for p in row] for row in grid_of(4, 8)])


if __name__ == "__main__":
    palette_files()
    grey_files()
    rgb_files()
    rgba_files()
