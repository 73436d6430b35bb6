"""The mouse page: DPI levels, report rate, pointer and wheel settings, the picture of the mouse
with its fourteen marker spots, the fourteen button labels and the three mode buttons.

Four sheets of the page area (925 x 457): Normal, Over, Down and Disable. The international
layout (English words) goes to skins\\, the Chinese layout to skins\\chs\\. The program writes the
DPI values of the slider levels itself; the sheets only carry light boxes for them.
"""
import functools
import os

from PIL import ImageDraw

from skin_draw import (ACCENT, EDGE, PAGE_SIZE, TEXT, TEXT_DIM, WELL, Element, card, grown,
                       heading, in_layout, inner, light_box, mirrored, page_background,
                       smooth_outline, supersampled, words, write_layouts)

PAGE_SIZE = (925, 457)
FILES = {"normal": "Q350_Main_Normal.bmp", "over": "Q350_Main_Over.bmp",
         "down": "Q350_Main_Down.bmp", "disable": "Q350_Main_Disable.bmp"}
LAYOUT_FOLDERS = {"en": "", "zh": "chs"}

# ---- the button map ----------------------------------------------------------------------------
BUTTON_NAMES = [
    {"en": "Left", "zh": "左键"},
    {"en": "Right", "zh": "右键"},
    {"en": "Middle", "zh": "中键"},
    {"en": "Wheel up", "zh": "滚轮前滚"},
    {"en": "Wheel down", "zh": "滚轮后滚"},
    {"en": "Fire key", "zh": "火力键"},
    {"en": "DPI key", "zh": "DPI键"},
    {"en": "Back", "zh": "后退键"},
    {"en": "Forward", "zh": "前进键"},
    {"en": "Side 1", "zh": "侧键1"},
    {"en": "Side 2", "zh": "侧键2"},
    {"en": "Side 3", "zh": "侧键3"},
    {"en": "Side 4", "zh": "侧键4"},
    {"en": "Side 5", "zh": "侧键5"},
]

UPPER_LABELS = {
    "en": [[(97, 398), (160, 398), (161, 417), (97, 418)],
           [(166, 398), (239, 398), (240, 417), (167, 417)],
           [(246, 398), (326, 398), (327, 418), (245, 418)],
           [(333, 398), (438, 398), (438, 418), (333, 418)],
           [(443, 398), (559, 398), (559, 418), (443, 418)],
           [(566, 398), (639, 398), (639, 418), (566, 418)],
           [(645, 398), (707, 398), (707, 418), (645, 418)]],
    "zh": [[(128, 398), (197, 398), (197, 418), (128, 418)],
           [(198, 398), (267, 398), (267, 418), (198, 418)],
           [(268, 398), (337, 398), (337, 418), (267, 418)],
           [(338, 398), (438, 398), (438, 418), (338, 418)],
           [(439, 398), (540, 398), (539, 418), (439, 418)],
           [(540, 398), (624, 398), (624, 418), (540, 418)],
           [(625, 398), (709, 398), (709, 418), (625, 418)]],
}
LOWER_LABELS = [
    [(31, 421), (128, 421), (109, 442), (14, 442)],
    [(128, 421), (224, 421), (206, 442), (111, 442)],
    [(225, 421), (321, 421), (303, 442), (207, 442)],
    [(321, 421), (418, 421), (401, 442), (305, 442)],
    [(419, 421), (515, 421), (497, 442), (401, 442)],
    [(515, 421), (611, 421), (594, 442), (498, 442)],
    [(612, 421), (709, 421), (691, 442), (594, 442)],
]

MARKERS = [(705, 78, 729, 102), (811, 78, 835, 102), (679, 184, 703, 208), (688, 231, 712, 255),
           (758, 98, 782, 122), (758, 60, 782, 84)] + [(758, 141, 782, 165)] * 8

MODES = [((755, 364, 907, 386), {"en": "OFFICE", "zh": "办公模式"}),
         ((756, 392, 907, 415), {"en": "MOBA", "zh": "MOBA模式"}),
         ((756, 421, 907, 443), {"en": "FPS", "zh": "FPS模式"})]

# ---- the performance settings ------------------------------------------------------------------
PRESETS = [(45, 82, 88, 94), (107, 82, 148, 94), (172, 82, 216, 94), (238, 82, 284, 94),
           (305, 82, 351, 94), (45, 104, 92, 116), (107, 104, 153, 116), (172, 104, 220, 116),
           (238, 104, 284, 116), (305, 104, 353, 116)]
PRESET_DPI = [400, 800, 1000, 1600, 1800, 2400, 3200, 4800, 6400, 8200]
LEVEL_BOXES = {"en": [(28, 192, 99, 208), (27, 232, 100, 248), (27, 272, 100, 287), (27, 313, 99, 329)],
               "zh": [(39, 191, 100, 206), (39, 234, 100, 247), (39, 274, 100, 287), (39, 314, 100, 327)]}
DPI_SLIDERS = [((102, 186, 333, 191), (102, 191, 333, 196)), ((102, 226, 333, 231), (102, 232, 333, 237)),
               ((102, 266, 333, 271), (102, 272, 333, 277)), ((102, 306, 333, 311), (102, 312, 333, 317))]
# The program writes the DPI of each slider level into these boxes.
DPI_VALUES = [((355, 182, 385, 194), (355, 199, 385, 211)), ((355, 222, 385, 234), (355, 241, 385, 253)),
              ((355, 262, 385, 274), (355, 282, 385, 294)), ((355, 302, 385, 314), (355, 322, 385, 333))]
REPORT_RATES = [((443, 53, 500, 68), "1000 Hz"), ((500, 53, 569, 68), "500 Hz"),
                ((577, 53, 636, 68), "250 Hz"), ((637, 53, 702, 68), "125 Hz")]

PRESET_CHOICE = {"en": (23, 44, 345, 78), "zh": (23, 54, 327, 70)}
SLIDER_CHOICE = (23, 133, 193, 151)
XY_BOX = (27, 162, 282, 178)
LIFT_SLIDER = {"en": (234, 369, 371, 375), "zh": (198, 369, 335, 375)}
LIFT_VALUE = (365, 366, 380, 377)      # a hidden edit box
LIFT_SPIN = ((581, 289, 603, 304), (581, 304, 603, 318))
SPEED_SLIDER = (483, 124, 626, 129)
PRECISION_BOX = (445, 149, 615, 165)
LINES_CHOICE = {"en": (442, 243, 655, 275), "zh": (443, 242, 595, 259)}
LINES_BOX = {"en": (664, 252, 686, 270), "zh": (608, 245, 629, 262)}
LINES_SPIN = {"en": ((685, 249, 701, 260), (686, 260, 701, 271)),
              "zh": ((630, 241, 645, 252), (630, 252, 645, 263))}
SCREEN_CHOICE = {"en": (442, 282, 708, 299), "zh": (443, 271, 595, 291)}
DOUBLE_CLICK_SLIDER = (481, 369, 624, 374)
DOUBLE_CLICK_TEST = (630, 313, 680, 350)

WORDS = {
    "dpi": {"en": "DPI", "zh": "DPI 设置"},
    "preset": {"en": "DPI levels from the presets (tick one to four)", "zh": "预设DPI档位（勾选1至4个）"},
    "slider": {"en": "DPI levels by slider", "zh": "滑块设定DPI档位"},
    "xy": {"en": "Set X and Y separately", "zh": "X、Y轴分别设定"},
    "level": {"en": "Level {}", "zh": "档位{}"},
    "lift": {"en": "Lift-off distance", "zh": "抬起高度"},
    "lift_short": {"en": "Lift", "zh": "抬起"},
    "rate": {"en": "REPORT RATE", "zh": "回报率"},
    "pointer": {"en": "POINTER SPEED", "zh": "指针速度"},
    "slow": {"en": "Slow", "zh": "慢"},
    "fast": {"en": "Fast", "zh": "快"},
    "precision": {"en": "Enhance pointer precision", "zh": "提高指针精确度"},
    "wheel": {"en": "WHEEL SCROLLING", "zh": "滚轮"},
    "lines": {"en": "Lines per notch:", "zh": "一次滚动的行数:"},
    "screen": {"en": "Screen per notch", "zh": "一次滚动一屏"},
    "double": {"en": "DOUBLE-CLICK SPEED", "zh": "双击速度"},
    "test": {"en": "Double-click the picture to test", "zh": "双击右侧图片测试"},
    "mode": {"en": "MODE", "zh": "模式"},
    "buttons": {"en": "BUTTONS", "zh": "按键"},
}


def layout_words(key, layout, *args):
    return WORDS[key][layout].format(*args)


def elements(layout):
    """Every control of the page in the given layout ("en" or "zh"), each at its rectangle."""
    w = in_layout(WORDS, layout)
    els = [Element("choice", PRESET_CHOICE[layout], w["preset"], name="preset-form choice"),
           Element("choice", SLIDER_CHOICE, w["slider"], name="slider-form choice"),
           Element("check", XY_BOX, w["xy"], name="X/Y box")]
    for i, (box, dpi) in enumerate(zip(PRESETS, PRESET_DPI)):
        els.append(Element("check", box, str(dpi), size=11, name=f"preset {i}"))
    for i, box in enumerate(LEVEL_BOXES[layout]):
        els.append(Element("check", box, w["level"].format(i + 1), name=f"level box {i + 1}"))
    for i, (x, y) in enumerate(DPI_SLIDERS):
        els.append(Element("track", x, name=f"DPI slider {i + 1} X"))
        els.append(Element("track", y, name=f"DPI slider {i + 1} Y"))
    for i, (box, rate) in enumerate(REPORT_RATES):
        els.append(Element("button", (box[0], box[1], box[2] - 1, box[3]), rate, size=11,
                           name=f"report rate {i + 1}"))
    els += [Element("track", LIFT_SLIDER[layout], name="lift-off slider"),
            Element("spin", LIFT_SPIN[0], "+", name="lift +"),
            Element("spin", LIFT_SPIN[1], "-", name="lift -"),
            Element("track", SPEED_SLIDER, name="pointer-speed slider"),
            Element("check", PRECISION_BOX, w["precision"], name="precision box"),
            Element("choice", LINES_CHOICE[layout], w["lines"], name="lines choice"),
            Element("spin", LINES_SPIN[layout][0], "up", name="lines +"),
            Element("spin", LINES_SPIN[layout][1], "down", name="lines -"),
            # the words stop short of the lift buttons, which stand inside this choice
            Element("choice", (SCREEN_CHOICE[layout][0], SCREEN_CHOICE[layout][1], LIFT_SPIN[0][0] - 4,
                               SCREEN_CHOICE[layout][3]), w["screen"], name="screen choice"),
            Element("track", DOUBLE_CLICK_SLIDER, name="double-click slider")]
    for k, pts in enumerate(UPPER_LABELS[layout] + LOWER_LABELS):
        els.append(Element("polygon", pts, BUTTON_NAMES[k], size=12, name=f"label {k}"))
    for k, box in enumerate(MARKERS):
        els.append(Element("marker", box, name=f"marker {k}"))
    for j, (box, mode) in enumerate(MODES):
        els.append(Element("button", box, mode, size=12, name=f"mode {j}"))
    return els


def controls(layout):
    """(name, shape) of every control, as the program places them (for previews and checks)."""
    out = [(e.name, e.shape) for e in elements(layout)]
    out = [(n, SCREEN_CHOICE[layout]) if n == "screen choice" else (n, s) for n, s in out]
    out.append(("lift value box", LIFT_VALUE))
    out.append(("lines box", LINES_BOX[layout]))
    out.append(("double-click test", DOUBLE_CLICK_TEST))
    for i, (x, y) in enumerate(DPI_VALUES):
        out.append((f"DPI value {i + 1} X", x))
        out.append((f"DPI value {i + 1} Y", y))
    return out


# ---- background --------------------------------------------------------------------------------
# The left half of the mouse's outline seen from above, top to bottom (page coordinates); the
# right half mirrors it about x = 770.
MOUSE_AXIS = 770
MOUSE_HALF = [(770, 38), (748, 39), (730, 42), (716, 49), (708, 60), (704, 76), (699, 102),
              (693, 132), (687, 162), (684, 190), (685, 214), (689, 238), (695, 262), (704, 286),
              (716, 306), (732, 321), (750, 330), (770, 333)]
MOUSE_ORIGIN = (660, 28)
MOUSE_SIZE = (220, 316)


@functools.lru_cache(maxsize=None)
def mouse_picture():
    """The mouse seen from above: two main buttons, the wheel, the top and DPI keys, two side
    keys on the left flank and the light strip around the palm."""
    ox, oy = MOUSE_ORIGIN

    def draw(d, s):
        def p(x, y):
            return (x - ox) * s, (y - oy) * s

        outline = smooth_outline(mirrored(MOUSE_HALF, MOUSE_AXIS))
        body = [p(x, y) for x, y in outline]
        # shadow, body and rim
        d.polygon([(x + 3 * s, y + 4 * s) for x, y in body], fill=(10, 11, 14, 150))
        d.polygon(body, fill=(40, 45, 53, 255), outline=(104, 116, 128, 255), width=s)
        # the palm is a shade darker than the buttons
        palm_top = [p(686, 170), p(730, 180), p(770, 183), p(810, 180), p(854, 170)]
        palm = [p(x, y) for x, y in outline if y > 176]
        d.polygon(palm, fill=(32, 36, 43, 255))
        d.line(palm_top, fill=(18, 20, 24, 255), width=2 * s, joint="curve")
        # the split between the two main buttons
        d.line([p(770, 39), p(770, 90)], fill=(18, 20, 24, 255), width=2 * s)
        d.line([p(770, 130), p(770, 182)], fill=(18, 20, 24, 255), width=2 * s)
        # wheel with its ribs
        d.rounded_rectangle((*p(761, 90), *p(779, 130)), radius=6 * s, fill=(16, 18, 22, 255),
                            outline=(90, 102, 114, 255), width=s)
        for y in range(95, 128, 4):
            d.line([p(764, y), p(776, y)], fill=(70, 80, 92, 255), width=s)
        # top key and DPI key
        d.rounded_rectangle((*p(763, 62), *p(777, 82)), radius=4 * s, fill=(28, 31, 37, 255),
                            outline=(90, 102, 114, 255), width=s)
        d.rounded_rectangle((*p(762, 140), *p(778, 166)), radius=4 * s, fill=(28, 31, 37, 255),
                            outline=(90, 102, 114, 255), width=s)
        # side keys on the left flank
        for box in ((680, 183, 701, 209), (689, 230, 710, 256)):
            d.rounded_rectangle((*p(box[0], box[1]), *p(box[2], box[3])), radius=7 * s,
                                fill=(28, 31, 37, 255), outline=(90, 102, 114, 255), width=s)
        # light strip around the palm and the maker's mark
        strip = [p(x, y) for x, y in outline if y > 262]
        d.line(sorted(strip, key=lambda q: q[0]), fill=ACCENT + (200,), width=2 * s, joint="curve")
        d.ellipse((*p(757, 268), *p(783, 294)), outline=ACCENT + (255,), width=3 * s)
        d.line([p(776, 287), p(783, 295)], fill=ACCENT + (255,), width=3 * s)

    return supersampled(MOUSE_SIZE, draw)


def background(img, layout):
    d = page_background(img)
    t = in_layout(WORDS, layout)
    # DPI card
    card(d, (12, 8, 398, 344))
    heading(d, 23, 16, t["dpi"], 386)
    for i, (x, y) in enumerate(DPI_VALUES):
        for box, axis in ((x, "X"), (y, "Y")):
            words(d, (337, box[1], 352, box[3]), axis, TEXT_DIM, 10, bold=True)
            light_box(d, grown(box, 2, 1))
    # lift-off distance
    card(d, (12, 352, 398, 390))
    lift = LIFT_SLIDER[layout]
    words(d, (23, 360, lift[0] - 8, 384), t["lift"], TEXT, 12, align="left")
    # report rate, pointer, wheel, double click
    heading(d, 442, 28, t["rate"], 660)
    heading(d, 442, 90, t["pointer"], 660)
    for box in (SPEED_SLIDER, DOUBLE_CLICK_SLIDER):
        words(d, (442, box[1] - 6, box[0] - 6, box[3] + 6), t["slow"], TEXT_DIM, 11, align="right")
        words(d, (box[2] + 6, box[1] - 6, box[2] + 46, box[3] + 6), t["fast"], TEXT_DIM, 11, align="left")
    heading(d, 442, 214, t["wheel"], 660)
    box = LINES_BOX[layout]
    light_box(d, box)
    words(d, (548, 304, LIFT_SPIN[0][0] - 4, 318), t["lift_short"], TEXT_DIM, 10, align="right")
    heading(d, 442, 318, t["double"], 560)
    words(d, (442, 340, 624, 354), t["test"], TEXT_DIM, 10, align="left")
    test = DOUBLE_CLICK_TEST
    d.rounded_rectangle(inner(grown(test, 2)), radius=3, fill=WELL, outline=EDGE)
    # the mouse and the mode buttons
    picture = mouse_picture()
    img.paste(picture, MOUSE_ORIGIN, picture)
    heading(d, 755, 344, t["mode"], 907)
    # the button labels
    d.line((14, 393, 712, 393), fill=EDGE)
    words(d, (14, 398, UPPER_LABELS[layout][0][0][0] - 6, 418), t["buttons"], ACCENT, 11,
          bold=True, align="left")


def build(skins):
    """Writes both layouts' four sheets under the skins folder."""
    write_layouts(skins, PAGE_SIZE, LAYOUT_FOLDERS, FILES, elements, background)
