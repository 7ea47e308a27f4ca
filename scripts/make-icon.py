#!/usr/bin/python3
"""Draws the program's icon (a colour wheel over a skin swatch) and writes
src/app/resources/tintora.ico (16, 32, 48 px) and tintora.png (48 px)."""
import math
import os
from PIL import Image, ImageDraw

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, "..", "src", "app", "resources")


def draw(size):
    scale = 4
    big = size * scale
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    # A rounded skin swatch.
    pad = big // 12
    d.rounded_rectangle([pad, pad, big - pad, big - pad], radius=big // 6,
                        fill=(54, 78, 128, 255), outline=(24, 34, 60, 255), width=max(1, big // 32))
    # A hue wheel in the swatch.
    cx = cy = big / 2
    r = big * 0.33
    for i in range(360):
        a0, a1 = math.radians(i), math.radians(i + 1.5)
        hue = i / 60.0
        k = int(hue) % 6
        f = hue - int(hue)
        rgb = [(1, f, 0), (1 - f, 1, 0), (0, 1, f), (0, 1 - f, 1), (f, 0, 1), (1, 0, 1 - f)][k]
        colour = tuple(int(255 * c) for c in rgb) + (255,)
        d.polygon([(cx, cy), (cx + r * math.cos(a0), cy + r * math.sin(a0)),
                   (cx + r * math.cos(a1), cy + r * math.sin(a1))], fill=colour)
    hole = r * 0.42
    d.ellipse([cx - hole, cy - hole, cx + hole, cy + hole], fill=(255, 0, 255, 255))
    return img.resize((size, size), Image.LANCZOS)


if __name__ == "__main__":
    os.makedirs(out, exist_ok=True)
    icons = [draw(s) for s in (48, 32, 16)]
    icons[0].save(os.path.join(out, "tintora.ico"), sizes=[(48, 48), (32, 32), (16, 16)],
                  append_images=icons[1:])
    icons[0].save(os.path.join(out, "tintora.png"))
