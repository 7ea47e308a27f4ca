#!/usr/bin/python3
"""Writes the reference renderings the icon tests compare against.

Each entry named below is decoded by Pillow (python3-pil), not by our code, and
saved as an RGBA PNG in reference/<file>.e<N>.png, N being the entry's position in
the file's own directory order. Icons inside program files are first pulled out
as .ico with icoutils' wrestool, then decoded the same way (<file>.group.png).

Run from anywhere: /usr/bin/python3 tests/data/ico/make_reference.py
"""
import io
import os
import struct
import subprocess
import sys

from PIL import IcoImagePlugin

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.dirname(HERE)
OUT = os.path.join(HERE, "reference")

ENTRIES = {
    "ico/modern-install-full.ico": range(8),
    "ico/orange-install.ico": [4, 5, 8],
    "ico/nsis-menu.ico": [2, 5],
    "ico/classic-install.ico": [0, 1],
    "ico/pixel-install.ico": [1],
    "ico/nsis3-install.ico": [2],
    "ico/uninst": [0],
    "ico/hopper.ico": [0],
    "ico/hopper_mask.ico": [0],
    "ico/black_and_white.ico": [0],
    "ico/hopper_draw.ico": [0],
    "ico/python.ico": [0, 2],
    "ico/pillow.ico": [1],
}
MODULES = ["pe/zlib-x86-ansi", "pe/zlib-x86-unicode", "pe/zlib-amd64-unicode"]


def file_order_offsets(data):
    count = struct.unpack_from("<H", data, 4)[0]
    return [struct.unpack_from("<I", data, 6 + 16 * i + 12)[0] for i in range(count)]


def frame_at(data, index):
    """Pillow sorts its entries; find the one stored at the index-th offset."""
    ico = IcoImagePlugin.IcoFile(io.BytesIO(data))
    offset = file_order_offsets(data)[index]
    for n, entry in enumerate(ico.entry):
        if entry["offset"] == offset:
            return ico.frame(n).convert("RGBA")
    raise SystemExit("no entry at offset %d" % offset)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, indexes in ENTRIES.items():
        with open(os.path.join(DATA, name), "rb") as f:
            data = f.read()
        base = os.path.basename(name).removesuffix(".ico")
        for i in indexes:
            frame_at(data, i).save(os.path.join(OUT, "%s.e%d.png" % (base, i)))
    for name in MODULES:
        data = subprocess.run(["wrestool", "-x", "-t14", os.path.join(DATA, name)],
                              check=True, capture_output=True).stdout
        frame_at(data, 0).save(os.path.join(OUT, "%s.group.png" % os.path.basename(name)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
