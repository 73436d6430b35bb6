"""Drawing helpers shared by every window of the skin: the palette, fonts and words, the faces of
the controls in each state, element lists and whole-window sheets.

A window is described as a list of `Element`s. `draw_sheets` draws the window's background once
per state and every element in that state: "normal", "over" (pointer above), "down" (pressed or
chosen) and "disable" (greyed). A control at rectangle R takes its looks from rectangle R of the
sheets, so every element draws only inside its own shape.
"""
import math
import os
from dataclasses import dataclass

from PIL import Image, ImageDraw, ImageFont

# ---- palette ---------------------------------------------------------------------------------
KEY = (255, 0, 253)            # pixels outside a shaped window
BG = (24, 27, 32)
BG_HI = (34, 39, 46)
PANEL = (30, 34, 40)
CARD = (35, 40, 47)
EDGE = (52, 60, 70)
EDGE_HI = (86, 98, 110)
WELL = (16, 18, 22)            # recessed areas: grooves, lists, boxes
ACCENT = (31, 161, 211)
ACCENT_DARK = (21, 140, 185)
ACCENT_HOT = (0, 147, 209)
GLOW = (150, 225, 250)
TEXT = (200, 208, 214)
TEXT_DIM = (120, 132, 140)
TEXT_OFF = (78, 85, 92)
FACE = (36, 41, 48)
FACE_HI = (46, 54, 63)
FACE_OFF = (31, 34, 39)
EDGE_OFF = (45, 49, 55)
STATUS_BG = (214, 220, 224)
STATUS_EDGE = (150, 160, 168)
STATUS_TEXT = (83, 97, 103)
LIGHT = (236, 240, 243)
WHITE = (255, 255, 255)
CLOSE_HOT = (190, 40, 40)
CLOSE_DOWN = (140, 25, 25)

STATES = ("normal", "over", "down", "disable")

FONT_LATIN = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_LATIN_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT_CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

_fonts = {}


def font(size, bold=False, cjk=False):
    key = (size, bold, cjk)
    if key not in _fonts:
        path = FONT_CJK if cjk else (FONT_LATIN_BOLD if bold else FONT_LATIN)
        try:
            _fonts[key] = ImageFont.truetype(path, size)
        except OSError:
            _fonts[key] = ImageFont.load_default()
    return _fonts[key]


def has_cjk(text):
    return any(ord(c) > 0x2e80 for c in text)


class WordsDoNotFit(ValueError):
    """Words that stay wider or taller than their box even at the smallest size."""


def fitted_font(text, box, size, bold=False, smallest=8):
    """The largest font of at most `size` pixels in which `text` fits inside `box`."""
    width, height = box[2] - box[0], box[3] - box[1]
    for s in range(size, smallest - 1, -1):
        f = font(s, bold, has_cjk(text))
        l, t, r, b = f.getbbox(text)
        if r - l <= width and b - t <= height:
            return f
    raise WordsDoNotFit(f"{text!r} does not fit into {box}")


def words(d, box, text, fill, size=12, bold=False, align="centre"):
    """Draws `text` on one line inside `box` (left, top, right, bottom), vertically centred,
    shrinking the font when needed; align is "centre", "left" or "right"."""
    if not text:
        return
    f = fitted_font(text, box, size, bold)
    l, t, r, b = d.textbbox((0, 0), text, font=f)
    if align == "left":
        x = box[0] - l
    elif align == "right":
        x = box[2] - r
    else:
        x = (box[0] + box[2] - (r - l)) / 2 - l
    y = (box[1] + box[3] - (b - t)) / 2 - t
    d.text((round(x), round(y)), text, font=f, fill=fill)


def centred_text(d, box, text, fill, size=13, bold=False):
    words(d, box, text, fill, size, bold)


def vgradient(img, box, top, bottom):
    d = ImageDraw.Draw(img)
    x0, y0, x1, y1 = box
    h = max(y1 - y0, 1)
    for i in range(y1 - y0):
        k = i / h
        c = tuple(int(top[j] + (bottom[j] - top[j]) * k) for j in range(3))
        d.line((x0, y0 + i, x1 - 1, y0 + i), fill=c)


def mix(a, b, k):
    return tuple(int(a[i] + (b[i] - a[i]) * k) for i in range(3))


def grown(box, dx, dy=None):
    dy = dx if dy is None else dy
    return box[0] - dx, box[1] - dy, box[2] + dx, box[3] + dy


def inner(box):
    """The pixels of a (left, top, right, bottom) rectangle whose right and bottom are exclusive,
    as PIL's inclusive corners."""
    return box[0], box[1], box[2] - 1, box[3] - 1


def supersampled(size, draw, scale=4):
    """An RGBA picture drawn at `scale` times its size by draw(d, scale) and scaled down, for
    smooth curves."""
    big = Image.new("RGBA", (size[0] * scale, size[1] * scale), (0, 0, 0, 0))
    draw(ImageDraw.Draw(big), scale)
    return big.resize(size, Image.LANCZOS)


# ---- faces of the controls -------------------------------------------------------------------
# Each face function draws one control in one state inside its shape.

def face_colours(state, style="dark"):
    """(fill, outline, words) of a button face. Styles: "dark" (the program draws no caption or
    a light one), "light" (a light face for dark captions), "caption" (a face whose pressed look
    carries the dark pressed caption), "accent" (an emphasised dark face)."""
    if state == "disable":
        return FACE_OFF, EDGE_OFF, TEXT_OFF
    if style == "light":
        return _light_face(state)
    if style == "well":
        return _well_face(state)
    if state == "over":
        return FACE_HI, ACCENT, WHITE
    if state == "down":
        return (ACCENT if style == "caption" else ACCENT_DARK), ACCENT, WHITE
    if style == "accent":
        return (28, 92, 120), ACCENT, TEXT
    return FACE, EDGE, TEXT


def _well_face(state):
    return WELL, (EDGE if state == "normal" else ACCENT), TEXT


def _light_face(state):
    return {"normal": ((196, 204, 210), STATUS_EDGE, STATUS_TEXT),
            "over": (ACCENT, ACCENT, WHITE),
            "down": (ACCENT_DARK, ACCENT, WHITE)}[state]


def button_face(d, box, state, text="", style="dark", size=12, radius=3, glyph=None):
    fill, outline, ink = face_colours(state, style)
    d.rounded_rectangle(inner(box), radius=radius, fill=fill, outline=outline)
    if state in ("normal", "disable") and style not in ("light", "well"):
        # a faint top highlight gives the face some depth
        d.line((box[0] + radius, box[1] + 1, box[2] - 1 - radius, box[1] + 1), fill=mix(fill, WHITE, 0.07))
    if glyph:
        glyph(d, box, ink)
    words(d, grown(box, -3, -1), text, ink, size, bold=True)


def polygon_face(d, points, state, text="", size=12):
    fill, outline, ink = face_colours("normal" if state == "disable" else state)
    d.polygon(points, fill=fill, outline=outline)
    if state == "over":
        d.polygon(points, outline=ACCENT)
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    l, t, r, b = min(xs), min(ys), max(xs), max(ys)
    slant = max(abs(points[0][0] - points[3][0]), abs(points[1][0] - points[2][0]))
    words(d, (l + slant + 3, t + 1, r - slant - 3, b - 1), text, ink, size, bold=state == "down")


def _indicator_colours(state, style="dark"):
    if style == "light":  # on a light surface
        return WHITE, {"normal": (110, 120, 128)}.get(state, ACCENT), STATUS_TEXT
    if state == "disable":
        return (26, 29, 33), EDGE_OFF, TEXT_OFF
    if state == "over":
        return WELL, ACCENT, WHITE
    if state == "down":
        return ACCENT_DARK, ACCENT, WHITE
    return WELL, EDGE_HI, TEXT


def _indicator_box(box, size):
    s = min(size, box[3] - box[1] - 1)
    top = (box[1] + box[3] - s) // 2
    return box[0] + 1, top, box[0] + 1 + s, top + s


def check_face(d, box, state, text="", size=12, round_mark=False, align="left", style="dark"):
    """A check box (or, with round_mark, a choice dot) with its words to the right; small words
    get a smaller box. Style "light" is for light surfaces."""
    fill, outline, ink = _indicator_colours(state, style)
    if text:
        ib = _indicator_box(box, 13 if size >= 12 else 10)
    else:  # a bare box fills its rectangle
        ib = _indicator_box(box, min(box[2] - box[0], box[3] - box[1]) - 2)
    if round_mark:
        d.ellipse(inner(ib), fill=fill if state == "disable" or style == "light" else WELL,
                  outline=outline)
        if state == "down":
            k = max(2, (ib[2] - ib[0]) // 4)
            d.ellipse(inner(grown(ib, -k)), fill=ACCENT)
    else:
        d.rectangle(inner(ib), fill=fill, outline=outline)
        if state == "down":
            s = ib[2] - ib[0]
            x, y = ib[0], ib[1]
            d.line([(x + s * 0.22, y + s * 0.52), (x + s * 0.42, y + s * 0.72), (x + s * 0.78, y + s * 0.28)],
                   fill=WHITE, width=max(1, s // 6))
    if text:
        words(d, (ib[2] + (5 if size >= 12 else 4), box[1], box[2] - 1, box[3]), text, ink, size,
              align=align)


def marker_face(d, box, state):
    """A spot on the picture of the mouse: dim, or lit while its button is pointed at."""
    cx, cy = (box[0] + box[2]) / 2 - 0.5, (box[1] + box[3]) / 2 - 0.5
    if state in ("over", "down"):
        for r, c in ((11, mix(PANEL, ACCENT, 0.25)), (9, mix(PANEL, ACCENT, 0.55)), (7, ACCENT), (4, GLOW)):
            d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=c)
        d.ellipse((cx - 1.5, cy - 1.5, cx + 1.5, cy + 1.5), fill=WHITE)
    else:
        d.ellipse((cx - 6, cy - 6, cx + 6, cy + 6), fill=(40, 46, 54), outline=(92, 104, 116))
        d.ellipse((cx - 2, cy - 2, cx + 2, cy + 2), fill=(92, 104, 116))


def groove(d, box, state):
    """The track of a slider: a thin groove along the bottom of the strip, where the thumb's
    picture sits."""
    l, t, r, b = box
    dark = state == "disable"
    d.rectangle((l, b - 4, r - 1, b - 2), fill=(26, 29, 33) if dark else WELL)
    d.line((l + 1, b - 3, r - 2, b - 3), fill=EDGE_OFF if dark else (44, 70, 86))


def light_box(d, box, radius=2):
    """A light display box for values and numbers that the program writes in dark ink."""
    d.rounded_rectangle(inner(box), radius=radius, fill=STATUS_BG, outline=STATUS_EDGE)


def well_box(d, box, outline=EDGE):
    d.rectangle(inner(box), fill=WELL, outline=outline)


def plus_glyph(d, box, ink):
    cx, cy = (box[0] + box[2] - 1) / 2, (box[1] + box[3] - 1) / 2
    k = max(2, min(box[2] - box[0], box[3] - box[1]) // 4)
    d.line((cx - k, cy, cx + k, cy), fill=ink)
    d.line((cx, cy - k, cx, cy + k), fill=ink)


def minus_glyph(d, box, ink):
    cx, cy = (box[0] + box[2] - 1) / 2, (box[1] + box[3] - 1) / 2
    k = max(2, min(box[2] - box[0], box[3] - box[1]) // 4)
    d.line((cx - k, cy, cx + k, cy), fill=ink)


def arrow_glyph(up):
    def draw(d, box, ink):
        cx, cy = (box[0] + box[2] - 1) / 2, (box[1] + box[3] - 1) / 2
        k = max(2, min(box[2] - box[0], box[3] - box[1]) // 4)
        s = -1 if up else 1
        d.polygon([(cx - k, cy - s * k / 2), (cx + k, cy - s * k / 2), (cx, cy + s * k / 2)], fill=ink)
    return draw


def swatch_face(d, box, state, colour):
    """A colour swatch: the colour itself, framed; chosen swatches get a white frame and a tick."""
    frame = {"normal": EDGE, "over": ACCENT, "down": WHITE}[state]
    d.rectangle(inner(box), fill=WELL)
    d.rectangle(inner(grown(box, -3)), fill=colour)
    d.rectangle(inner(grown(box, -1)), outline=frame, width=1 if state == "normal" else 2)
    if state == "down":
        x, y = box[2] - 13, box[3] - 12
        d.ellipse((x, y, x + 9, y + 9), fill=WHITE)
        d.line([(x + 2, y + 4.5), (x + 4, y + 6.5), (x + 7, y + 2.5)], fill=(20, 20, 20), width=1)


def cross_glyph(d, box, ink):
    cx, cy = (box[0] + box[2] - 1) / 2, (box[1] + box[3] - 1) / 2
    k = max(2, min(box[2] - box[0], box[3] - box[1]) // 5)
    d.line((cx - k, cy - k, cx + k, cy + k), fill=ink, width=2)
    d.line((cx - k, cy + k, cx + k, cy - k), fill=ink, width=2)


def pen_glyph(d, box, ink):
    cx, cy = (box[0] + box[2] - 1) / 2, (box[1] + box[3] - 1) / 2
    k = max(3, min(box[2] - box[0], box[3] - box[1]) // 4)
    d.line((cx - k, cy + k, cx + k, cy - k), fill=ink, width=3)
    d.polygon([(cx - k - 1, cy + k + 1), (cx - k + 2, cy + k + 1), (cx - k - 1, cy + k - 2)], fill=ink)


def drop_glyph(d, box, ink):
    """A small arrow at the right end of a drop-down button."""
    x, cy = box[2] - 14, (box[1] + box[3] - 1) / 2
    d.polygon([(x, cy - 2), (x + 8, cy - 2), (x + 4, cy + 3)], fill=ink)
    d.line((x - 6, box[1] + 4, x - 6, box[3] - 5), fill=EDGE_HI)


def record_glyph(d, box, ink):
    """A red recording dot at the left end of a captioned button."""
    cy = (box[1] + box[3] - 1) / 2
    d.ellipse((box[0] + 7, cy - 5, box[0] + 17, cy + 5), fill=(220, 50, 50), outline=(255, 140, 140))


def switch_face(d, box, state, text="", size=12):
    """An on/off switch with its words: off on Normal and Over, on on Down."""
    h = box[3] - box[1]
    pill = (box[0] + 1, box[1] + 2, box[0] + 1 + 2 * h, box[3] - 2)
    on = state == "down"
    d.rounded_rectangle(inner(pill), radius=(pill[3] - pill[1]) // 2,
                        fill=ACCENT_DARK if on else WELL, outline=ACCENT if state != "normal" else EDGE_HI)
    r = (pill[3] - pill[1]) // 2 - 2
    cx = pill[2] - r - 3 if on else pill[0] + r + 2
    cy = (pill[1] + pill[3] - 1) / 2
    d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=WHITE if on else (150, 160, 170))
    ink = WHITE if state != "normal" else TEXT
    words(d, (pill[2] + 6, box[1], box[2] - 1, box[3]), text, ink, size, align="left")


def close_face(d, box, state):
    fill = {"over": CLOSE_HOT, "down": CLOSE_DOWN}.get(state)
    if fill:
        d.rectangle(inner(box), fill=fill)
    cx, cy = (box[0] + box[2] - 1) / 2, (box[1] + box[3] - 1) / 2
    k = min(box[2] - box[0], box[3] - box[1]) / 4
    ink = TEXT if state == "normal" else WHITE
    d.line((cx - k, cy - k, cx + k, cy + k), fill=ink, width=2)
    d.line((cx - k, cy + k, cx + k, cy - k), fill=ink, width=2)


# ---- element lists ---------------------------------------------------------------------------
@dataclass
class Element:
    """One element of a window sheet.

    kind: "button" (rectangle), "tab" (polygon), "window" (minimise/close glyph in words),
    "panel" (recessed area), "label" (words only), "frame" (thin outline), "check" and "choice"
    (a box or a dot with words), "marker" (a spot that lights up), "track" (a slider's groove),
    "spin" (a small button with a "+", "-", "up" or "down" glyph in words), "polygon" (a shaped
    button with its words), "face" (a captioned button whose caption the program draws),
    "swatch" (a colour swatch; words is the colour), "switch" (an on/off switch with words).
    "spin" glyphs also include "x", "pen", "drop" (a drop-down arrow) and "rec" (a red dot).
    shape: (l, t, r, b) or a list of points for polygons.
    words: {"en": ..., "zh": ...} or a plain string.
    """
    kind: str
    shape: object
    words: object = ""
    accent: bool = False
    style: str = "dark"
    size: int = 12
    name: str = ""             # the control's name, for previews and checks
    looks: tuple = ("over", "down")   # the states the control shows a face of its own in

    def text(self, lang):
        if isinstance(self.words, dict):
            return self.words.get(lang) or self.words.get("en", "")
        return self.words


def _poly(shape):
    if isinstance(shape, (list, tuple)) and shape and isinstance(shape[0], (list, tuple)):
        return [tuple(p) for p in shape]
    l, t, r, b = shape
    return [(l, t), (r, t), (r, b), (l, b)]


def _bbox(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs), max(ys)


def _draw_tab(d, e, box, pts, state, text):
    fill, outline, ink = face_colours("normal" if state == "disable" else state,
                                      "accent" if e.accent else "dark")
    d.polygon(pts, fill=fill, outline=outline)
    if state in ("over", "down"):
        l, t, r, b = box
        d.line((l + 6, b - 2, r - 6, b - 2), fill=ACCENT if state == "over" else LIGHT, width=2)
    size = 14 if box[3] - box[1] > 30 else 12
    words(d, grown(box, -4, -1), text, ink, size, bold=True)


def _draw_window(d, e, box, pts, state, text):
    if text == "close":
        close_face(d, box, state)
        return
    fill = {"over": BG_HI, "down": ACCENT_DARK}.get(state, BG)
    d.rectangle(box, fill=fill)
    cx, cy = (box[0] + box[2]) / 2, (box[1] + box[3]) / 2
    col = TEXT if state == "normal" else WHITE
    d.line((cx - 7, cy + 4, cx + 7, cy + 4), fill=col, width=2)


_GLYPHS = {"+": plus_glyph, "-": minus_glyph, "up": arrow_glyph(True), "down": arrow_glyph(False),
           "x": cross_glyph, "pen": pen_glyph, "drop": drop_glyph, "rec": record_glyph}

_DRAWERS = {
    "panel": lambda d, e, box, pts, state, text: d.rectangle(box, fill=PANEL, outline=EDGE),
    "frame": lambda d, e, box, pts, state, text: d.rectangle(box, outline=EDGE),
    "label": lambda d, e, box, pts, state, text: words(d, box, text, TEXT_DIM, e.size),
    "window": _draw_window,
    "tab": _draw_tab,
    "button": lambda d, e, box, pts, state, text: button_face(
        d, box, state, text, "accent" if e.accent else e.style, e.size),
    "face": lambda d, e, box, pts, state, text: button_face(d, box, state, "", e.style),
    "spin": lambda d, e, box, pts, state, text: button_face(
        d, box, state, "", e.style, radius=2, glyph=_GLYPHS[e.words]),
    "check": lambda d, e, box, pts, state, text: check_face(d, box, state, text, e.size,
                                                           style=e.style),
    "choice": lambda d, e, box, pts, state, text: check_face(d, box, state, text, e.size,
                                                            round_mark=True, style=e.style),
    "marker": lambda d, e, box, pts, state, text: marker_face(d, box, state),
    "track": lambda d, e, box, pts, state, text: groove(d, box, state),
    "polygon": lambda d, e, box, pts, state, text: polygon_face(d, pts, state, text, e.size),
    "swatch": lambda d, e, box, pts, state, colour: swatch_face(d, box, state, colour),
    "switch": lambda d, e, box, pts, state, text: switch_face(d, box, state, text, e.size),
}


_FACES = {}


def register_face(kind, face):
    """Adds an element kind drawn by face(img, box, state, words) (words: the element's words in
    the layout's language, or whatever value the element carries)."""
    _FACES[kind] = face


def draw_element(img, e, state, lang):
    pts = _poly(e.shape)
    if e.kind in _FACES:
        _FACES[e.kind](img, _bbox(pts), state, e.text(lang))
        return
    _DRAWERS[e.kind](ImageDraw.Draw(img), e, _bbox(pts), pts, state, e.text(lang))


def draw_sheets(size, elements, lang="en", background=None, shape="rounded", states=STATES[:3],
                radius=14, keep=()):
    """Returns {state: picture} of a window: the background (a callable drawing onto the
    picture) with every element in that state. Pixels outside `shape` get the key colour:
    "rounded" gives rounded corners, a list of points a polygon, None a plain rectangle; the
    rectangles in `keep` (controls in a corner) stay inside."""
    w, h = size
    out = {}
    for state in states:
        img = Image.new("RGB", size, BG)
        vgradient(img, (0, 0, w, h), (30, 34, 40), (18, 20, 24))
        if background:
            background(img, lang)
        for e in elements:
            draw_element(img, e, state, lang)
        if shape is not None:
            mask = Image.new("L", size, 0)
            md = ImageDraw.Draw(mask)
            if shape == "rounded":
                md.rounded_rectangle((0, 0, w - 1, h - 1), radius=radius, fill=255)
            else:
                md.polygon(shape, fill=255)
            for box in keep:
                md.rectangle(inner(box), fill=255)
            keyed = Image.new("RGB", size, KEY)
            keyed.paste(img, (0, 0), mask)
            img = keyed
        out[state] = img
    return out


# ---- pages -----------------------------------------------------------------------------------
PAGE_SIZE = (925, 457)         # every page fills the main window's page area


def page_background(img):
    """The surface of every page, a shade lighter at the top; returns a drawing context."""
    vgradient(img, (0, 0) + img.size, mix(PANEL, WHITE, 0.02), (24, 27, 32))
    return ImageDraw.Draw(img)


def heading(d, x, y, text, right):
    """A section title in the accent colour with a thin rule after it."""
    words(d, (x, y, right, y + 14), text, ACCENT, 11, bold=True, align="left")
    d.line((x, y + 17, right, y + 17), fill=EDGE)


def card(d, box):
    """A raised area grouping related controls."""
    d.rounded_rectangle(inner(box), radius=6, fill=CARD, outline=EDGE)


def in_layout(table, layout):
    """{key: words} of a layout from a table {key: {layout: words}}."""
    return {k: v[layout] for k, v in table.items()}


def write_layouts(skins, size, folders, files, elements, background):
    """Draws a window's sheets in each layout (folders: layout -> folder under skins) and writes
    them under their file names (files: state -> name); returns {layout: {state: picture}}."""
    out = {}
    for layout, folder in folders.items():
        sheets = draw_sheets(size, elements(layout), layout, background=background, shape=None,
                             states=tuple(files))
        save_sheets(sheets, os.path.join(skins, folder), files)
        out[layout] = sheets
    return out


# ---- files -----------------------------------------------------------------------------------
def save_bmp(img, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.convert("RGB").save(path, format="BMP")


def save_png(img, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, format="PNG")


def save_sheets(sheets, folder, names):
    """Writes each state's sheet under its file name: names maps state -> file name."""
    for state, name in names.items():
        save_bmp(sheets[state], os.path.join(folder, name))


def smooth_outline(points, rounds=3):
    """Rounds the corners of a closed outline (Chaikin's corner cutting)."""
    pts = list(points)
    for _ in range(rounds):
        out = []
        for i, p in enumerate(pts):
            q = pts[(i + 1) % len(pts)]
            out.append((0.75 * p[0] + 0.25 * q[0], 0.75 * p[1] + 0.25 * q[1]))
            out.append((0.25 * p[0] + 0.75 * q[0], 0.25 * p[1] + 0.75 * q[1]))
        pts = out
    return pts


def mirrored(half, axis_x):
    """A closed outline from its left half (top to bottom), mirrored about x = axis_x."""
    return list(half) + [(2 * axis_x - x, y) for x, y in reversed(half)]


def polar(cx, cy, r, degrees):
    a = math.radians(degrees)
    return cx + r * math.cos(a), cy + r * math.sin(a)
