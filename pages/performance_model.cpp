#include "pages/performance_model.h"

#include <algorithm>

namespace q350::pages {

namespace {
constexpr std::int32_t kRates[4] = {8, 4, 2, 1};

int Count(const std::array<bool, kPresetCount>& ticked) {
    return static_cast<int>(std::count(ticked.begin(), ticked.end(), true));
}
}  // namespace

int PerformanceModel::BoundedTopLevel(std::int32_t stored) {
    return std::clamp(stored, 0, kDpiLevels - 1);
}

std::array<bool, kPresetCount> PerformanceModel::tickedPresets() {
    // Every preset whose value is one of the levels in use. A stored top level outside 0..3 (a
    // file from elsewhere) is bounded, so no slot beyond the levels is read.
    std::array<bool, kPresetCount> ticked{};
    const int top = BoundedTopLevel(p().dpiTopLevel[m()]);
    for (int j = 0; j < kPresetCount; ++j) {
        for (int a = 0; a <= top; ++a) {
            if (p().dpiX[m()][a] == kDpiPresets[static_cast<std::size_t>(j)]) {
                ticked[static_cast<std::size_t>(j)] = true;
            }
        }
    }
    if (Count(ticked) > kMaxTicked) {
        // Duplicates cannot tick more than four; keep the first four.
        int seen = 0;
        for (bool& t : ticked) {
            if (t && ++seen > kMaxTicked) {
                t = false;
            }
        }
    }
    return ticked;
}

PerformanceView PerformanceModel::show() {
    const int mode = m();
    ProfileData& r = p();
    PerformanceView v;
    for (int k = 0; k < 4; ++k) {
        if (r.reportRate[mode] == kRates[k]) {
            v.reportRateButton = k;
        }
    }
    v.xySeparate = r.xyIndependent[mode] != 0;
    v.precision = r.enhancePrecision[mode] != 0;
    v.presetForm = r.dpiListMode[mode] == 1;
    for (int l = 0; l < kDpiLevels; ++l) {
        v.sliderX[static_cast<std::size_t>(l)] = r.dpiX[mode][kDpiLevelSlotFirst + l];
        v.sliderY[static_cast<std::size_t>(l)] = r.dpiY[mode][kDpiLevelSlotFirst + l];
        v.levelOn[static_cast<std::size_t>(l)] = r.dpiLevelOn[mode][l] != 0;
    }
    lift_ = std::clamp(r.liftHeight[mode], 0, kLiftMax);
    v.lift = lift_;
    v.pointerSpeed = r.pointerSpeed[mode];
    v.doubleClick = r.doubleClickSpeed[mode];
    v.screenChoice = r.scrollLines[mode] == kScrollOneScreen;
    if (!v.screenChoice) {
        lines_ = std::clamp(r.scrollLines[mode], 0, kLinesMax);
    }
    v.lines = lines_;
    ticked_ = tickedPresets();
    v.presetTicked = ticked_;
    return v;
}

void PerformanceModel::recount() {
    ProfileData& r = p();
    const int mode = m();
    if (r.dpiListMode[mode] == 1) {
        int a = 0;
        for (int j = 0; j < kPresetCount; ++j) {
            if (ticked_[static_cast<std::size_t>(j)]) {
                r.dpiX[mode][a] = kDpiPresets[static_cast<std::size_t>(j)];
                r.dpiY[mode][a] = kDpiPresets[static_cast<std::size_t>(j)];
                ++a;
            }
        }
        r.dpiTopLevel[mode] = BoundedTopLevel(a - 1);
    } else {
        int on = 0;
        for (int l = 0; l < kDpiLevels; ++l) {
            on += r.dpiLevelOn[mode][l] != 0 ? 1 : 0;
        }
        r.dpiTopLevel[mode] = BoundedTopLevel(on - 1);
    }
}

bool PerformanceModel::clickPreset(int j) {
    if (j < 0 || j >= kPresetCount) {
        return false;
    }
    bool& t = ticked_[static_cast<std::size_t>(j)];
    const int c = Count(ticked_);
    if (t && c > 1) {
        t = false;
    } else if (!t && c < kMaxTicked) {
        t = true;
    } else {
        return false;
    }
    recount();
    return true;
}

bool PerformanceModel::clickLevel(int j) {
    if (j < 0 || j >= kDpiLevels) {
        return false;
    }
    std::int32_t* on = p().dpiLevelOn[m()];
    int c = 0;
    for (int l = 0; l < kDpiLevels; ++l) {
        c += on[l] != 0 ? 1 : 0;
    }
    if (on[j] == 0 && c < kDpiLevels) {
        on[j] = 1;
    } else if (on[j] != 0 && c > 1) {
        on[j] = 0;
    } else {
        return false;
    }
    recount();
    return true;
}

void PerformanceModel::chooseForm(bool presetForm) {
    p().dpiListMode[m()] = presetForm ? 1 : 0;
    recount();
}

void PerformanceModel::clickXy() {
    std::int32_t& v = p().xyIndependent[m()];
    v = v != 0 ? 0 : 1;
}

void PerformanceModel::clickReportRate(int k) {
    if (k >= 0 && k < 4) {
        p().reportRate[m()] = kRates[k];
    }
}

void PerformanceModel::clickPrecision() {
    std::int32_t& v = p().enhancePrecision[m()];
    v = v != 0 ? 0 : 1;
}

void PerformanceModel::chooseLines() { p().scrollLines[m()] = lines_; }

void PerformanceModel::chooseScreen() { p().scrollLines[m()] = kScrollOneScreen; }

void PerformanceModel::stepLift(int delta) {
    lift_ = std::clamp(lift_ + delta, 0, kLiftMax);
    p().liftHeight[m()] = lift_;
}

void PerformanceModel::stepLines(int delta) {
    lines_ = std::clamp(lines_ + delta, 0, kLinesMax);
    p().scrollLines[m()] = lines_;
}

bool PerformanceModel::moveDpi(int level, bool xAxis, int value) {
    if (level < 0 || level >= kDpiLevels) {
        return false;
    }
    const int v = std::clamp(value, kDpiSliderMin, kDpiSliderMax);
    const int slot = kDpiLevelSlotFirst + level;
    const bool linked = p().xyIndependent[m()] == 0;
    (xAxis ? p().dpiX : p().dpiY)[m()][slot] = v;
    if (linked) {
        (xAxis ? p().dpiY : p().dpiX)[m()][slot] = v;
    }
    return linked;
}

void PerformanceModel::moveLift(int value) {
    lift_ = std::clamp(value, 0, kLiftMax);
    p().liftHeight[m()] = lift_;
}

void PerformanceModel::movePointerSpeed(int value) {
    p().pointerSpeed[m()] = std::clamp(value, kPointerSpeedMin, kPointerSpeedMax);
}

void PerformanceModel::moveDoubleClick(int value) {
    p().doubleClickSpeed[m()] = std::clamp(value, kDoubleClickMin, kDoubleClickMax);
}

void PerformanceModel::typedLift(std::optional<int> value) {
    if (value) {
        moveLift(*value);
    }
}

void PerformanceModel::typedLines(std::optional<int> value) {
    if (value) {
        lines_ = std::clamp(*value, 0, kLinesMax);
        p().scrollLines[m()] = lines_;
    }
}

}  // namespace q350::pages
