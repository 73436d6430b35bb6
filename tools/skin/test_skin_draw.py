#!/usr/bin/python3
"""Words are never cut: they shrink to fit their box or are refused."""
import os
import sys
import unittest

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from skin_draw import WordsDoNotFit, fitted_font, words  # noqa: E402


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


if __name__ == "__main__":
    unittest.main()
