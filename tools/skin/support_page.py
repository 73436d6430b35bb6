"""The support page: software and firmware versions with their update buttons, the web site,
profile import and export, and the restore of the default settings.

Three sheets of the page area (925 x 457), skins\\support_*.bmp (Chinese words in skins\\chs\\).
The program writes the two version numbers itself, in light ink.
"""
import os

from PIL import ImageDraw

from skin_draw import (ACCENT, EDGE, PAGE_SIZE, TEXT, TEXT_DIM, WELL, Element, card,
                       heading, in_layout, inner, page_background, words, write_layouts)

FILES = {"normal": "support_normal.bmp", "down": "support_down.bmp", "over": "support_over.bmp"}
LAYOUT_FOLDERS = {"en": "", "zh": "chs"}

SOFTWARE_UPDATE = (97, 261, 215, 295)
FIRMWARE_UPDATE = (403, 261, 521, 295)
WEB_SITE = (708, 261, 827, 295)
RESTORE = (781, 388, 875, 420)
IMPORT = (132, 387, 224, 421)
EXPORT = (232, 388, 324, 420)
# where the program starts writing the two versions (left-aligned, from the top)
SOFTWARE_VERSION = (124, 169)
FIRMWARE_VERSION = (425, 169)

WORDS = {
    "software": {"en": "SOFTWARE", "zh": "驱动软件"},
    "firmware": {"en": "FIRMWARE", "zh": "鼠标固件"},
    "web": {"en": "WEB SITE", "zh": "官方网站"},
    "version": {"en": "Version", "zh": "版本"},
    "update": {"en": "Check for update", "zh": "检查更新"},
    "visit": {"en": "Visit web site", "zh": "访问官网"},
    "web_hint": {"en": "News, drivers and help", "zh": "新闻、驱动与帮助"},
    "profile": {"en": "PROFILE FILE", "zh": "配置文件"},
    "import": {"en": "Import", "zh": "导入"},
    "export": {"en": "Export", "zh": "导出"},
    "defaults": {"en": "DEFAULTS", "zh": "默认设置"},
    "restore": {"en": "Restore", "zh": "恢复默认"},
}

CARDS = [(40, 40, 290, 318), (346, 40, 596, 318), (652, 40, 902, 318)]


def elements(layout):
    w = in_layout(WORDS, layout)
    return [Element("button", SOFTWARE_UPDATE, w["update"], name="software update"),
            Element("button", FIRMWARE_UPDATE, w["update"], name="firmware update"),
            Element("button", WEB_SITE, w["visit"], name="web site"),
            Element("button", RESTORE, w["restore"], name="restore defaults"),
            Element("button", IMPORT, w["import"], name="import"),
            Element("button", EXPORT, w["export"], name="export")]


def controls(layout):
    return [(e.name, e.shape) for e in elements(layout)] + [
        (name, (x, y, x + 96, y + 20)) for name, (x, y) in (("software version", SOFTWARE_VERSION),
                                                           ("firmware version", FIRMWARE_VERSION))]


def app_icon(d, cx, cy):
    d.rounded_rectangle((cx - 22, cy - 16, cx + 22, cy + 16), radius=4, outline=ACCENT, width=3)
    d.line((cx - 22, cy - 8, cx + 22, cy - 8), fill=ACCENT, width=3)
    d.polygon([(cx - 6, cy - 2), (cx + 8, cy + 5), (cx - 6, cy + 12)], fill=ACCENT)


def chip_icon(d, cx, cy):
    d.rectangle((cx - 14, cy - 14, cx + 14, cy + 14), outline=ACCENT, width=3)
    d.rectangle((cx - 6, cy - 6, cx + 6, cy + 6), fill=ACCENT)
    for k in (-8, 0, 8):
        for a, b, c, e in ((cx + k, cy - 14, cx + k, cy - 21), (cx + k, cy + 14, cx + k, cy + 21),
                           (cx - 14, cy + k, cx - 21, cy + k), (cx + 14, cy + k, cx + 21, cy + k)):
            d.line((a, b, c, e), fill=ACCENT, width=2)


def globe_icon(d, cx, cy):
    d.ellipse((cx - 20, cy - 20, cx + 20, cy + 20), outline=ACCENT, width=3)
    d.ellipse((cx - 9, cy - 20, cx + 9, cy + 20), outline=ACCENT, width=2)
    d.line((cx - 20, cy, cx + 20, cy), fill=ACCENT, width=2)
    d.line((cx - 17, cy - 10, cx + 17, cy - 10), fill=ACCENT, width=1)
    d.line((cx - 17, cy + 10, cx + 17, cy + 10), fill=ACCENT, width=1)


def background(img, layout):
    d = page_background(img)
    w = in_layout(WORDS, layout)
    titles = (w["software"], w["firmware"], w["web"])
    for box, title, icon in zip(CARDS, titles, (app_icon, chip_icon, globe_icon)):
        card(d, box)
        icon(d, (box[0] + box[2]) // 2, box[1] + 38)
        words(d, (box[0], box[1] + 68, box[2], box[1] + 86), title, ACCENT, 13, bold=True)
    for version in (SOFTWARE_VERSION, FIRMWARE_VERSION):
        box = (version[0] - 4, version[1] - 2, version[0] + 100, version[1] + 22)
        d.rounded_rectangle(inner(box), radius=3, fill=WELL, outline=EDGE)
        words(d, (version[0] - 90, box[1], box[0] - 8, box[3]), w["version"], TEXT_DIM, 12, align="right")
    web = CARDS[2]
    words(d, (web[0] + 10, 166, web[2] - 10, 194), w["web_hint"], TEXT, 12)
    heading(d, IMPORT[0], IMPORT[1] - 28, w["profile"], EXPORT[2])
    heading(d, RESTORE[0], RESTORE[1] - 28, w["defaults"], RESTORE[2])
    d.line((40, 345, 902, 345), fill=EDGE)


def build(skins):
    write_layouts(skins, PAGE_SIZE, LAYOUT_FOLDERS, FILES, elements, background)
