#!/usr/bin/python3
"""Writes pillow_first_frame.txt: the first frame of every corpus GIF as a
second decoder (python3-pil) sees it.

Each line: path (relative to the corpus), screen width and height, the first
frame's box (left, top, right, bottom) and the 64-bit FNV-1a hash of that box's
RGB bytes, row by row. Files the decoder refuses are left out.
Run: tests/data/gif/make_pillow_reference.py CORPUS_DIR > tests/data/gif/pillow_first_frame.txt
"""
import glob
import os
import sys

from PIL import Image


def fnv1a64(data):
    h = 0xCBF29CE484222325
    for b in data:
        h = ((h ^ b) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


corpus = sys.argv[1]
for path in sorted(glob.glob(os.path.join(corpus, "**", "*.gif"), recursive=True)):
    try:
        im = Image.open(path)
        box = im.tile[0][1]
        screen = im.size
        im.load()
        rgb = im.convert("RGB").crop(box).tobytes()
    except Exception:
        continue
    print(os.path.relpath(path, corpus), *screen, *box, "%016x" % fnv1a64(rgb))
