"""The skinned windows whose sheets the generator draws: their files, sizes and controls, for
the previews and the checks."""
import os
from dataclasses import dataclass
from typing import Callable

import led_page
import macro_page
import mouse_page
import setting_panel
import stats_page
import support_page


@dataclass
class Window:
    name: str
    size: tuple
    folders: dict            # layout -> folder under skins\ ("" for skins\ itself)
    names: dict              # state -> file name
    controls: Callable       # layout -> [(name, rectangle or polygon)]
    shaped: bool = False     # pixels outside the window carry the key colour
    columns: int = 2
    elements: Callable = lambda layout: []   # layout -> the controls drawn in each state
    texts: Callable = lambda layout: []      # layout -> where the program writes its own texts

    @property
    def layouts(self):
        return list(self.folders)

    def files(self, layout):
        """state -> path relative to skins\\ (with forward slashes)."""
        folder = self.folders[layout]
        return {s: os.path.join(folder, n) if folder else n for s, n in self.names.items()}


WINDOWS = [
    Window("mouse-page", mouse_page.PAGE_SIZE, mouse_page.LAYOUT_FOLDERS, mouse_page.FILES,
           mouse_page.controls, elements=mouse_page.elements,
           texts=lambda layout: [b for pair in mouse_page.DPI_VALUES for b in pair] + [mouse_page.LINES_BOX[layout]]),
    Window("led-page", led_page.PAGE_SIZE, led_page.LAYOUT_FOLDERS, led_page.FILES, led_page.controls,
           columns=3, elements=led_page.elements),
    Window("macro-page", macro_page.PAGE_SIZE, macro_page.LAYOUT_FOLDERS, macro_page.FILES,
           macro_page.controls, columns=3, elements=macro_page.elements),
    Window("statistics-page", stats_page.PAGE_SIZE, stats_page.LAYOUT_FOLDERS, stats_page.FILES,
           stats_page.controls, columns=3, elements=stats_page.elements,
           texts=lambda layout: stats_page.NUMBERS[layout]),
    Window("support-page", support_page.PAGE_SIZE, support_page.LAYOUT_FOLDERS, support_page.FILES,
           support_page.controls, columns=3, elements=support_page.elements,
           texts=lambda layout: [(x, y, x + 60, y + 16) for x, y in (support_page.SOFTWARE_VERSION,
                                                                    support_page.FIRMWARE_VERSION)]),
    Window("setting-panel", setting_panel.PANEL_SIZE, {"en": setting_panel.PANEL_FOLDER},
           setting_panel.PANEL_FILES, setting_panel.panel_controls, shaped=True, columns=3,
           elements=lambda layout: setting_panel.panel_elements(),
           texts=lambda layout: setting_panel.PANEL_TEXTS),
] + [Window(f"{folder}-sub-panel", setting_panel.SUB_SIZE, {"en": folder}, setting_panel.sub_files(stem),
            controls, columns=3, elements=lambda layout, e=elements: e(),
            texts=lambda layout, f=folder: setting_panel.SUB_PANEL_TEXTS.get(f, []))
     for folder, (stem, _, elements, controls) in setting_panel.SUB_PANELS.items()]
