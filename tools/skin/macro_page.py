"""The macro page: the game group and its macros, the events of the chosen macro, the recorder,
the repeat rules, the event editor and the three mouse-button pictures used while recording.

Three sheets of the page area (925 x 457), the international layout in skins\\ and the Chinese
one in skins\\chs\\. The record and group buttons get their captions from the program; the lists
draw their own rows on RGB(20, 20, 20), the edit boxes on RGB(15, 15, 15).
"""
import os

from PIL import ImageDraw

from skin_draw import (ACCENT, EDGE, EDGE_HI, PAGE_SIZE, PANEL, TEXT_DIM, WHITE, Element,
                       grown, heading, in_layout, inner, mirrored, mix, page_background,
                       register_face, smooth_outline, supersampled, words, write_layouts)

FILES = {"normal": "Macro_normal.bmp", "down": "Macro_down.bmp", "over": "Macro_over.bmp"}
LAYOUT_FOLDERS = {"en": "", "zh": "chs"}
LIST_BACKGROUND = (20, 20, 20)
EDIT_BACKGROUND = (15, 15, 15)

RECORD = (782, 20, 900, 53)
GROUP = (25, 49, 326, 70)
NO_PAUSE = (646, 59, 835, 79)
LOOP = (643, 86, 760, 105)
LOOP_COUNT = (856, 89, 890, 100)
TOGGLE = (643, 112, 895, 128)
HOLD = (643, 131, 787, 152)
MACRO_LIST = (27, 89, 324, 405)
EVENT_LIST = (345, 51, 625, 405)
NEW_MACRO = (26, 412, 67, 440)
DELETE_MACRO = (77, 412, 139, 440)
INSERT_EVENT = (361, 412, 391, 440)
DELETE_EVENT = (394, 412, 424, 440)
MODIFY_EVENT = (427, 412, 457, 440)
KEY_TYPE = (641, 339, 786, 358)
KEY_EDIT = (666, 365, 821, 379)
KEY_OK = (852, 363, 892, 381)
PAUSE_TYPE = (640, 387, 801, 407)
PAUSE_EDIT = (666, 414, 821, 429)
PAUSE_OK = (852, 412, 892, 432)
MOUSE_BUTTONS = [(717, 213, 745, 263), (756, 211, 781, 251), (789, 213, 818, 264)]

WORDS = {
    "no_pause": {"en": "Record without pauses", "zh": "录制时不记录延时"},
    "loop": {"en": "Repeat", "zh": "循环次数"},
    "times": {"en": "times", "zh": "次"},
    "toggle": {"en": "Repeat until pressed again", "zh": "按下开始循环，再按停止"},
    "hold": {"en": "Repeat while held", "zh": "按住时循环"},
    "new": {"en": "New", "zh": "新建"},
    "delete": {"en": "Delete", "zh": "删除"},
    "key": {"en": "Key event", "zh": "按键事件"},
    "pause": {"en": "Pause", "zh": "延时"},
    "ok": {"en": "OK", "zh": "确定"},
    "ms": {"en": "ms", "zh": "毫秒"},
    "macros": {"en": "MACROS", "zh": "宏列表"},
    "events": {"en": "EVENTS", "zh": "事件"},
    "repeat": {"en": "REPEAT", "zh": "循环方式"},
    "buttons": {"en": "MOUSE BUTTONS", "zh": "鼠标按键"},
    "buttons_hint": {"en": "Click while recording", "zh": "录制时点击"},
    "editor": {"en": "EDIT EVENT", "zh": "编辑事件"},
}


def elements(layout):
    w = in_layout(WORDS, layout)
    els = [Element("spin", RECORD, "rec", style="caption", name="record"),
           Element("spin", GROUP, "drop", name="group"),
           Element("switch", NO_PAUSE, w["no_pause"], name="no-pause switch"),
           Element("choice", LOOP, w["loop"], name="loop option"),
           Element("choice", TOGGLE, w["toggle"], name="toggle option"),
           Element("choice", HOLD, w["hold"], name="hold option"),
           Element("button", NEW_MACRO, w["new"], size=11, name="new macro"),
           Element("button", DELETE_MACRO, w["delete"], size=11, name="delete macro"),
           Element("spin", INSERT_EVENT, "+", name="insert event"),
           Element("spin", DELETE_EVENT, "x", name="delete event"),
           Element("spin", MODIFY_EVENT, "pen", name="modify event"),
           Element("choice", KEY_TYPE, w["key"], name="key type"),
           Element("button", KEY_OK, w["ok"], size=11, name="key OK"),
           Element("choice", PAUSE_TYPE, w["pause"], name="pause type"),
           Element("button", PAUSE_OK, w["ok"], size=11, name="pause OK")]
    for i, box in enumerate(MOUSE_BUTTONS):
        els.append(Element("mousebutton", box, name=["left", "middle", "right"][i] + "-button picture"))
    return els


def controls(layout):
    return [(e.name, e.shape) for e in elements(layout)] + [
        ("macro list", MACRO_LIST), ("event list", EVENT_LIST), ("loop count", LOOP_COUNT),
        ("key edit", KEY_EDIT), ("pause edit", PAUSE_EDIT)]


# The outline of the mouse around the three button pictures, left half (page coordinates).
MOUSE_AXIS = 767
MOUSE_HALF = [(767, 200), (740, 201), (722, 206), (711, 216), (705, 232), (702, 255), (703, 278),
              (710, 294), (725, 303), (745, 307), (767, 308)]
MOUSE_ORIGIN = (690, 195)


def mouse_outline():
    ox, oy = MOUSE_ORIGIN

    def draw(d, s):
        pts = [((x - ox) * s, (y - oy) * s) for x, y in smooth_outline(mirrored(MOUSE_HALF, MOUSE_AXIS))]
        d.polygon(pts, fill=(36, 41, 48, 255), outline=(104, 116, 128, 255), width=s)
        d.line([((706 - ox) * s, (270 - oy) * s), ((767 - ox) * s, (278 - oy) * s),
                ((828 - ox) * s, (270 - oy) * s)], fill=(18, 20, 24, 255), width=2 * s, joint="curve")

    return supersampled((155, 118), draw)


def mouse_button_face(img, box, state, _):
    """One button of the mouse drawing: lit while pressed or pointed at."""
    d = ImageDraw.Draw(img)
    fill = {"normal": (46, 52, 61), "over": mix(ACCENT, PANEL, 0.4), "down": ACCENT}[state]
    d.rounded_rectangle(inner(box), radius=6, fill=fill, outline=EDGE_HI if state == "normal" else WHITE)


register_face("mousebutton", mouse_button_face)


def background(img, layout):
    d = page_background(img)
    w = in_layout(WORDS, layout)
    heading(d, 27, 22, w["macros"], GROUP[2])
    heading(d, EVENT_LIST[0], 22, w["events"], EVENT_LIST[2])
    for box in (MACRO_LIST, EVENT_LIST):
        d.rectangle(inner(grown(box, 1)), fill=LIST_BACKGROUND, outline=EDGE)
    heading(d, 643, 30, w["repeat"], RECORD[0] - 10)
    for box in (LOOP_COUNT, KEY_EDIT, PAUSE_EDIT):
        d.rectangle(inner(grown(box, 2)), fill=EDIT_BACKGROUND, outline=EDGE)
    words(d, (LOOP[2] + 4, LOOP[1], LOOP_COUNT[0] - 6, LOOP[3]), w["times"], TEXT_DIM, 11, align="right")
    words(d, (PAUSE_EDIT[2] + 4, PAUSE_EDIT[1] - 2, PAUSE_OK[0] - 3, PAUSE_EDIT[3] + 2), w["ms"], TEXT_DIM, 10,
          align="left")
    heading(d, 643, 166, w["buttons"], 895)
    words(d, (643, 186, 895, 200), w["buttons_hint"], TEXT_DIM, 10, align="left")
    picture = mouse_outline()
    img.paste(picture, MOUSE_ORIGIN, picture)
    heading(d, 640, 316, w["editor"], 895)


def build(skins):
    write_layouts(skins, PAGE_SIZE, LAYOUT_FOLDERS, FILES, elements, background)
