#!/usr/bin/python3
"""Draws the program's skin: the pictures read from the skins folder and the pictures compiled into
the program as resources. One design for every window: dark graphite surfaces, blue accents.

    make_skin.py BIN_DIR GENERATED_DIR [--lang en|zh]

BIN_DIR/skins/... receives the files the program loads at run time; GENERATED_DIR/skin/... the
pictures that skin_resources.rc compiles in. Windows describe their sheets as element lists
(`Element` and `draw_sheets` in skin_draw.py) and get the same look: the main window here, the
pages and the setting panel in their own modules (mouse_page, led_page, macro_page, stats_page,
support_page, setting_panel). windows.py lists every window's files and controls;
preview_skin.py draws contact sheets of them for a person to look at.
"""
import math
import os
import struct
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import led_page  # noqa: E402
import macro_page  # noqa: E402
import mouse_page  # noqa: E402
import setting_panel  # noqa: E402
import stats_page  # noqa: E402
import support_page  # noqa: E402
from skin_draw import (ACCENT, ACCENT_DARK, BG, EDGE, LIGHT, PANEL, STATUS_BG, TEXT, TEXT_DIM,  # noqa: E402
                       Element, draw_sheets, font, save_bmp, vgradient)

# ---- main window -----------------------------------------------------------------------------
MAIN_SIZE = (960, 650)

PAGE_TABS = [
    ([(27, 85), (190, 85), (212, 121), (27, 121)], {"en": "MOUSE", "zh": "鼠标设置"}),
    ([(192, 84), (374, 84), (396, 121), (210, 121)], {"en": "LIGHTING", "zh": "灯光设置"}),
    ([(375, 85), (558, 85), (581, 121), (397, 121)], {"en": "MACRO", "zh": "宏管理"}),
    ([(560, 85), (743, 85), (766, 121), (581, 121)], {"en": "STATISTICS", "zh": "统计"}),
    ([(746, 85), (927, 85), (927, 121), (767, 121)], {"en": "SUPPORT", "zh": "支持"}),
]
PROFILE_TABS = [
    [(344, 606), (438, 606), (414, 634), (321, 635)],
    [(440, 606), (534, 606), (510, 634), (417, 635)],
    [(534, 606), (628, 606), (605, 635), (511, 635)],
    [(629, 606), (724, 606), (700, 635), (606, 635)],
    [(724, 608), (820, 608), (797, 635), (701, 635)],
]
APPLY = [(837, 589), (943, 589), (943, 635), (799, 635)]


def main_elements():
    els = [
        Element("window", (888, 3, 921, 34), "minimise"),
        Element("window", (923, 3, 956, 35), "close", accent=True),
        Element("button", (15, 617, 57, 635), {"en": "LANG", "zh": "语言"}),
    ]
    for pts, words in PAGE_TABS:
        els.append(Element("tab", pts, words))
    for i, pts in enumerate(PROFILE_TABS):
        els.append(Element("tab", pts, {"en": f"Profile {i + 1}", "zh": f"配置{i + 1}"}))
    els.append(Element("tab", APPLY, {"en": "APPLY", "zh": "应用"}, accent=True))
    return els


def main_background(img, lang):
    d = ImageDraw.Draw(img)
    w, h = img.size
    vgradient(img, (0, 0, w, 78), (40, 46, 54), (26, 30, 35))
    d.line((0, 78, w, 78), fill=EDGE)
    d.text((28, 22), "QUORV", font=font(28, bold=True), fill=ACCENT)
    d.text((150, 32), "Q350", font=font(18, bold=True), fill=TEXT)
    sub = "GAMING MOUSE" if lang == "en" else "游戏鼠标"
    d.text((210, 35), sub, font=font(13, cjk=lang == "zh"), fill=TEXT_DIM)
    # page area and its frame
    d.rectangle((16, 128, 942, 586), fill=PANEL, outline=EDGE)
    # bottom bar: flag frame, status strip
    d.rectangle((18, 591, 57, 615), outline=EDGE)
    d.rounded_rectangle((66, 597, 314, 632), radius=4, fill=STATUS_BG)
    d.line((0, 642, w, 642), fill=ACCENT_DARK, width=2)


# ---- small pictures --------------------------------------------------------------------------
def slider_thumb(colour, rim):
    """20 x 5: a pill that fits the pages' slider strips, which are 5 pixels high; its bottom
    sits on the strip's bottom. Transparent corners become the window region's holes."""
    img = Image.new("RGBA", (20, 5), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, 19, 4), radius=2, fill=rim + (255,))
    d.rounded_rectangle((1, 1, 18, 3), radius=1, fill=colour + (255,))
    d.line((7, 2, 12, 2), fill=(240, 248, 252, 255))
    return img


def row_picture(kind, selected):
    img = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    col = (255, 255, 255, 255) if selected else ACCENT + (255,)
    if kind == "up":
        d.polygon([(8, 2), (14, 9), (10, 9), (10, 14), (6, 14), (6, 9), (2, 9)], fill=col)
    elif kind == "down":
        d.polygon([(8, 14), (14, 7), (10, 7), (10, 2), (6, 2), (6, 7), (2, 7)], fill=col)
    else:
        d.ellipse((1, 1, 14, 14), outline=col, width=2)
        d.line((8, 4, 8, 8), fill=col, width=2)
        d.line((8, 8, 11, 10), fill=col, width=2)
    return img


def progress_pictures():
    w, h = 330, 80
    base = Image.new("RGBA", (w, h), BG + (255,))
    vgradient(base, (0, 0, w, h), (40, 46, 54), (22, 25, 30))
    d = ImageDraw.Draw(base)
    d.rectangle((0, 0, w - 1, h - 1), outline=ACCENT_DARK)
    d.rectangle((35, 47, 294, 55), fill=(14, 16, 19), outline=EDGE)
    over = base.copy()
    od = ImageDraw.Draw(over)
    for x in range(35, 295):
        k = (x - 35) / 260
        c = tuple(int(ACCENT_DARK[i] + (ACCENT[i] - ACCENT_DARK[i]) * k) for i in range(3))
        od.line((x, 47, x, 55), fill=c + (255,))
    return base, over


def dpi_pictures():
    w, h = 330, 94
    base = Image.new("RGBA", (w, h), (16, 18, 22, 255))
    d = ImageDraw.Draw(base)
    d.rectangle((0, 0, w - 1, h - 1), outline=ACCENT)
    d.text((14, 12), "DPI", font=font(20, bold=True), fill=TEXT)
    d.rectangle((4, 36, 323, 84), fill=(30, 34, 40, 255), outline=EDGE)
    over = base.copy()
    od = ImageDraw.Draw(over)
    for x in range(4, 324):
        k = (x - 4) / 320
        c = tuple(int(ACCENT_DARK[i] + (ACCENT[i] - ACCENT_DARK[i]) * k) for i in range(3))
        od.line((x, 36, x, 84), fill=c + (255,))
    return base, over


def info_sheets(form, state):
    """Message box sheet, 330 x 160: title bar with a close cross, warning sign, button faces."""
    w, h = 330, 160
    img = Image.new("RGB", (w, h), LIGHT)
    d = ImageDraw.Draw(img)
    vgradient(img, (0, 0, w, 30), (44, 50, 58), (28, 32, 38))
    d.rectangle((0, 0, w - 1, h - 1), outline=ACCENT_DARK)
    d.line((0, 30, w, 30), fill=ACCENT, width=2)
    # close cross (300, 0)-(329, 29)
    cfill = {"normal": None, "over": (190, 40, 40), "down": (140, 25, 25)}[state]
    if cfill:
        d.rectangle((300, 1, 328, 29), fill=cfill)
    d.line((308, 8, 321, 21), fill=(235, 235, 235), width=2)
    d.line((308, 21, 321, 8), fill=(235, 235, 235), width=2)
    # warning sign
    d.polygon([(50, 58), (74, 102), (26, 102)], fill=(232, 170, 28), outline=(150, 100, 10))
    d.rectangle((48, 72, 52, 90), fill=(40, 30, 10))
    d.rectangle((48, 94, 52, 98), fill=(40, 30, 10))
    faces = [(178, 127, 244, 159), (245, 127, 311, 159)] if form == "question" else [(240, 127, 306, 159)]
    for box in faces:
        fill = {"normal": (196, 204, 210), "over": ACCENT, "down": ACCENT_DARK}[state]
        d.rounded_rectangle((box[0] + 1, box[1] + 1, box[2] - 2, box[3] - 3), radius=4, fill=fill,
                            outline=(150, 160, 168))
    return img


def scroll_grid():
    """163 x 54: nine 18-pixel columns (up, down, thumb, track; left, right, thumb, track; corner)
    in three rows (normal, hot, pressed)."""
    s = 18
    img = Image.new("RGB", (163, 54), PANEL)
    d = ImageDraw.Draw(img)
    for row, (face, glyph) in enumerate([((44, 50, 58), TEXT), ((58, 68, 80), (255, 255, 255)),
                                         (ACCENT_DARK, (255, 255, 255))]):
        y = row * s
        for col in range(9):
            x = col * s
            cell = (x, y, x + s - 1, y + s - 1)
            if col in (3, 7):  # tracks
                d.rectangle(cell, fill=(20, 23, 27))
                if col == 3:
                    d.line((x + 8, y, x + 8, y + s - 1), fill=(32, 36, 42))
                else:
                    d.line((x, y + 8, x + s - 1, y + 8), fill=(32, 36, 42))
                continue
            if col == 8:
                d.rectangle(cell, fill=(20, 23, 27))
                continue
            if col in (2, 6):  # thumbs
                d.rectangle(cell, fill=(20, 23, 27))
                inner = (x + 3, y + 2, x + s - 4, y + s - 3) if col == 2 else (x + 2, y + 3, x + s - 3, y + s - 4)
                thumb = face if row else (70, 80, 92)
                d.rectangle(inner, fill=thumb)
                continue
            d.rectangle(cell, fill=face)
            cx, cy = x + s / 2 - 0.5, y + s / 2 - 0.5
            arrows = {0: [(cx, cy - 3), (cx + 4, cy + 2), (cx - 4, cy + 2)],
                      1: [(cx, cy + 3), (cx + 4, cy - 2), (cx - 4, cy - 2)],
                      4: [(cx - 3, cy), (cx + 2, cy - 4), (cx + 2, cy + 4)],
                      5: [(cx + 3, cy), (cx - 2, cy - 4), (cx - 2, cy + 4)]}
            d.polygon(arrows[col], fill=glyph)
    return img


def popup_frame():
    img = Image.new("RGBA", (65, 65), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, 64, 64), radius=6, fill=(12, 14, 16, 90))
    d.rounded_rectangle((1, 1, 63, 63), radius=5, fill=(246, 248, 250, 255), outline=ACCENT + (255,))
    return img


# Flags by resource number: stripes (horizontal "h" or vertical "v") or a special drawing.
FLAGS = {
    156: ("h", [(174, 28, 40), (255, 255, 255), (33, 70, 139)]),        # Dutch
    157: ("uk", None),                                                   # English
    158: ("v", [(0, 85, 164), (255, 255, 255), (239, 65, 53)]),          # French
    159: ("h", [(0, 0, 0), (221, 0, 0), (255, 206, 0)]),                 # German
    160: ("v", [(0, 146, 70), (255, 255, 255), (206, 43, 55)]),         # Italian
    161: ("kr", None),                                                   # Korean
    162: ("pt", None),                                                   # Portuguese
    163: ("h", [(255, 255, 255), (0, 57, 166), (213, 43, 30)]),          # Russian
    164: ("cn", None),                                                   # Chinese
    165: ("es", None),                                                   # Spanish
    166: ("h", [(90, 100, 110), (120, 130, 140)]),                       # spare
    167: ("h", [(0, 87, 183), (255, 215, 0)]),                           # Ukrainian
}
ICON_FLAGS = {168: 164, 169: 156, 170: 158, 171: 159, 172: 160, 174: 162, 175: 163, 176: 161,
              177: 165, 178: 166, 179: 157, 180: 167}


def flag(kind, colours, size):
    w, h = size
    big = Image.new("RGB", (w * 4, h * 4), (255, 255, 255))
    d = ImageDraw.Draw(big)
    W, H = big.size
    if kind == "h":
        n = len(colours)
        for i, c in enumerate(colours):
            d.rectangle((0, H * i // n, W, H * (i + 1) // n), fill=c)
    elif kind == "v":
        n = len(colours)
        for i, c in enumerate(colours):
            d.rectangle((W * i // n, 0, W * (i + 1) // n, H), fill=c)
    elif kind == "uk":
        d.rectangle((0, 0, W, H), fill=(1, 33, 105))
        d.line((0, 0, W, H), fill=(255, 255, 255), width=H // 5)
        d.line((0, H, W, 0), fill=(255, 255, 255), width=H // 5)
        d.rectangle((W * 0.42, 0, W * 0.58, H), fill=(255, 255, 255))
        d.rectangle((0, H * 0.36, W, H * 0.64), fill=(255, 255, 255))
        d.rectangle((W * 0.45, 0, W * 0.55, H), fill=(200, 16, 46))
        d.rectangle((0, H * 0.41, W, H * 0.59), fill=(200, 16, 46))
    elif kind == "kr":
        d.ellipse((W / 2 - H / 4, H / 4, W / 2 + H / 4, H * 3 / 4), fill=(205, 46, 58))
        d.pieslice((W / 2 - H / 4, H / 4, W / 2 + H / 4, H * 3 / 4), 0, 180, fill=(0, 71, 160))
    elif kind == "pt":
        d.rectangle((0, 0, W, H), fill=(255, 0, 0))
        d.rectangle((0, 0, W * 0.4, H), fill=(0, 102, 0))
        d.ellipse((W * 0.4 - H / 5, H / 2 - H / 5, W * 0.4 + H / 5, H / 2 + H / 5), fill=(255, 204, 0))
    elif kind == "cn":
        d.rectangle((0, 0, W, H), fill=(222, 41, 16))
        cx, cy, r = W * 0.17, H * 0.3, H * 0.17
        pts = []
        for i in range(10):
            a = -math.pi / 2 + i * math.pi / 5
            rr = r if i % 2 == 0 else r * 0.4
            pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
        d.polygon(pts, fill=(255, 222, 0))
    elif kind == "es":
        d.rectangle((0, 0, W, H), fill=(198, 11, 30))
        d.rectangle((0, H / 4, W, H * 3 / 4), fill=(255, 196, 0))
    img = big.resize(size, Image.LANCZOS)
    ImageDraw.Draw(img).rectangle((0, 0, w - 1, h - 1), outline=(60, 60, 60))
    return img


def mouse_still(frame=None, frames=1):
    """53 x 40: a mouse with its left button; frame k of an animation shows a click ripple."""
    img = Image.new("RGB", (53, 40), PANEL)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((18, 5, 35, 35), radius=8, fill=(70, 80, 92), outline=(150, 160, 170))
    d.line((26.5, 5, 26.5, 17), fill=(30, 34, 40))
    d.line((18, 17, 35, 17), fill=(30, 34, 40))
    if frame is not None:
        phase = (frame % (frames // 2)) / (frames // 2)
        if phase < 0.5:
            d.rectangle((19, 6, 26, 16), fill=ACCENT)
        r = 4 + phase * 14
        d.ellipse((22 - r, 11 - r, 22 + r, 11 + r), outline=ACCENT)
    d.text((38, 27), "2x", font=font(10, bold=True), fill=TEXT)
    return img


def menu_bitmap(state, sub):
    w, h = 120, 24
    fill = {"normal": (36, 41, 48), "over": ACCENT_DARK, "down": ACCENT}[state]
    img = Image.new("RGB", (w, h), fill)
    d = ImageDraw.Draw(img)
    d.line((0, h - 1, w, h - 1), fill=EDGE)
    if sub:
        d.polygon([(w - 12, 8), (w - 7, 12), (w - 12, 16)], fill=TEXT)
    return img


# ---- file writers ----------------------------------------------------------------------------
def dib_entry(img):
    """A 32-bit icon or cursor image: BITMAPINFOHEADER, BGRA rows bottom-up, empty AND mask."""
    img = img.convert("RGBA")
    w, h = img.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = img.load()
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            rows += bytes((b, g, r, a))
    mask_row = ((w + 31) // 32) * 4
    return header + bytes(rows) + bytes(mask_row * h)


def write_icon(path, images, cursor_hotspot=None):
    entries = [dib_entry(i) for i in images]
    kind = 2 if cursor_hotspot else 1
    out = bytearray(struct.pack("<HHH", 0, kind, len(images)))
    offset = 6 + 16 * len(images)
    for img, data in zip(images, entries):
        w, h = img.size
        a, b = cursor_hotspot if cursor_hotspot else (1, 32)
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, a, b, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def write_avi(path, frames, fps=12):
    """An uncompressed 24-bit AVI the system animation control can play."""
    w, h = frames[0].size
    stride = (w * 3 + 3) & ~3
    size = stride * h

    def chunk(tag, data):
        pad = b"\0" if len(data) % 2 else b""
        return tag + struct.pack("<I", len(data)) + data + pad

    def lst(tag, data):
        return b"LIST" + struct.pack("<I", len(data) + 4) + tag + data

    avih = struct.pack("<IIIIIIIIII4I", 1000000 // fps, size * fps, 0, 0x10, len(frames), 0, 1,
                       size, w, h, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, 1, fps, 0,
                       len(frames), size, 0xFFFFFFFF, 0, 0, 0, w, h)
    strf = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, size, 0, 0, 0, 0)
    hdrl = lst(b"hdrl", chunk(b"avih", avih) + lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_data = bytearray()
    index = bytearray()
    for fr in frames:
        px = fr.convert("RGB").load()
        raw = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray()
            for x in range(w):
                r, g, b = px[x, y]
                row += bytes((b, g, r))
            row += bytes(stride - len(row))
            raw += row
        index += struct.pack("<4sIII", b"00db", 0x10, 4 + len(movi_data), len(raw))
        movi_data += chunk(b"00db", bytes(raw))
    movi = lst(b"movi", bytes(movi_data))
    body = b"AVI " + hdrl + movi + chunk(b"idx1", bytes(index))
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


# ---- everything ------------------------------------------------------------------------------
def build(bin_dir, gen_dir, lang):
    skins = os.path.join(bin_dir, "skins")
    res = os.path.join(gen_dir, "skin")
    for folder in (skins, os.path.join(skins, "ProgressBar"), os.path.join(skins, "Menu"), res):
        os.makedirs(folder, exist_ok=True)

    sheets = draw_sheets(MAIN_SIZE, main_elements(), lang, background=main_background)
    save_bmp(sheets["normal"], os.path.join(skins, "Main_Normal.bmp"))
    save_bmp(sheets["over"], os.path.join(skins, "Main_Over.bmp"))
    save_bmp(sheets["down"], os.path.join(skins, "Main_Down.bmp"))

    mouse_page.build(skins)
    setting_panel.build(skins)
    led_page.build(skins, res)
    macro_page.build(skins)
    stats_page.build(skins)
    support_page.build(skins)

    slider_thumb(ACCENT, (14, 60, 80)).save(os.path.join(skins, "Slider.png"))
    slider_thumb((110, 118, 126), (50, 55, 60)).save(os.path.join(skins, "SliderDisable.PNG"))
    for kind in ("up", "down", "delay"):
        row_picture(kind, False).save(os.path.join(skins, f"{kind}_normal.png"))
        row_picture(kind, True).save(os.path.join(skins, f"{kind}_select.png"))
    base, over = progress_pictures()
    base.save(os.path.join(skins, "ProgressBar", "Progress_Normal.png"))
    over.save(os.path.join(skins, "ProgressBar", "Progress_Over.png"))
    base, over = dpi_pictures()
    base.save(os.path.join(skins, "ProgressBar", "DpiPro_Normal.png"))
    over.save(os.path.join(skins, "ProgressBar", "DpiPro_Over.png"))
    for state, name in (("normal", "Nor"), ("over", "Over"), ("down", "Down")):
        save_bmp(menu_bitmap(state, False), os.path.join(skins, "Menu", f"Menu{name}L.BMP"))
        save_bmp(menu_bitmap(state, True), os.path.join(skins, "Menu", f"Menu{name}HaveSub.BMP"))

    # compiled-in pictures
    ids = {("question", "down"): 131, ("notice", "down"): 132, ("question", "normal"): 133,
           ("notice", "normal"): 134, ("question", "over"): 135, ("notice", "over"): 136}
    for (form, state), rid in ids.items():
        save_bmp(info_sheets(form, state), os.path.join(res, f"bmp_{rid}.bmp"))
    save_bmp(scroll_grid(), os.path.join(res, "bmp_147.bmp"))
    save_bmp(mouse_still(), os.path.join(res, "bmp_154.bmp"))
    write_avi(os.path.join(res, "avi_155.avi"), [mouse_still(k, 12) for k in range(12)])
    for rid, (kind, colours) in FLAGS.items():
        save_bmp(flag(kind, colours, (37, 22)), os.path.join(res, f"bmp_{rid}.bmp"))
    for rid, flag_id in ICON_FLAGS.items():
        kind, colours = FLAGS[flag_id]
        flag(kind, colours, (19, 11)).convert("RGBA").save(os.path.join(res, f"png_{rid}.png"))
    popup_frame().save(os.path.join(res, "png_173.png"))

    def glyph_icon(size, draw):
        img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
        draw(ImageDraw.Draw(img), size)
        return img

    def config_glyph(d, s):  # a gear-like ring
        d.ellipse((s * 0.12, s * 0.12, s * 0.88, s * 0.88), outline=ACCENT + (255,), width=max(2, s // 6))
        d.ellipse((s * 0.38, s * 0.38, s * 0.62, s * 0.62), fill=ACCENT_DARK + (255,))

    def exit_glyph(d, s):
        d.line((s * 0.2, s * 0.2, s * 0.8, s * 0.8), fill=(200, 50, 50, 255), width=max(2, s // 6))
        d.line((s * 0.2, s * 0.8, s * 0.8, s * 0.2), fill=(200, 50, 50, 255), width=max(2, s // 6))

    write_icon(os.path.join(res, "ico_138.ico"), [glyph_icon(16, config_glyph), glyph_icon(32, config_glyph)])
    write_icon(os.path.join(res, "ico_139.ico"), [glyph_icon(16, exit_glyph), glyph_icon(32, exit_glyph)])

    def picker(d, s):  # an eyedropper: hot spot at the tip, bottom left
        d.line((3, s - 4, s - 10, 9), fill=(255, 255, 255, 255), width=4)
        d.line((3, s - 4, s - 10, 9), fill=(20, 20, 20, 255), width=2)
        d.ellipse((s - 14, 3, s - 3, 14), fill=ACCENT + (255,), outline=(20, 20, 20, 255))

    write_icon(os.path.join(res, "cur_183.cur"), [glyph_icon(32, picker)], cursor_hotspot=(2, 29))


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--lang")]
    lang = "zh" if "--lang=zh" in sys.argv[1:] else "en"
    if len(args) != 2:
        sys.exit("usage: make_skin.py BIN_DIR GENERATED_DIR [--lang=en|zh]")
    build(args[0], args[1], lang)
    with open(os.path.join(args[1], "skin", "skin.stamp"), "w") as f:
        f.write("done\n")


if __name__ == "__main__":
    main()
