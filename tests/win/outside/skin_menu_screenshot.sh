#!/usr/bin/env bash
# The group menu of SkinMenu.dll on the screen, with a sub-menu open: the test program holds it
# open, a screenshot of it is saved to BUILD/screenshots/skin_menu.png, and the picture shows the
# row pictures and texts (not blank or plain rows).
set -euo pipefail
tests=${1:?skin_menu_win_tests.exe}
run=${Q350_WINE_RUN:?}
. "$Q350_WINE_TOOLS/common.sh"
q350_wine_paths "$Q350_BUILD_DIR"
. "$Q350_SESSION_FILE"
export DISPLAY

out="$Q350_BUILD_DIR/screenshots/skin_menu.png"
ready="$Q350_BUILD_DIR/test-work/skin_menu.ready"
mkdir -p "$(dirname "$out")" "$(dirname "$ready")"
rm -f "$out" "$ready"
Q350_SKIN_MENU_READY="Z:$ready" "$run" "$tests" --gtest_also_run_disabled_tests \
  --gtest_filter='*HoldsAMenuOpenForAScreenshot' &
pid=$!
for _ in $(seq 1 100); do
  [ -s "$ready" ] && break
  sleep 0.2
done
status=0
if [ -s "$ready" ]; then
  read -r x y w h < <(tr -d '\r' <"$ready")
  import -window root -crop "$((w + 16))x$((h + 16))+$((x - 8))+$((y - 8))" +repage "$out" || status=$?
else
  status=1
fi
wait "$pid" || true
[ "$status" -eq 0 ] || { echo "FAIL: no menu on the screen"; exit 1; }
# The rows carry the normal picture's fill, one lit row the over picture's, and text on them.
/usr/bin/python3 - "$out" "$Q350_BUILD_DIR/bin/skins/Menu" <<'PY'
import sys
from PIL import Image
img = Image.open(sys.argv[1]).convert("RGB")
def mid(name):
    pic = Image.open(sys.argv[2] + "/" + name).convert("RGB")
    return pic.getpixel((1, pic.size[1] // 2))
normal = mid("MenuNorL.BMP")
over = mid("MenuOverL.BMP")
colours = dict((c, n) for n, c in img.getcolors(1 << 20))
total = img.size[0] * img.size[1]
print(f"skin menu screenshot {img.size[0]}x{img.size[1]}, {len(colours)} colours, "
      f"normal {colours.get(normal, 0)}, over {colours.get(over, 0)}")
if colours.get(normal, 0) < total // 4 or colours.get(over, 0) < 500 or len(colours) < 20:
    sys.exit("FAIL: the screenshot does not show the skinned menu")
PY
