#!/usr/bin/python3
"""Contact sheets of the drawn skin for a person to look at: every state of a window side by
side, each control's rectangle (or polygon) outlined in a debug colour, and a 3x enlargement of
chosen corners.

    preview_skin.py BIN_DIR OUT_DIR
"""
import os
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import windows  # noqa: E402
from skin_draw import font  # noqa: E402

DEBUG = (0, 255, 80)


def outline(img, shapes, offset=(0, 0)):
    d = ImageDraw.Draw(img)
    ox, oy = offset
    for name, shape in shapes:
        if isinstance(shape[0], (list, tuple)):
            d.polygon([(x + ox, y + oy) for x, y in shape], outline=DEBUG)
        else:
            l, t, r, b = shape
            d.rectangle((l + ox, t + oy, r - 1 + ox, b - 1 + oy), outline=DEBUG)


def contact_sheet(pictures, shapes, columns=2, scale=1):
    """pictures: [(caption, image)]; the rectangles are outlined on a copy of each."""
    w, h = pictures[0][1].size
    w, h = w * scale, h * scale
    rows = (len(pictures) + columns - 1) // columns
    sheet = Image.new("RGB", (columns * (w + 10) + 10, rows * (h + 30) + 10), (90, 90, 90))
    d = ImageDraw.Draw(sheet)
    for i, (caption, img) in enumerate(pictures):
        x = 10 + (i % columns) * (w + 10)
        y = 10 + (i // columns) * (h + 30)
        d.text((x, y), caption, fill=(255, 255, 255), font=font(14, bold=True))
        shown = img.convert("RGB").copy()
        if shapes:
            outline(shown, shapes)
        if scale != 1:
            shown = shown.resize((w, h), Image.NEAREST)
        sheet.paste(shown, (x, y + 20))
    return sheet


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: preview_skin.py BIN_DIR OUT_DIR")
    bin_dir, out = sys.argv[1:]
    os.makedirs(out, exist_ok=True)
    for w in windows.WINDOWS:
        for layout in w.layouts:
            pictures = []
            for state, path in w.files(layout).items():
                pictures.append((f"{state}: {os.path.basename(path)}",
                                 Image.open(os.path.join(bin_dir, "skins", path))))
            scale = 2 if pictures[0][1].size[0] < 500 else 1
            plain = contact_sheet(pictures, [], w.columns, scale)
            plain.save(os.path.join(out, f"{w.name}-{layout}.png"))
            marked = contact_sheet(pictures, w.controls(layout), w.columns, scale)
            marked.save(os.path.join(out, f"{w.name}-{layout}-rects.png"))
    print("previews in", out)


if __name__ == "__main__":
    main()
