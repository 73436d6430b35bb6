#!/usr/bin/python3
"""Contact sheets of the drawn skin for a person to look at: every state of a window side by
side, each control's rectangle (or polygon) outlined in a debug colour, and a 3x enlargement of
chosen corners.

    preview_skin.py BIN_DIR OUT_DIR
"""
import os
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import mouse_page  # noqa: E402
import setting_panel  # noqa: E402
import windows  # noqa: E402
from skin_draw import font, words  # noqa: E402

DEBUG = (0, 255, 80)


def outline(img, shapes, offset=(0, 0)):
    d = ImageDraw.Draw(img)
    ox, oy = offset
    for name, shape in shapes:
        if isinstance(shape[0], (list, tuple)):
            d.polygon([(x + ox, y + oy) for x, y in shape], outline=DEBUG)
        else:
            l, t, r, b = shape
            d.rectangle((l + ox, t + oy, r - 1 + ox, b - 1 + oy), outline=DEBUG)


def contact_sheet(pictures, shapes, columns=2, scale=1):
    """pictures: [(caption, image)]; the rectangles are outlined on a copy of each."""
    w, h = pictures[0][1].size
    w, h = w * scale, h * scale
    rows = (len(pictures) + columns - 1) // columns
    sheet = Image.new("RGB", (columns * (w + 10) + 10, rows * (h + 30) + 10), (90, 90, 90))
    d = ImageDraw.Draw(sheet)
    for i, (caption, img) in enumerate(pictures):
        x = 10 + (i % columns) * (w + 10)
        y = 10 + (i // columns) * (h + 30)
        d.text((x, y), caption, fill=(255, 255, 255), font=font(14, bold=True))
        shown = img.convert("RGB").copy()
        if shapes:
            outline(shown, shapes)
        if scale != 1:
            shown = shown.resize((w, h), Image.NEAREST)
        sheet.paste(shown, (x, y + 20))
    return sheet


def mock_texts(img, texts):
    """Writes texts as the program would: (rectangle, text, colour, align)."""
    d = ImageDraw.Draw(img)
    for box, text, colour, align in texts:
        words(d, box, text, colour, 11, align=align)


def mocks(bin_dir):
    """What a person sees: the sheets with the texts that the program writes itself, and the
    setting panel with one sub-panel in place."""
    skins = os.path.join(bin_dir, "skins")
    out = []
    for layout, folder in mouse_page.LAYOUT_FOLDERS.items():
        page = Image.open(os.path.join(skins, folder, mouse_page.FILES["normal"])).convert("RGB")
        values = [(box, str(v), (88, 99, 105), "centre")
                  for (x, y), v in zip(mouse_page.DPI_VALUES, (1000, 1600, 1800, 2400))
                  for box in (x, y)]
        values.append((mouse_page.LINES_BOX[layout], "3", (88, 95, 103), "centre"))
        mock_texts(page, values)
        with Image.open(os.path.join(skins, "Slider.png")) as thumb:
            thumb = thumb.convert("RGBA")
            for i, (name, (l, t, r, b)) in enumerate(mouse_page.controls(layout)):
                if "slider" in name:  # thumbs somewhere along their tracks, as the program places them
                    x = l + (r - l - thumb.size[0]) * (i % 7 + 1) // 8
                    page.paste(thumb, (x, b - thumb.size[1]), thumb)
        out.append((f"mouse-page-{layout}", page))
    zh = {"title": "按键设定面板", "current": "当前功能: 单击", "tabs": ["组合键", "宏设置", "基本功能", "高级功能"],
          "ok": "确定", "restore": "恢复默认", "disable": "禁用按键", "browse": "浏览"}
    en = {"title": "Key setting panel", "current": "Current function: Click",
          "tabs": ["Singlecomb", "Macro Set", "Base", "Advanced"], "ok": "OK", "restore": "Restore",
          "disable": "Disable key", "browse": "Browse"}
    for lang, t in (("en", en), ("zh", zh)):
        for sub, stem in (("combo", "Combo"), ("advanced", "Advanced")):
            sp = setting_panel
            panel = Image.open(os.path.join(skins, sp.PANEL_FOLDER, sp.PANEL_FILES["normal"])).convert("RGB")
            tab_down = Image.open(os.path.join(skins, sp.PANEL_FOLDER, sp.PANEL_FILES["down"]))
            chosen = sp.TABS[0] if sub == "combo" else sp.TABS[3]
            panel.paste(tab_down.crop(chosen), chosen[:2])
            inside = Image.open(os.path.join(skins, sub, f"{stem}_Normal.bmp")).convert("RGB")
            if sub == "combo":
                mock_texts(inside, [(sp.KEY_NAME, "Ctrl + C", (23, 148, 195), "centre")])
            else:
                labels = ["Play a sound", "Run a program", "Open a file", "Open a folder"]
                mock_texts(inside, [(row[1], label, (88, 95, 105), "left")
                                    for row, label in zip(sp.ADVANCED_ROWS, labels)])
                light = (189, 189, 200)
                mock_texts(inside, [(row[3], t["browse"], light, "centre") for row in sp.ADVANCED_ROWS])
                mock_texts(inside, [(sp.ADVANCED_ROWS[1][2], "C:\\Games\\game.exe", light, "centre")])
            panel.paste(inside, sp.SUB_PANEL_AREA[:2])
            texts = [(sp.TITLE, t["title"], (88, 95, 105), "centre"),
                     (sp.CURRENT_FUNCTION, t["current"], (189, 189, 200), "left"),
                     (sp.DISABLE_TEXT, t["disable"], (189, 189, 200), "left"),
                     (sp.OK, t["ok"], (189, 189, 200), "centre"),
                     (sp.RESTORE, t["restore"], (189, 189, 200), "centre")]
            for i, (box, tab) in enumerate(zip(sp.TABS, t["tabs"])):
                texts.append((box, tab, (255, 255, 255) if box == chosen else (83, 97, 103), "centre"))
            mock_texts(panel, texts)
            out.append((f"setting-panel-{sub}-{lang}", panel))
    return out


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: preview_skin.py BIN_DIR OUT_DIR")
    bin_dir, out = sys.argv[1:]
    os.makedirs(out, exist_ok=True)
    for w in windows.WINDOWS:
        for layout in w.layouts:
            pictures = []
            for state, path in w.files(layout).items():
                pictures.append((f"{state}: {os.path.basename(path)}",
                                 Image.open(os.path.join(bin_dir, "skins", path))))
            scale = 2 if pictures[0][1].size[0] < 500 else 1
            plain = contact_sheet(pictures, [], w.columns, scale)
            plain.save(os.path.join(out, f"{w.name}-{layout}.png"))
            marked = contact_sheet(pictures, w.controls(layout), w.columns, scale)
            marked.save(os.path.join(out, f"{w.name}-{layout}-rects.png"))
    for name, img in mocks(bin_dir):
        scale = 2 if img.size[0] < 500 else 1
        img.resize((img.size[0] * scale, img.size[1] * scale), Image.NEAREST).save(
            os.path.join(out, f"mock-{name}.png"))
    print("previews in", out)


if __name__ == "__main__":
    main()
