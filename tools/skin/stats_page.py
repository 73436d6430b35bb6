"""The statistics page: the click, wheel and distance counters (the program writes the numbers),
the trophy picture, the thirteen trophy icons, the level bar and the reset button.

Three sheets of the page area (925 x 457) per layout (skins\\ and skins\\chs\\, which differ in
where the numbers stand), and the thirteen trophy pictures skins\\trophy\\trophy<level>Down.bmp,
each the size of the trophy picture's rectangle, on the page's own background.
"""
import os

from PIL import Image, ImageDraw, ImageFilter

from skin_draw import (ACCENT, ACCENT_DARK, EDGE, PAGE_SIZE, PANEL, TEXT, WELL, WHITE,
                       Element, grown, heading, in_layout, inner, mix, page_background,
                       register_face, save_bmp, supersampled, words, write_layouts)

FILES = {"normal": "Sts_Normal.bmp", "over": "Sts_Over.bmp", "down": "Sts_Down.bmp"}
LAYOUT_FOLDERS = {"en": "", "zh": "chs"}
TROPHY_FOLDER = "trophy"
LEVELS = 13

TROPHY = (309, 0, 607, 451)
PROGRESS = (635, 67, 898, 74)
RESET = (693, 370, 827, 403)


def icon_rect(j):
    r, c = divmod(j, 5)
    return 647 + 50 * c, 132 + 58 * r, 690 + 50 * c, 182 + 58 * r


# where the program writes the eight numbers, per layout
NUMBERS = {"en": [(152, 85, 227, 106), (152, 119, 227, 139), (152, 152, 227, 172), (152, 183, 227, 203),
                  (152, 250, 227, 270), (152, 284, 227, 304), (152, 319, 227, 339), (152, 384, 227, 404)],
           "zh": [(167, 85, 242, 106), (167, 119, 242, 139), (167, 152, 242, 172), (167, 183, 242, 203),
                  (167, 250, 242, 270), (167, 284, 242, 304), (167, 319, 242, 339), (187, 384, 262, 404)]}

WORDS = {
    "numbers": {"en": ["Left button", "Middle button", "Right button", "All clicks", "Wheel up",
                       "Wheel down", "All wheel steps", "Travel, 10k px"],
                "zh": ["左键点击", "中键点击", "右键点击", "点击总数", "滚轮前滚", "滚轮后滚", "滚动总数",
                       "移动距离(万像素)"]},
    "clicks": {"en": "CLICKS", "zh": "点击次数"},
    "wheel": {"en": "WHEEL", "zh": "滚轮"},
    "distance": {"en": "DISTANCE", "zh": "移动距离"},
    "level": {"en": "TROPHY LEVEL", "zh": "奖杯等级"},
    "trophies": {"en": "TROPHIES", "zh": "奖杯"},
    "reset": {"en": "Reset", "zh": "重置"},
}

# bronze, silver, gold and the top level's platinum
TIERS = [((176, 112, 62), (232, 170, 110)), ((150, 160, 172), (226, 232, 238)),
         ((200, 150, 20), (255, 222, 90)), ((90, 200, 230), (220, 250, 255))]


def tier(level):
    return TIERS[min(level // 4, 3)]


def cup(d, s, cx, top, width, height, body, shine, stars=0):
    """A trophy cup centred at cx from `top`, drawn at scale s: bowl, handles, stem and base."""
    w, h = width * s, height * s
    x0, y0 = cx * s - w / 2, top * s
    bowl_h = h * 0.5
    d.ellipse((x0 - w * 0.18, y0 + bowl_h * 0.12, x0 + w * 0.22, y0 + bowl_h * 0.72), outline=body,
              width=max(1, int(w * 0.06)))
    d.ellipse((x0 + w * 0.78, y0 + bowl_h * 0.12, x0 + w * 1.18, y0 + bowl_h * 0.72), outline=body,
              width=max(1, int(w * 0.06)))
    d.chord((x0, y0 - bowl_h, x0 + w, y0 + bowl_h), 0, 180, fill=body)
    d.rectangle((x0, y0, x0 + w, y0 + bowl_h * 0.05), fill=shine)
    d.polygon([(x0 + w * 0.2, y0 + bowl_h * 0.25), (x0 + w * 0.3, y0 + bowl_h * 0.25),
               (x0 + w * 0.38, y0 + bowl_h * 0.8), (x0 + w * 0.3, y0 + bowl_h * 0.8)], fill=shine)
    stem_top, stem_bottom = y0 + bowl_h, y0 + h * 0.78
    d.rectangle((cx * s - w * 0.07, stem_top, cx * s + w * 0.07, stem_bottom), fill=body)
    d.rectangle((cx * s - w * 0.32, stem_bottom, cx * s + w * 0.32, y0 + h * 0.9), fill=body)
    d.rectangle((cx * s - w * 0.42, y0 + h * 0.9, cx * s + w * 0.42, y0 + h), fill=mix(body, (0, 0, 0), 0.3))
    for i in range(stars):
        sx = cx * s + (i - (stars - 1) / 2) * w * 0.2
        sy = y0 + bowl_h * 0.45
        r = w * 0.06
        d.polygon([(sx, sy - r), (sx + r * 0.3, sy - r * 0.3), (sx + r, sy), (sx + r * 0.3, sy + r * 0.3),
                   (sx, sy + r), (sx - r * 0.3, sy + r * 0.3), (sx - r, sy), (sx - r * 0.3, sy - r * 0.3)],
                  fill=WHITE)


def trophy_art(level):
    """The big trophy of a level (RGBA, the size of the trophy picture): a glow that grows with the
    level, the cup in its tier's metal with a star per level within the tier, the level number."""
    body, shine = tier(level)
    size = (TROPHY[2] - TROPHY[0], TROPHY[3] - TROPHY[1])

    def draw(d, s):
        cx = size[0] / 2
        d.ellipse(((cx - 110) * s, 352 * s, (cx + 110) * s, 372 * s), fill=(0, 0, 0, 90))
        cup(d, s, cx, 120, 140, 245, body + (255,), shine + (255,), stars=level % 4 + 1)

    # a soft glow behind the cup, larger and brighter with every level
    glow = Image.new("RGBA", size, shine + (0,))
    r = 70 + 5 * level
    ImageDraw.Draw(glow).ellipse((size[0] / 2 - r, 190 - r, size[0] / 2 + r, 190 + r),
                                 fill=shine + (40 + 8 * level,))
    art = Image.alpha_composite(glow.filter(ImageFilter.GaussianBlur(24)), supersampled(size, draw, scale=3))
    d = ImageDraw.Draw(art)
    words(d, (0, 380, size[0], 410), f"{level}", shine + (255,), 26, bold=True)
    return art


def trophy_icon_face(img, box, state, level):
    """A small cup numbered with its level: grey until reached, in its tier's metal once reached."""
    d = ImageDraw.Draw(img)
    body, shine = tier(level) if state == "down" else ((70, 78, 88), (96, 106, 118))
    d.rounded_rectangle(inner(box), radius=5, fill=WELL if state != "down" else mix(WELL, body, 0.18),
                        outline=EDGE if state != "down" else body)
    w, h = box[2] - box[0], box[3] - box[1]

    def draw(dd, s):
        cup(dd, s, w / 2, 8, 18, 26, body + (255,), shine + (255,))

    icon = supersampled((w, h), draw)
    img.paste(icon, box[:2], icon)
    words(d, (box[0], box[3] - 15, box[2], box[3] - 2), str(level), TEXT if state != "down" else WHITE, 10,
          bold=True)


def progress_face(img, box, state, _):
    """The level bar: an empty groove; the Down sheet holds it filled."""
    d = ImageDraw.Draw(img)
    if state == "down":
        for x in range(box[0], box[2]):
            k = (x - box[0]) / max(1, box[2] - box[0] - 1)
            d.line((x, box[1], x, box[3] - 1), fill=mix(ACCENT_DARK, (120, 220, 250), k))
    else:
        d.rectangle(inner(box), fill=WELL, outline=EDGE)


register_face("progress", progress_face)


def elements(layout):
    w = in_layout(WORDS, layout)
    # the trophy picture is replaced by the level's picture; icons and bar show Normal when hovered
    els = [Element("trophy", TROPHY, name="trophy picture", looks=()),
           Element("progress", PROGRESS, name="progress bar", looks=("down",)),
           Element("button", RESET, w["reset"], size=13, name="reset button")]
    for j in range(LEVELS):
        els.append(Element("trophyicon", icon_rect(j), j, name=f"trophy icon {j}", looks=("down",)))
    return els


def controls(layout):
    return [(e.name, e.shape) for e in elements(layout)] + [
        (f"number {i}", box) for i, box in enumerate(NUMBERS[layout])]


def background(img, layout):
    d = page_background(img)
    w = in_layout(WORDS, layout)
    numbers = NUMBERS[layout]
    right = numbers[0][2] + 12
    for title, first, last in ((w["clicks"], 0, 3), (w["wheel"], 4, 6), (w["distance"], 7, 7)):
        top, bottom = numbers[first][1] - 30, numbers[last][3] + 6
        d.rounded_rectangle((14, top - 6, 290, bottom), radius=6, fill=mix(PANEL, WHITE, 0.04), outline=EDGE)
        heading(d, 24, top, title, 280)
    for i, (box, label) in enumerate(zip(numbers, w["numbers"])):
        total = i in (3, 6)
        words(d, (24, box[1], box[0] - 6, box[3]), label, TEXT if not total else ACCENT, 12, bold=total,
              align="left")
        d.rounded_rectangle(inner(grown(box, 3, 1)), radius=3, fill=WELL, outline=EDGE)
        if total:
            d.line((24, box[1] - 4, box[2] + 3, box[1] - 4), fill=EDGE)
    heading(d, PROGRESS[0], 40, w["level"], PROGRESS[2])
    heading(d, PROGRESS[0], 100, w["trophies"], PROGRESS[2])
    d.line((TROPHY[0] - 10, 20, TROPHY[0] - 10, 437), fill=EDGE)
    d.line((TROPHY[2] + 12, 20, TROPHY[2] + 12, 437), fill=EDGE)


def trophy_face(img, box, state, _):
    """Until the program puts the reached level's picture there: the first trophy."""
    art = trophy_art(0)
    img.paste(art, box[:2], art)


register_face("trophy", trophy_face)
register_face("trophyicon", trophy_icon_face)


def build(skins):
    write_layouts(skins, PAGE_SIZE, LAYOUT_FOLDERS, FILES, elements, background)
    # the trophy pictures stand on the page's own background
    plate = Image.new("RGB", PAGE_SIZE)
    background(plate, "en")
    plate = plate.crop(TROPHY)
    for level in range(LEVELS):
        picture = plate.copy()
        art = trophy_art(level)
        picture.paste(art, (0, 0), art)
        save_bmp(picture, os.path.join(skins, TROPHY_FOLDER, f"trophy{level}Down.bmp"))
