#include "pages/led_page_layout.h"

namespace q350::pages {

const LedLayout& LedLayoutOf(bool chineseLayout) {
    return chineseLayout ? kLedLayoutChinese : kLedLayoutOther;
}

Rect SwatchRect(int k) {
    const int row = k / kSwatchColumns;
    const int column = k % kSwatchColumns;
    const int shift = column > 3 ? 1 : 0;
    return {252 + 40 * column - shift, 243 + 41 * row, 288 + 40 * column - shift, 278 + 41 * row};
}

bool OnWheel(Point p) {
    // Inside the ellipse: ((x - cx) / rx)^2 + ((y - cy) / ry)^2 <= 1, in integers scaled by 4 so
    // that the half-pixel centre stays exact.
    const long long w = kWheelBox.right - kWheelBox.left;
    const long long h = kWheelBox.bottom - kWheelBox.top;
    const long long dx = 2LL * p.x - (kWheelBox.left + kWheelBox.right);
    const long long dy = 2LL * p.y - (kWheelBox.top + kWheelBox.bottom);
    return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
}

std::vector<HintArea> LedHintAreas(const LedLayout& l) {
    std::vector<HintArea> areas;
    for (int z = 0; z < kLedZones; ++z) {
        areas.push_back({l.zones[static_cast<std::size_t>(z)], kHintZoneFirst + z});
    }
    areas.push_back({l.proximity[0], kHintProximityOn});
    areas.push_back({l.proximity[1], kHintProximityOff});
    areas.push_back({l.brightness, kHintBrightness});
    areas.push_back({l.speed, kHintSpeed});
    for (int m = 0; m < kLedPageModes; ++m) {
        areas.push_back({kLedModeRects[static_cast<std::size_t>(m)], kHintLedModeFirst + m});
    }
    for (int k = 0; k < kSwatchCount; ++k) {
        areas.push_back({SwatchRect(k), kHintSwatch});
    }
    areas.push_back({kCurrentColourRect, kHintOwnColour});
    for (int c : {0, 2, 1}) {  // red, blue, green
        areas.push_back({l.rgbSliders[static_cast<std::size_t>(c)], kHintOwnColour});
    }
    areas.push_back({kHelpBand, kHintOwnColour});
    for (int n = 0; n < kEffectCount; ++n) {
        areas.push_back({l.effects[static_cast<std::size_t>(n)], kHintEffectFirst + n});
    }
    return areas;
}

}  // namespace q350::pages
