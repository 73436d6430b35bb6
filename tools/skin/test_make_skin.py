#!/usr/bin/python3
"""Checks of the drawn skin: every file the windows read is produced with the window's size,
shaped windows carry the key colour outside and never inside, and each control shows a
different face when chosen.

Run: /usr/bin/python3 -m unittest discover -s tools/skin -p 'test_*.py'
"""
import os
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import led_page  # noqa: E402
import mouse_page  # noqa: E402
import stats_page  # noqa: E402
import windows  # noqa: E402
from skin_draw import KEY  # noqa: E402


def bbox(shape):
    if isinstance(shape[0], (list, tuple)):
        xs, ys = [p[0] for p in shape], [p[1] for p in shape]
        return min(xs), min(ys), max(xs), max(ys)
    return shape


class DrawnSkin(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.bin = os.path.join(cls.tmp.name, "bin")
        subprocess.run([sys.executable, os.path.join(HERE, "make_skin.py"), cls.bin,
                        os.path.join(cls.tmp.name, "gen")], check=True)
        cls.skins = os.path.join(cls.bin, "skins")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def picture(self, *path):
        with Image.open(os.path.join(self.skins, *path)) as img:
            return img.convert("RGBA" if path[-1].lower().endswith(".png") else "RGB")

    def sheet(self, window, layout, state):
        return self.picture(window.files(layout)[state])

    def test_every_sheet_exists_with_the_size_of_its_window(self):
        for w in windows.WINDOWS:
            for layout in w.layouts:
                for state in w.names:
                    with self.subTest(window=w.name, layout=layout, state=state):
                        self.assertEqual(self.sheet(w, layout, state).size, w.size)

    def test_key_colour_only_outside_shaped_windows(self):
        for w in windows.WINDOWS:
            for layout in w.layouts:
                img = self.sheet(w, layout, "normal")
                px = img.load()
                W, H = img.size
                boxes = [bbox(shape) for _, shape in w.controls(layout)]
                with self.subTest(window=w.name, layout=layout):
                    for xy in ((0, 0), (W - 1, 0), (0, H - 1), (W - 1, H - 1)):
                        # a corner is cut off unless a control fills it (to within a pixel)
                        in_control = any(l - 1 <= xy[0] <= r and t - 1 <= xy[1] <= b for l, t, r, b in boxes)
                        self.assertEqual(px[xy] == KEY, w.shaped and not in_control, xy)
                    for name, shape in w.controls(layout):
                        l, t, r, b = bbox(shape)
                        part = img.crop((l, t, min(r, W), min(b, H)))
                        self.assertNotIn(KEY, [c for _, c in part.getcolors(1 << 16)], name)

    def test_controls_lie_inside_their_window(self):
        for w in windows.WINDOWS:
            for layout in w.layouts:
                for name, shape in w.controls(layout):
                    l, t, r, b = bbox(shape)
                    with self.subTest(window=w.name, layout=layout, control=name):
                        self.assertTrue(0 <= l < r <= w.size[0] + 1 and 0 <= t < b <= w.size[1], (l, t, r, b))

    def test_chosen_and_pointed_at_faces_differ_from_the_plain_one(self):
        for w in windows.WINDOWS:
            for layout in w.layouts:
                normal = self.sheet(w, layout, "normal")
                others = {s: self.sheet(w, layout, s) for s in ("over", "down")}
                for e in w.elements(layout):
                    if e.kind == "track":  # the thumb shows the state
                        continue
                    box = bbox(e.shape)
                    for state in e.looks:
                        img = others[state]
                        with self.subTest(window=w.name, layout=layout, control=e.name, state=state):
                            self.assertTrue(normal.crop(box).tobytes() != img.crop(box).tobytes())

    def test_no_words_where_the_program_writes_its_own(self):
        # words leave many shades of their ink in a row; faces and boxes a few flat colours
        for w in windows.WINDOWS:
            for layout in w.layouts:
                for state in w.names:
                    img = self.sheet(w, layout, state)
                    for box in w.texts(layout):
                        l, t, r, b = box
                        with self.subTest(window=w.name, layout=layout, state=state, box=box):
                            for y in range(t + 3, b - 3):
                                row = img.crop((l + 3, y, min(r, w.size[0]) - 3, y + 1))
                                self.assertLessEqual(len(row.getcolors(1 << 16)), 3, y)

    def test_the_dpi_strips_are_greyed_on_the_disabled_sheet(self):
        en = windows.WINDOWS[0]
        normal, disabled = self.sheet(en, "en", "normal"), self.sheet(en, "en", "disable")
        for pair in mouse_page.DPI_SLIDERS:
            for strip in pair:
                self.assertNotEqual(normal.crop(strip).tobytes(), disabled.crop(strip).tobytes(), strip)

    def test_the_layouts_carry_their_own_words(self):
        en = self.picture(mouse_page.FILES["normal"])
        zh = self.picture("chs", mouse_page.FILES["normal"])
        label = bbox(mouse_page.LOWER_LABELS[0])  # same polygon in both layouts
        self.assertNotEqual(en.crop(label).tobytes(), zh.crop(label).tobytes())

    def test_every_pixel_of_the_colour_wheel_is_a_full_colour(self):
        l, t, r, b = led_page.WHEEL
        cx, cy, rx, ry = (l + r) / 2, (t + b) / 2, (r - l) / 2, (b - t) / 2
        for layout, folder in led_page.LAYOUT_FOLDERS.items():
            px = self.picture(folder, led_page.FILES["normal"]).load()
            colours = set()
            for y in range(t, b):
                for x in range(l, r):
                    if ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2 <= 1:
                        colours.add(px[x, y])
            with self.subTest(layout=layout):
                self.assertEqual([c for c in colours if max(c) != 255], [])
                self.assertGreater(max(min(c) for c in colours), 240)   # white at the centre
                self.assertGreater(len(colours), 2000)

    def test_swatches_show_their_palette_colour(self):
        px = self.picture(led_page.LAYOUT_FOLDERS["en"], led_page.FILES["normal"]).load()
        for k, colour in enumerate(led_page.PALETTE):
            l, t, r, b = led_page.swatch_rect(k)
            self.assertEqual(px[(l + r) // 2, (t + b) // 2], colour, k)

    def test_slider_and_edit_backgrounds_are_compiled_in_per_layout(self):
        for layout, rid in led_page.BACKGROUND_IDS.items():
            with Image.open(os.path.join(self.tmp.name, "gen", "skin", f"bmp_{rid}.bmp")) as img:
                self.assertEqual(img.size, led_page.BACKGROUND_SIZE)

    def test_a_trophy_picture_for_every_level_fits_its_button(self):
        l, t, r, b = stats_page.TROPHY
        pictures = [self.picture("trophy", f"trophy{level}Down.bmp") for level in range(13)]
        self.assertEqual({p.size for p in pictures}, {(r - l, b - t)})
        self.assertEqual(len({p.tobytes() for p in pictures}), 13)

    def test_slider_thumbs_fit_the_narrowest_strip(self):
        strips = [b - t for _, (l, t, r, b) in mouse_page.controls("en") if "slider" in _]
        for name in ("Slider.png", "SliderDisable.PNG"):
            with self.subTest(thumb=name):
                self.assertLessEqual(self.picture(name).size[1], min(strips))


if __name__ == "__main__":
    unittest.main()
