#pragma once

// The button setting panel without its windows: the tabs and the "Disable key" box, the list of
// basic functions, key capture for a key combination, and what OK and Restore hand back.
#include <array>
#include <cstdint>
#include <functional>

#include "lang/string_ids.h"
#include "pages/mouse_page_model.h"

namespace q350::pages {

// Tabs of the panel: 1 stands for the key-combination tab chosen when "Disable key" is cleared.
inline constexpr int kTabNone = 1;
inline constexpr int kTabCombo = 2;
inline constexpr int kTabMacro = 3;
inline constexpr int kTabBasic = 4;
inline constexpr int kTabAdvanced = 5;

// One row of the basic-function list: its text and the function code it gives.
struct BasicRow {
    lang::StringId text;
    std::int32_t code;
};
inline constexpr int kBasicRowCount = 36;
extern const std::array<BasicRow, kBasicRowCount> kBasicRows;

// The modifier toggles and the captured key of the key-combination tab.
class ComboCapture {
public:
    enum Modifier { kCtrl, kAlt, kShift, kWin, kModifierCount };
    enum class Change { None, Modifier, Key };

    // A key event of the keyboard hook: a modifier's press flips its toggle (its release and any
    // other flags are ignored); any other key, pressed or released, becomes the captured key.
    Change onKeyEvent(int virtualKey, std::uint32_t flags);
    // A click on a toggle.
    void toggle(Modifier m) { on_[m] = !on_[m]; }
    bool isOn(Modifier m) const { return on_[m]; }
    int key() const { return key_; }
    // The modifier a virtual key stands for, or kModifierCount.
    static Modifier ModifierOf(int virtualKey);
    // Value and kind of the combination (value 0 when nothing was captured or set).
    PanelResult result() const;

private:
    std::array<bool, kModifierCount> on_{};
    int key_ = 0;
};

class SettingPanelModel {
public:
    enum class Hook { Unchanged, Start, Stop };

    SettingPanelModel(int button, int mode) : button_(button), mode_(mode) {}

    // Selects tab 1..5 and tells what happens to key delivery. While "Disable key" is set, the
    // tab stays as it was and nothing is shown.
    Hook selectTab(int tab);
    // A click on the "Disable key" box: flips it, then selects tab 1.
    Hook clickDisable();
    bool disabled() const { return disabled_; }
    int tab() const { return tab_; }
    // Whether the tab button of tab 2..5 is set and whether the sub-panel of tab 2..5 is shown.
    bool tabButtonSet(int tab) const;
    bool panelShown(int tab) const { return tabButtonSet(tab); }

    // What the visible sub-panel gives when asked.
    struct SubPanels {
        std::function<PanelResult()> basic, advanced, macro, combo;
    };
    // OK: value 7 and kind 121 while "Disable key" is set, else the visible sub-panel's result.
    PanelResult ok(const SubPanels& panels) const;
    // Restore: the button's default function for the mode.
    PanelResult restore() const;
    // The panel ends with OK when the result holds a value, with Cancel otherwise.
    static bool EndsWithOk(const PanelResult& r) { return r.value != 0; }

    int button() const { return button_; }

private:
    int button_;
    int mode_;
    int tab_ = 0;
    bool disabled_ = false;
};

// The code the basic list gives for a row; 0 when no row is selected (row < 0).
std::int32_t BasicCodeOfRow(int row);

}  // namespace q350::pages
