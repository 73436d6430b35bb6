#include "app/main_layout.h"

#include <algorithm>

#include "base/utf.h"
#include "config/profile_data.h"
#include "lang/button_names.h"
#include "lang/language_table.h"

namespace q350::app {

using lang::StringId;

Rect BoundingBox(const Polygon& shape) {
    Rect r{shape[0].x, shape[0].y, shape[0].x, shape[0].y};
    for (const Point& p : shape) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return r;
}

namespace {
constexpr int kTabToPage[kPageCount] = {0, 1, 3, 2, 4};
}

int PageIndexOfTab(int tab) {
    return tab >= 0 && tab < kPageCount ? kTabToPage[tab] : -1;
}

int TabOfPageIndex(int index) {
    for (int tab = 0; tab < kPageCount; ++tab) {
        if (kTabToPage[tab] == index) {
            return tab;
        }
    }
    return -1;
}

bool TabRefreshesPages(int tab) {
    return tab == 0 || tab == 1;
}

Point CentredOrigin(int areaWidth, int areaHeight, int width, int height) {
    return {(areaWidth - width) / 2, (areaHeight - height) / 2};
}

Rect LanguageMenuRect(const Rect& b) {
    constexpr int kMenuLeftMargin = 4;
    constexpr int kMenuHeight = 287;
    return {b.left - kMenuLeftMargin, b.bottom - kMenuHeight, b.right, b.bottom};
}

std::optional<int> HintAt(Point p, std::span<const HintArea> areas) {
    for (const HintArea& a : areas) {
        if (a.rect.inflated(1).contains(p)) {
            return a.hint;
        }
    }
    return std::nullopt;
}

std::optional<StringId> HintStringId(int hint) {
    struct Entry {
        int hint;
        StringId id;
    };
    static constexpr Entry kTable[] = {
        {0, StringId::str_profile1},
        {1, StringId::str_profile2},
        {2, StringId::str_profile3},
        {3, StringId::str_profile4},
        {4, StringId::str_profile5},
        {5, StringId::str_ok},
        {6, StringId::str_main},
        {7, StringId::str_led_title},
        {8, StringId::str_macro_manager},
        {9, StringId::str_sts},
        {10, StringId::str_about},
        {11, StringId::str_rollingrate},
        {12, StringId::str_dpiwant},
        {13, StringId::str_sheight},
        {14, StringId::str_rollerColumn},
        {15, StringId::str_xyindependent},
        {23, StringId::str_mode_office},
        {24, StringId::str_mode_MOBA},
        {25, StringId::str_mode_FPS},
        {26, StringId::str_led_preSet},
        {27, StringId::str_led_diySet},
        {28, StringId::str_led_off},
        {29, StringId::str_led_brealways},
        {30, StringId::str_led_norbre},
        {31, StringId::str_led_apmbre},
        {32, StringId::str_ledspe},
        {33, StringId::str_new_macro},
        {34, StringId::str_del_macro},
        {35, StringId::str_macro_new},
        {36, StringId::str_macro_del},
        {37, StringId::str_macro_modify},
        {38, StringId::str_macro_start},
        {39, StringId::str_macro_delay},
        {40, StringId::str_macro_loop},
        {41, StringId::str_macro_msg6},
        {42, StringId::str_macro_msg7},
        {43, StringId::str_click},
        {44, StringId::str_middle},
        {45, StringId::str_menu},
        {46, StringId::str_resetSts},
        {47, StringId::str_cups},
        {48, StringId::str_update},
        {49, StringId::str_quorvWeb},
        {50, StringId::str_defaultname},
        {60, StringId::str_rollerScreen},
        {61, StringId::str_mouseSpeed},
        {62, StringId::str_improveAccuracy},
        {63, StringId::str_doubleClick_speed},
        {64, StringId::str_doubleClick_test},
        {65, StringId::str_dpititle},
        {70, StringId::str_led_backgroundEffect},
        {71, StringId::str_led_rollerEffect},
        {72, StringId::str_led_body_on},
        {73, StringId::str_led_body_off},
        {74, StringId::str_led_brightness},
        {75, StringId::str_led_frequency},
        {80, StringId::str_macro_switchOnOff},
        {81, StringId::str_macro_pressedPlay},
        {90, StringId::str_importFile},
        {91, StringId::str_exportFile},
    };
    for (const Entry& e : kTable) {
        if (e.hint == hint) {
            return e.id;
        }
    }
    return std::nullopt;
}

std::u16string HintText(int hint, ProfileData* profile, int mode, bool chinese) {
    if (const int button = lang::ButtonOfLabelHint(hint); button >= 0) {
        if (profile == nullptr || mode < 0 || mode >= kModeCount) {
            return {};
        }
        lang::TranslateProfileButtonLabel(*profile, mode, button, chinese);
        return FieldText(profile->buttons[mode][button].label, kTextChars);
    }
    if (const auto id = HintStringId(hint)) {
        return lang::Str(*id);
    }
    return {};
}

}  // namespace q350::app
