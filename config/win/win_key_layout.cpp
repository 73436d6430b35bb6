#include "config/win/win_key_layout.h"

#include <windows.h>

namespace q350 {

unsigned WinKeyLayout::character(int virtualKey) const {
    if (virtualKey < 0 || virtualKey > 0xFF) {
        return 0;
    }
    const UINT vk = static_cast<UINT>(virtualKey);
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    BYTE state[256] = {};
    WORD chars[2] = {};
    const int n = ToAscii(vk, scan, state, chars, 0);
    if (n < 0) {
        // A dead key: it gave its spacing accent, and left the layout waiting for the next key.
        // Feed it a space so that later translations are not combined with the accent.
        WORD flush[2] = {};
        ToAscii(VK_SPACE, MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC), state, flush, 0);
    }
    return n == 0 ? 0u : static_cast<unsigned>(chars[0]);
}

}  // namespace q350
