#include "config/profile_data.h"

#include <algorithm>

#include "base/utf.h"
#include "config/key_tables.h"

namespace q350 {

const std::int32_t kDefaultButtonCodes[kModeCount][kButtonCount] = {
    {1, 2, 4, 11, 22, 145, 146, 16, 8, 147, 148, 149, 66, 65},    // office
    {1, 2, 4, 11, 22, 142, 146, 16, 8, 150, 151, 152, 138, 141},  // MOBA
    {1, 2, 4, 11, 22, 143, 146, 16, 8, 150, 151, 152, 138, 141},  // FPS
};

const std::int32_t kDefaultDpi[kModeCount][kDpiLevels] = {
    {10, 16, 18, 24},
    {8, 16, 24, 64},
    {4, 8, 16, 24},
};

namespace {

// Colour of both zones per mode, 0x00BBGGRR.
constexpr std::uint32_t kDefaultColor[kModeCount] = {0x000000FF, 0x00FFFF00, 0x00FF00FF};

}  // namespace

void BuildDefaults(ProfileData& p, bool chinese) {
    ZeroRecord(p);
    p.magic = kProfileMagic;
    for (int m = 0; m < kModeCount; ++m) {
        for (int k = 0; k < kButtonCount; ++k) {
            ButtonAssignment& b = p.buttons[m][k];
            b.function = kDefaultButtonCodes[m][k];
            SetField(b.label, kTextChars, FunctionName(b.function, chinese));
        }
        for (int level = 0; level < kDpiLevels; ++level) {
            p.dpiX[m][level] = kDefaultDpi[m][level];
            p.dpiX[m][kDpiLevelSlotFirst + level] = kDefaultDpi[m][level];
            p.dpiY[m][level] = kDefaultDpi[m][level];
            p.dpiY[m][kDpiLevelSlotFirst + level] = kDefaultDpi[m][level];
            p.dpiLevelOn[m][level] = 1;
        }
        p.dpiListMode[m] = 1;
        p.xyIndependent[m] = 0;
        p.dpiTopLevel[m] = 3;
        p.liftHeight[m] = 16;
        p.reportRate[m] = 8;
        p.pointerSpeed[m] = 10;
        p.scrollLines[m] = 3;
        p.enhancePrecision[m] = 1;
        p.doubleClickSpeed[m] = 5;
        p.ledZoneSel[m] = 1;
        p.proximitySensing[m] = 1;
        for (int z = 0; z < kZoneCount; ++z) {
            p.ledColor[z][m] = kDefaultColor[m];
            p.ledSwatch[z][m] = 0;
            p.ledEffect[z][m] = 4;
            p.ledSpeed[z][m] = 3;
            p.ledBrightness[z][m] = 5;
        }
    }
}

std::u16string AutoPathOf(const ProfileSlot& slot) {
    const std::u16string_view all(slot.autoPath, kAutoPathChars);
    const std::size_t end = all.find(u'\0');
    return end == std::u16string_view::npos ? std::u16string() : std::u16string(all.substr(0, end));
}

std::u16string AutoSwitchProgram(const ProfileSlot& slot) {
    return slot.autoSwitch == kAutoSwitchOn ? AutoPathOf(slot) : std::u16string();
}

bool SetAutoSwitch(ProfileSlot& slot, std::u16string_view path, bool on) {
    if (path.size() >= kAutoPathChars || path.find(u'\0') != std::u16string_view::npos) {
        return false;
    }
    std::fill(std::begin(slot.autoPath), std::end(slot.autoPath), u'\0');
    std::copy(path.begin(), path.end(), slot.autoPath);
    slot.autoSwitch = on ? kAutoSwitchOn : 0;
    return true;
}

}  // namespace q350
