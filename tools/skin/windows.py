"""The skinned windows whose sheets the generator draws: their files, sizes and controls, for
the previews and the checks."""
import os
from dataclasses import dataclass
from typing import Callable

import mouse_page


@dataclass
class Window:
    name: str
    size: tuple
    folders: dict            # layout -> folder under skins\ ("" for skins\ itself)
    names: dict              # state -> file name
    controls: Callable       # layout -> [(name, rectangle or polygon)]
    shaped: bool = False     # pixels outside the window carry the key colour
    columns: int = 2

    @property
    def layouts(self):
        return list(self.folders)

    def files(self, layout):
        """state -> path relative to skins\\ (with forward slashes)."""
        folder = self.folders[layout]
        return {s: os.path.join(folder, n) if folder else n for s, n in self.names.items()}


WINDOWS = [
    Window("mouse-page", mouse_page.PAGE_SIZE, mouse_page.LAYOUT_FOLDERS, mouse_page.FILES,
           mouse_page.controls),
]
