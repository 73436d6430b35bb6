#!/usr/bin/env bash
# skindemo.exe under Wine: the demo window appears, a screenshot of it is saved to
# BUILD/test-work/skin/skindemo.png, and the picture shows the skin (not a blank window).
set -euo pipefail
demo=${1:?skindemo.exe}
run=${Q350_WINE_RUN:?}
. "$Q350_WINE_TOOLS/common.sh"
q350_wine_paths "$Q350_BUILD_DIR"
. "$Q350_SESSION_FILE"
export DISPLAY

out="$Q350_BUILD_DIR/test-work/skin/skindemo.png"
rm -f "$out"
mkdir -p "$(dirname "$out")"
"$run" "$demo" /autoclose &
pid=$!
status=0
Q350_SCREENSHOT_SETTLE=3 bash "$Q350_WINE_TOOLS/screenshot.sh" "Q350 Skin Demo" "$out" 40 || status=$?
wait "$pid" || true
[ "$status" -eq 0 ] || { echo "FAIL: no demo window"; exit 1; }
# The window is 960 x 650 and shows many colours (the sheets, controls and pictures).
/usr/bin/python3 - "$out" <<'PY'
import sys
from PIL import Image
img = Image.open(sys.argv[1]).convert("RGB")
w, h = img.size
colours = len(img.getcolors(1 << 20) or [])
print(f"skindemo screenshot {w}x{h}, {colours} colours")
if (w, h) != (960, 650) or colours < 200:
    sys.exit("FAIL: the screenshot does not look like the skinned demo")
PY
