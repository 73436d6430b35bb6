#!/usr/bin/python3
"""The drawing helpers: words are never cut, every face stays inside its control, shaped
windows get the key colour outside only."""
import os
import sys
import unittest

from PIL import Image, ImageChops, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import windows  # noqa: E402
from skin_draw import (KEY, STATES, Element, WordsDoNotFit, draw_element, draw_sheets,  # noqa: E402
                       fitted_font, mirrored, words)


class Words(unittest.TestCase):
    def test_words_shrink_until_they_fit_their_box(self):
        box = (0, 0, 60, 16)
        f = fitted_font("Wheel down", box, 14)
        l, t, r, b = f.getbbox("Wheel down")
        self.assertLessEqual(r - l, 60)
        self.assertLess(f.size, 14)
        self.assertEqual(fitted_font("DPI", box, 12).size, 12)

    def test_words_that_cannot_fit_are_refused(self):
        with self.assertRaises(WordsDoNotFit):
            fitted_font("One screen at a time", (0, 0, 30, 12), 12)

    def test_chinese_words_are_drawn_with_the_chinese_font(self):
        img = Image.new("RGB", (80, 20))
        words(ImageDraw.Draw(img), (0, 0, 80, 20), "滚轮前滚", (255, 255, 255))
        self.assertIsNotNone(img.getbbox())
        self.assertIn("Micro Hei", " ".join(fitted_font("滚轮", (0, 0, 80, 20), 12).getname()))


class Faces(unittest.TestCase):
    def test_every_face_stays_inside_its_control(self):
        # a control's looks are cut out of its rectangle: paint that spills over would show on
        # the neighbours' faces instead
        for w in windows.WINDOWS:
            for layout in w.layouts:
                for e in w.elements(layout):
                    for state in w.names:
                        blank = Image.new("RGB", (w.size[0] + 40, w.size[1] + 40), (1, 2, 3))
                        img = blank.copy()
                        draw_element(img, e, state, layout)
                        changed = ImageChops.difference(blank, img).getbbox()
                        if isinstance(e.shape[0], (list, tuple)):
                            xs, ys = [p[0] for p in e.shape], [p[1] for p in e.shape]
                            box = (min(xs), min(ys), max(xs) + 1, max(ys) + 1)
                        else:
                            box = e.shape
                        with self.subTest(window=w.name, layout=layout, control=e.name, state=state):
                            self.assertIsNotNone(changed)
                            self.assertTrue(box[0] <= changed[0] and box[1] <= changed[1] and
                                            changed[2] <= box[2] and changed[3] <= box[3], (changed, box))


class Sheets(unittest.TestCase):
    def test_rounded_corners_get_the_key_colour_unless_kept(self):
        sheets = draw_sheets((60, 40), [Element("button", (10, 10, 50, 30), "OK")], radius=8,
                             keep=[(50, 0, 60, 10)])
        for state, img in sheets.items():
            with self.subTest(state=state):
                px = img.load()
                self.assertEqual(px[0, 0], KEY)
                self.assertEqual(px[0, 39], KEY)
                self.assertNotEqual(px[59, 0], KEY)      # kept for a control in the corner
                self.assertNotEqual(px[30, 20], KEY)

    def test_plain_sheets_have_no_key_colour(self):
        img = draw_sheets((30, 30), [], shape=None)["normal"]
        self.assertNotIn(KEY, [c for _, c in img.getcolors(1 << 12)])

    def test_the_states_look_different(self):
        sheets = draw_sheets((60, 40), [Element("check", (5, 5, 55, 25), "Win")], states=STATES)
        self.assertEqual(len({img.tobytes() for img in sheets.values()}), len(STATES))

    def test_mirrored_outlines_are_symmetric(self):
        half = [(10, 0), (4, 5), (2, 12), (10, 20)]
        full = mirrored(half, 10)
        self.assertEqual(sorted((round(20 - x), y) for x, y in full), sorted(full))


if __name__ == "__main__":
    unittest.main()
