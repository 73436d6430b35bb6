"""The button setting panel and its four sub-panels.

The panel (412 x 296) is a shaped window: a title bar with a light plate for the title, the four
tabs, the frame of the sub-panel area, the "disable" check box and the Restore and OK faces. The
program writes every caption and text itself, so these sheets carry no words. The sub-panels
(370 x 169 each) sit inside the frame: the basic list, the key combination with its four
modifier toggles, the two macro lists and the four rows of advanced actions.
"""
import os

from PIL import ImageDraw

from skin_draw import (ACCENT, ACCENT_DARK, EDGE, PANEL, STATUS_BG, STATUS_EDGE, TEXT,
                       TEXT_DIM, Element, draw_sheets, grown, inner, save_sheets, vgradient,
                       well_box, words)

STATES = ("normal", "over", "down")

PANEL_SIZE = (412, 296)
PANEL_FOLDER = "setting"
PANEL_FILES = {"normal": "Setting_Normal.bmp", "down": "Setting_Down.bmp", "over": "Setting_Over.bmp"}
CLOSE = (383, 1, 411, 24)
OK = (316, 254, 393, 289)
RESTORE = (238, 254, 315, 289)
TABS = [(0, 37, 110, 64), (111, 37, 207, 64), (208, 37, 303, 64), (304, 37, 412, 64)]
DISABLE_BOX = (23, 258, 42, 277)
SUB_PANEL_AREA = (21, 74, 391, 243)
# where the program writes its own texts
TITLE = (135, 1, 277, 20)
CURRENT_FUNCTION = (5, 16, 180, 38)
DISABLE_TEXT = (46, 258, 106, 278)

# where the program writes: title, current function, "disable" words, the captions of OK,
# Restore and the tabs
PANEL_TEXTS = [TITLE, CURRENT_FUNCTION, DISABLE_TEXT, OK, RESTORE] + TABS

SUB_SIZE = (370, 169)
SUB_BACKGROUND = (15, 15, 15)

# the key-combination sub-panel
TOGGLES = [("Ctrl", (59, 45, 72, 58)), ("Alt", (59, 70, 72, 83)), ("Shift", (59, 94, 72, 108)),
           ("Win", (58, 119, 72, 133))]
KEY_NAME = (169, 78, 310, 99)        # the program writes the captured key's name here
KEY_PROMPT = "Press a key · 请按键"

# the macro sub-panel
MACRO_LISTS = [(1, 1, 184, 168), (188, 1, 369, 168)]

# the advanced sub-panel: choice button, label (written by the program), path display, Browse
ADVANCED_ROWS = [((21, 37, 38, 54), (41, 36, 127, 56), (124, 36, 263, 52), (273, 33, 349, 55)),
                 ((21, 63, 38, 80), (41, 63, 127, 83), (124, 63, 262, 79), (273, 59, 349, 81)),
                 ((21, 88, 38, 105), (41, 89, 127, 109), (124, 89, 262, 105), (273, 86, 349, 108)),
                 ((21, 114, 38, 131), (41, 116, 127, 136), (124, 116, 262, 132), (273, 113, 349, 135))]


# ---- the panel ---------------------------------------------------------------------------------
def panel_elements():
    els = [Element("window", CLOSE, "close", name="close"),
           Element("face", RESTORE, style="caption", name="Restore"),
           Element("face", OK, style="caption", name="OK"),
           Element("check", DISABLE_BOX, name="disable box")]
    for i, box in enumerate(TABS):
        els.append(Element("face", (box[0], box[1], min(box[2], PANEL_SIZE[0]), box[3]), style="light",
                           name=f"tab {i + 2}"))
    return els


def panel_controls(layout="en"):
    return [(e.name, e.shape) for e in panel_elements()] + [
        ("title text", TITLE), ("current function text", CURRENT_FUNCTION),
        ("disable text", DISABLE_TEXT), ("sub-panel", SUB_PANEL_AREA)]


def panel_background(img, lang):
    w, h = img.size
    d = ImageDraw.Draw(img)
    vgradient(img, (0, 0, w, 37), (46, 52, 61), (30, 34, 40))
    vgradient(img, (0, 65, w, h), PANEL, (20, 23, 27))
    d.rectangle((0, 37, w - 1, 64), fill=(20, 23, 27))
    d.line((0, 65, w, 65), fill=ACCENT, width=2)
    # the plate under the title
    d.rounded_rectangle(inner(grown(TITLE, 3, -1)), radius=8, fill=STATUS_BG, outline=STATUS_EDGE)
    # the frame around the sub-panels
    d.rectangle(inner(grown(SUB_PANEL_AREA, 1)), outline=EDGE)
    d.rectangle(inner(SUB_PANEL_AREA), fill=SUB_BACKGROUND)
    d.line((12, 250, w - 12, 250), fill=EDGE)
    # the rim of the window, square behind the close button
    d.rounded_rectangle((0, 0, w - 1, h - 1), radius=10, outline=ACCENT_DARK)
    d.rectangle((CLOSE[0], 0, w - 1, CLOSE[3]), fill=(46, 52, 61))
    d.line((CLOSE[0], 0, w - 1, 0), fill=ACCENT_DARK)
    d.line((w - 1, 0, w - 1, CLOSE[3]), fill=ACCENT_DARK)


# ---- the sub-panels ----------------------------------------------------------------------------
# per sub-panel: the key name; the advanced rows' labels, paths and Browse captions
SUB_PANEL_TEXTS = {"combo": [KEY_NAME],
                   "advanced": [box for row in ADVANCED_ROWS for box in row[1:]]}


def plain_background(img, lang):
    ImageDraw.Draw(img).rectangle((0, 0, *img.size), fill=SUB_BACKGROUND)


def combo_background(img, lang):
    plain_background(img, lang)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((44, 32, 140, 145), radius=5, fill=(24, 27, 32), outline=EDGE)
    for name, box in TOGGLES:
        words(d, (80, box[1] - 3, 136, box[3] + 3), name, TEXT, 12, align="left")
    words(d, (140, 74, 166, 104), "+", ACCENT, 20, bold=True)
    words(d, (166, 52, 313, 72), KEY_PROMPT, TEXT_DIM, 12)
    well_box(d, grown(KEY_NAME, 3, 2), outline=ACCENT_DARK)


def macro_background(img, lang):
    plain_background(img, lang)
    d = ImageDraw.Draw(img)
    for box in MACRO_LISTS:
        d.rectangle(inner(grown(box, 1)), outline=EDGE)


def advanced_background(img, lang):
    plain_background(img, lang)
    d = ImageDraw.Draw(img)
    for choice, label, path, browse in ADVANCED_ROWS:
        # a light row: the program writes the row's label in dark ink at `label`
        d.rounded_rectangle((14, browse[1] - 1, 356, browse[3]), radius=3, fill=STATUS_BG,
                            outline=STATUS_EDGE)


def combo_elements():
    return [Element("check", box, name=f"{name} toggle") for name, box in TOGGLES]


def advanced_elements():
    els = []
    for i, (choice, label, path, browse) in enumerate(ADVANCED_ROWS):
        els += [Element("choice", choice, style="light", name=f"choice {i}"),
                Element("face", path, style="well", name=f"path {i}"),
                Element("face", browse, style="caption", name=f"browse {i}")]
    return els


def rows_controls(layout="en"):
    out = [(e.name, e.shape) for e in advanced_elements()]
    return out + [(f"label {i}", row[1]) for i, row in enumerate(ADVANCED_ROWS)]


SUB_PANELS = {
    # folder: (file stem, background, elements, controls)
    # the list (0, 0, 372, 171) covers the whole sub-panel
    "base": ("Base", plain_background, list, lambda layout="en": [("list", (0, 0) + SUB_SIZE)]),
    "combo": ("Combo", combo_background, combo_elements,
              lambda layout="en": [(e.name, e.shape) for e in combo_elements()] + [("key name", KEY_NAME)]),
    "macro": ("Macro", macro_background, list,
              lambda layout="en": [("games", MACRO_LISTS[0]), ("macros", MACRO_LISTS[1])]),
    "advanced": ("Advanced", advanced_background, advanced_elements, rows_controls),
}


def sub_files(stem):
    return {s: f"{stem}_{s.capitalize()}.bmp" for s in STATES}


def build(skins):
    # the close button fills the top right corner
    sheets = draw_sheets(PANEL_SIZE, panel_elements(), background=panel_background, states=STATES,
                         radius=10, keep=[(CLOSE[0], 0, PANEL_SIZE[0], CLOSE[3])])
    save_sheets(sheets, os.path.join(skins, PANEL_FOLDER), PANEL_FILES)
    for folder, (stem, background, elements, _) in SUB_PANELS.items():
        sheets = draw_sheets(SUB_SIZE, elements(), background=background, shape=None, states=STATES)
        save_sheets(sheets, os.path.join(skins, folder), sub_files(stem))
