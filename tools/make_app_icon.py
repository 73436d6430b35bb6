#!/usr/bin/python3
"""Draws the application icon (a mouse on a dark disc) into an .ico file with the usual sizes."""
import sys

from PIL import Image, ImageDraw

ACCENT = (31, 161, 211)
DARK = (24, 28, 32)


def draw(size):
    scale = 4
    big = size * scale
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse((0, 0, big - 1, big - 1), fill=DARK + (255,), outline=ACCENT + (255,), width=max(scale, big // 24))
    # mouse body
    w, h = big * 0.42, big * 0.62
    x0, y0 = (big - w) / 2, (big - h) / 2
    d.rounded_rectangle((x0, y0, x0 + w, y0 + h), radius=w / 2, fill=(210, 218, 224, 255))
    # buttons split and wheel
    d.line((big / 2, y0, big / 2, y0 + h * 0.38), fill=DARK + (255,), width=max(scale, big // 40))
    d.line((x0, y0 + h * 0.38, x0 + w, y0 + h * 0.38), fill=DARK + (255,), width=max(scale, big // 40))
    d.rounded_rectangle((big / 2 - w * 0.08, y0 + h * 0.1, big / 2 + w * 0.08, y0 + h * 0.28),
                        radius=w * 0.08, fill=ACCENT + (255,))
    return img.resize((size, size), Image.LANCZOS)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_app_icon.py OUT.ico")
    sizes = [16, 24, 32, 48, 64, 256]
    base = draw(256)
    base.save(sys.argv[1], format="ICO", sizes=[(s, s) for s in sizes])


if __name__ == "__main__":
    main()
