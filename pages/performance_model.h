#pragma once

// The performance half of the mouse page without its window: DPI levels from ten presets or from
// four pairs of sliders, X and Y linked or separate, the report rate, the lift-off value and the
// Windows pointer settings of the current mode, as the controls show and change them.
#include <array>
#include <cstdint>
#include <optional>

#include "pages/page_host.h"

namespace q350::pages {

// Preset values in list order, in units of 100 DPI (400 ... 8200 DPI).
inline constexpr std::array<std::int32_t, 10> kDpiPresets = {4, 8, 10, 16, 18, 24, 32, 48, 64, 82};
inline constexpr int kPresetCount = 10;
inline constexpr int kMaxTicked = 4;

// Ranges of the controls.
inline constexpr int kDpiSliderMin = 1;
inline constexpr int kDpiSliderMax = 82;
inline constexpr int kLiftSliderMin = 1;
inline constexpr int kLiftMax = 30;       // the value box and + / - go down to 0
inline constexpr int kPointerSpeedMin = 1;
inline constexpr int kPointerSpeedMax = 20;
inline constexpr int kDoubleClickMin = 1;
inline constexpr int kDoubleClickMax = 10;
inline constexpr int kLinesMax = 10;
inline constexpr std::int32_t kScrollOneScreen = -1;

// What the controls show for the current mode.
struct PerformanceView {
    int reportRateButton = -1;  // 0..3 for 8, 4, 2, 1; -1 for any other stored value
    bool xySeparate = false;
    bool precision = false;
    bool presetForm = true;  // else the slider form
    std::array<bool, kPresetCount> presetTicked{};
    std::array<bool, 4> levelOn{};
    std::array<int, 4> sliderX{};
    std::array<int, 4> sliderY{};
    int lift = 0;  // slider and value box
    int pointerSpeed = 0;
    int doubleClick = 0;
    bool screenChoice = false;  // else the lines choice
    int lines = 0;              // the lines box
};

class PerformanceModel {
public:
    explicit PerformanceModel(PageHost& host) : host_(host) {}

    // The view of the record for the current mode; also takes the two box values from it (the
    // lines box keeps its last number while one screen at a time is stored).
    PerformanceView show();

    // Preset j (0..9): ticks or unticks it, keeping one to four ticked; then recounts. False when
    // it was refused.
    bool clickPreset(int j);
    // Level box j (0..3): the same for the slider form's levels.
    bool clickLevel(int j);
    // The preset or the slider form.
    void chooseForm(bool presetForm);
    void clickXy();
    // Report-rate button k (0..3): stores 8, 4, 2 or 1.
    void clickReportRate(int k);
    void clickPrecision();
    void chooseLines();
    void chooseScreen();
    // Lift + (1) or - (-1), between 0 and 30; lines + or -, between 0 and 10.
    void stepLift(int delta);
    void stepLines(int delta);

    // A DPI slider of level l (0..3) moved to value: with X and Y linked the other one follows.
    // Returns whether the other slider of the level is to be moved too.
    bool moveDpi(int level, bool xAxis, int value);
    void moveLift(int value);
    void movePointerSpeed(int value);
    void moveDoubleClick(int value);
    // A number the user typed (nothing when the box could not be read: nothing changes).
    void typedLift(std::optional<int> value);
    void typedLines(std::optional<int> value);

    int liftValue() const { return lift_; }
    int linesValue() const { return lines_; }

    // The stored top level bounded to the levels that can be in use (0..3).
    static int BoundedTopLevel(std::int32_t stored);

private:
    ProfileData& p() { return host_.profile(); }
    int m() const { return host_.currentMode(); }
    void recount();
    std::array<bool, kPresetCount> tickedPresets();

    PageHost& host_;
    std::array<bool, kPresetCount> ticked_{};  // the presets as the user left them
    int lift_ = 0;
    int lines_ = 3;  // the Windows default until the record names a number
};

}  // namespace q350::pages
