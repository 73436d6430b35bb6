#!/usr/bin/python3
"""Copies the screenshots the whole-program tests saved into docs/ as small PNGs for the README.

    update_screenshots.py SCREENSHOT_DIR DOCS_DIR

Run it after the Wine tests (`ctest --test-dir build/win64`); it names what it could not find.
The pictures are reduced to a palette of 128 colours, which keeps each one small.
"""
import os
import sys

from PIL import Image

# docs name: the test's screenshot
PICTURES = {
    "mouse-page.png": "mouse-page.png",
    "mouse-page-chinese.png": "mouse-page-chinese.png",
    "performance-sliders.png": "performance-sliders.png",
    "setting-panel.png": "panel-combo-ctrl-c.png",
    "setting-panel-macro.png": "panel-macro-game.png",
    "setting-panel-advanced.png": "panel-advanced-program.png",
    "led-page.png": "led-page.png",
    "macro-page.png": "macro-page-recorded.png",
    "statistics-page.png": "statistics-page-level12.png",
    "support-page.png": "support-page.png",
    "support-page-chinese.png": "support-page-chinese.png",
}


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    shots, docs = sys.argv[1], sys.argv[2]
    os.makedirs(docs, exist_ok=True)
    missing = []
    for name, source in PICTURES.items():
        path = os.path.join(shots, source)
        if not os.path.exists(path):
            missing.append(source)
            continue
        image = Image.open(path).convert("RGB")
        small = image.quantize(colors=128, method=Image.Quantize.MEDIANCUT)
        small.save(os.path.join(docs, name), optimize=True)
    for source in missing:
        print(f"not found: {source}")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
