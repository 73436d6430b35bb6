#!/usr/bin/python3
"""Tells which of two skin sheets a part of a screenshot shows.

usage: sheet_match.py SHOT LEFT TOP RIGHT BOTTOM SHEET_A SHEET_B
Prints "A" or "B": the sheet whose pixels in that rectangle are closer to the screenshot's. A
sheet exactly the size of the rectangle (a flag picture) is compared whole.

usage: sheet_match.py --at DX DY SHOT LEFT TOP RIGHT BOTTOM SHEET_A SHEET_B
The same for a window whose sheets start at (DX, DY) of the screenshot (a page of the main
window): the rectangle is in the sheets' coordinates.

usage: sheet_match.py --same SHOT_1 SHOT_2 LEFT TOP RIGHT BOTTOM
Prints "same" or "different" for that rectangle of two screenshots.
"""
import sys

from PIL import Image, ImageChops, ImageStat


def distance(a, b):
    diff = ImageChops.difference(a.convert("RGB"), b.convert("RGB"))
    return sum(ImageStat.Stat(diff).mean)


def crop_of(path, box):
    image = Image.open(path)
    if image.size == (box[2] - box[0], box[3] - box[1]):
        return image
    return image.crop(box)


def main():
    if sys.argv[1] == "--same":
        first, second = sys.argv[2:4]
        box = tuple(int(v) for v in sys.argv[4:8])
        d = distance(Image.open(first).crop(box), Image.open(second).crop(box))
        print("same" if d < 1.0 else "different")
        return
    args = sys.argv[1:]
    dx = dy = 0
    if args[0] == "--at":
        dx, dy = int(args[1]), int(args[2])
        args = args[3:]
    shot, left, top, right, bottom, sheet_a, sheet_b = args[:7]
    box = tuple(int(v) for v in (left, top, right, bottom))
    part = Image.open(shot).crop((box[0] + dx, box[1] + dy, box[2] + dx, box[3] + dy))
    da = distance(part, crop_of(sheet_a, box))
    db = distance(part, crop_of(sheet_b, box))
    print("A" if da <= db else "B")


if __name__ == "__main__":
    main()
