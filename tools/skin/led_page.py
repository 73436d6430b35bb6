"""The LED page: the two light zones, proximity sensing, the five effects with the brightness and
speed sliders, the 26 colour swatches, the red, green and blue sliders, the colour wheel and the
mode buttons.

Three sheets of the page area (925 x 457) per layout: the international layout goes to
skins\\Light\\, the Chinese one to skins\\chs\\Light\\. The colour wheel is part of the Normal sheet:
the page reads the colour under the pointer from it, so every pixel of the wheel is a full
colour. The page's sliders and edit boxes take their background from a compiled-in copy of the
Normal sheet (925 x 456), one per layout.
"""
import colorsys
import math
import os

from PIL import Image, ImageDraw

from skin_draw import (EDGE, PAGE_SIZE, TEXT, TEXT_DIM, WELL, Element, grown, heading,
                       in_layout, inner, light_box, page_background, save_bmp, words,
                       write_layouts)
import mouse_page

FILES = {"normal": "LedSet_normal.bmp", "over": "LedSet_over.bmp", "down": "LedSet_down.bmp"}
LAYOUT_FOLDERS = {"en": "Light", "zh": os.path.join("chs", "Light")}
# the compiled-in backgrounds of the sliders and edit boxes, per layout
BACKGROUND_IDS = {"en": 184, "zh": 153}
BACKGROUND_SIZE = (925, 456)

PALETTE = [(250, 5, 126), (250, 18, 0), (248, 121, 1), (249, 237, 0), (193, 240, 9), (39, 249, 0),
           (24, 164, 42), (19, 231, 147), (13, 233, 223), (1, 193, 250), (5, 142, 250), (0, 111, 249),
           (36, 0, 248), (90, 24, 227), (127, 27, 226), (193, 24, 226), (230, 250, 84), (0, 185, 48),
           (250, 99, 125), (196, 59, 35), (222, 3, 22), (23, 122, 173), (0, 185, 18), (74, 90, 192),
           (111, 78, 238), (1, 84, 185)]


def swatch_rect(k):
    r, c = divmod(k, 7)
    d = 1 if c > 3 else 0
    return 252 + 40 * c - d, 243 + 41 * r, 288 + 40 * c - d, 278 + 41 * r


LAYOUTS = {
    "en": {"effects": [(748, 72, 864, 92), (281, 139, 386, 157), (281, 103, 395, 126),
                       (508, 70, 717, 93), (283, 72, 489, 95)],
           "zones": [(26, 56, 142, 95), (26, 105, 141, 149)],
           "proximity": [(282, 29, 352, 46), (371, 29, 445, 46)],
           "rgb": [(612, 236, 736, 244), (612, 283, 736, 291), (612, 326, 736, 334)],
           "edits": [(754, 231, 784, 250), (754, 278, 784, 296), (754, 321, 784, 339)],
           "brightness": (648, 141, 785, 152), "speed": (646, 110, 786, 118)},
    "zh": {"effects": [(650, 70, 773, 95), (282, 137, 392, 158), (281, 103, 395, 126),
                       (468, 70, 630, 99), (282, 70, 423, 96)],
           "zones": [(24, 66, 143, 95), (25, 103, 143, 132)],
           "proximity": [(194, 28, 274, 50), (282, 28, 366, 50)],
           "rgb": [(628, 235, 753, 245), (628, 282, 753, 292), (628, 326, 753, 334)],
           "edits": [(770, 233, 788, 243), (770, 282, 788, 292), (770, 326, 788, 336)],
           "brightness": (539, 143, 680, 149), "speed": (539, 111, 680, 117)},
}
MODES = [(797, 364, 907, 386), (797, 392, 907, 415), (797, 421, 907, 443)]
CURRENT_COLOUR = (260, 203, 284, 227)
HELP_BAND = (609, 229, 866, 249)
WHEEL = (791, 244, 889, 341)

WORDS = {
    "effects": {"en": ["Lights off", "Constant on", "Breathing", "APM breathing, cycling colours",
                       "Spectrum cycling"],
                "zh": ["关闭灯光", "常亮", "呼吸", "APM呼吸灯循环", "智能光谱循环"]},
    "zones": {"en": ["Back light", "Wheel light"], "zh": ["背光", "滚轮灯"]},
    "proximity": {"en": ["On", "Off"], "zh": ["开启", "关闭"]},
    "modes": {"en": ["OFFICE", "MOBA", "FPS"], "zh": ["办公模式", "MOBA模式", "FPS模式"]},
    "zone": {"en": "LIGHT ZONE", "zh": "灯光区域"},
    "sensing": {"en": "Proximity sensing", "zh": "接近感应功能"},
    "effect": {"en": "EFFECT", "zh": "灯光效果"},
    "brightness": {"en": ("Brightness", "Low", "High"), "zh": ("亮度", "低", "高")},
    "speed": {"en": ("Speed", "Slow", "Fast"), "zh": ("速度", "慢", "快")},
    "colour": {"en": "COLOUR", "zh": "颜色"},
    "current": {"en": "Current colour", "zh": "当前颜色"},
    "wheel": {"en": "Click to pick", "zh": "点击取色"},
    "mode": {"en": "MODE", "zh": "模式"},
}


def elements(layout):
    L, W = LAYOUTS[layout], in_layout(WORDS, layout)
    els = []
    for n, (box, name) in enumerate(zip(L["effects"], W["effects"])):
        els.append(Element("choice", box, name, name=f"effect {n}"))
    for n, (box, name) in enumerate(zip(L["zones"], W["zones"])):
        els.append(Element("button", box, name, name=f"zone {n}"))
    for n, (box, name) in enumerate(zip(L["proximity"], W["proximity"])):
        els.append(Element("button", box, name, size=11, name=["proximity on", "proximity off"][n]))
    for n, (box, name) in enumerate(zip(MODES, W["modes"])):
        els.append(Element("button", box, name, name=f"mode {n}"))
    for k, colour in enumerate(PALETTE):
        els.append(Element("swatch", swatch_rect(k), colour, name=f"swatch {k}"))
    for n, box in enumerate(L["rgb"]):
        els.append(Element("track", box, name=["red", "green", "blue"][n] + " slider"))
    els += [Element("track", L["brightness"], name="brightness slider"),
            Element("track", L["speed"], name="speed slider")]
    return els


def controls(layout):
    L = LAYOUTS[layout]
    out = [(e.name, e.shape) for e in elements(layout)]
    out += [(f"{c} edit box", box) for c, box in zip(("red", "green", "blue"), L["edits"])]
    return out + [("current colour", CURRENT_COLOUR), ("help band", HELP_BAND), ("colour wheel", WHEEL)]


def wheel_colour(nx, ny):
    """The colour at (nx, ny) of the unit disc: hue by angle, saturation by distance from the
    white centre, always at full value."""
    s = min(1.0, math.hypot(nx, ny))
    h = (math.atan2(-ny, nx) / (2 * math.pi)) % 1.0
    return tuple(round(c * 255) for c in colorsys.hsv_to_rgb(h, s, 1.0))


def colour_wheel(img):
    """Paints the wheel into its ellipse (and a pixel beyond it, so that the rim holds colours
    too), then a dark ring outside."""
    l, t, r, b = WHEEL
    cx, cy, rx, ry = (l + r) / 2, (t + b) / 2, (r - l) / 2, (b - t) / 2
    d = ImageDraw.Draw(img)
    d.ellipse(grown(WHEEL, 3), fill=WELL, outline=EDGE)
    px = img.load()
    for y in range(t - 1, b + 1):
        for x in range(l - 1, r + 1):
            nx, ny = (x + 0.5 - cx) / (rx + 1), (y + 0.5 - cy) / (ry + 1)
            if nx * nx + ny * ny <= 1.0:
                px[x, y] = wheel_colour(nx * (rx + 1) / rx, ny * (ry + 1) / ry)


def slider_caption(d, box, caption, low, high, left):
    """"Brightness  Low ==== High": the caption and the two ends around a slider."""
    y0, y1 = box[1] - 5, box[3] + 5
    words(d, (left, y0 - 2, box[0] - 40, y1 + 2), caption, TEXT, 12, align="right")
    words(d, (box[0] - 36, y0, box[0] - 6, y1), low, TEXT_DIM, 11, align="right")
    words(d, (box[2] + 6, y0, box[2] + 40, y1), high, TEXT_DIM, 11, align="left")


def background(img, layout):
    d = page_background(img)
    L, W = LAYOUTS[layout], in_layout(WORDS, layout)
    zone0 = L["zones"][0]
    heading(d, zone0[0], zone0[1] - 22, W["zone"], zone0[2])
    on = L["proximity"][0]
    words(d, (on[0] - 130, on[1], on[0] - 8, on[3]), W["sensing"], TEXT, 12, align="right")
    effects_top = min(b[1] for b in L["effects"])
    heading(d, 281, effects_top - 20, W["effect"], 880)
    slider_caption(d, L["brightness"], *W["brightness"], left=L["effects"][1][2] + 8)
    slider_caption(d, L["speed"], *W["speed"], left=L["effects"][2][2] + 8)
    heading(d, 252, 178, W["colour"], 880)
    d.rectangle(inner(grown(CURRENT_COLOUR, 2)), outline=EDGE)
    words(d, (CURRENT_COLOUR[2] + 10, CURRENT_COLOUR[1], 420, CURRENT_COLOUR[3]), W["current"], TEXT, 12,
          align="left")
    for box, edit, letter in zip(L["rgb"], L["edits"], "RGB"):
        words(d, (box[0] - 20, box[1] - 6, box[0] - 6, box[3] + 6), letter, TEXT, 12, bold=True,
              align="right")
        light_box(d, edit)
    colour_wheel(img)
    words(d, (WHEEL[0], WHEEL[1] - 19, WHEEL[2], WHEEL[1] - 5), W["wheel"], TEXT_DIM, 10)
    heading(d, MODES[0][0], MODES[0][1] - 20, W["mode"], MODES[0][2])
    # the mouse with both zones lit, below the zone buttons
    picture = mouse_page.mouse_picture()
    small = picture.resize((picture.size[0] * 3 // 4, picture.size[1] * 3 // 4), Image.LANCZOS)
    img.paste(small, (30, 190), small)


def build(skins, resources):
    layouts = write_layouts(skins, PAGE_SIZE, LAYOUT_FOLDERS, FILES, elements, background)
    for layout, sheets in layouts.items():
        save_bmp(sheets["normal"].crop((0, 0) + BACKGROUND_SIZE),
                 os.path.join(resources, f"bmp_{BACKGROUND_IDS[layout]}.bmp"))
