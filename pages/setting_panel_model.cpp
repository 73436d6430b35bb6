#include "pages/setting_panel_model.h"

#include "config/function_catalog.h"
#include "config/key_tables.h"

namespace q350::pages {

using lang::StringId;

// Rows 10 and 11 read "Middle button" and "Right button": they give the middle (4) and the right
// (2) button, so that a row does what its text says.
const std::array<BasicRow, kBasicRowCount> kBasicRows = {{
    {StringId::str_close, 81},         {StringId::str_lock, 82},
    {StringId::str_run, 84},           {StringId::str_show, 85},
    {StringId::str_win8_classic, 123}, {StringId::str_win8_switch, 124},
    {StringId::str_win8_winp, 126},    {StringId::str_win8_winm, 127},
    {StringId::str_find, 125},         {StringId::str_mouseleft, 1},
    {StringId::str_mousemiddle, 4},    {StringId::str_mouseright, 2},
    {StringId::str_pre, 8},            {StringId::str_back, 16},
    {StringId::str_dbclick, 133},      {StringId::str_player, 40},
    {StringId::str_PL, 32},            {StringId::str_stop, 33},
    {StringId::str_pre_media, 34},     {StringId::str_next_media, 35},
    {StringId::str_vol_dw, 38},        {StringId::str_vol_up, 37},
    {StringId::str_mute, 39},          {StringId::str_dpi_up, 141},
    {StringId::str_dpi_dw, 138},       {StringId::str_snipe, 142},
    {StringId::str_twicefire, 143},    {StringId::str_threefoldfire, 144},
    {StringId::str_win, 145},          {StringId::str_DpiSwitch, 146},
    {StringId::str_InputSwitch, 147},  {StringId::str_MovetoEnd, 148},
    {StringId::str_MovetoHome, 149},   {StringId::str_number1, 150},
    {StringId::str_number2, 151},      {StringId::str_number3, 152},
}};

std::int32_t BasicCodeOfRow(int row) {
    if (row < 0 || row >= kBasicRowCount) {
        return 0;
    }
    return kBasicRows[static_cast<std::size_t>(row)].code;
}

// ---- key combination ----------------------------------------------------------------------------

namespace {
// Flag bytes of a key press as the keyboard hook reports them (bit 0 extended key, bit 4
// injected, bit 5 Alt held); bit 7 marks a release.
bool IsPressFlags(std::uint32_t flags) {
    switch (flags) {
        case 0x00:
        case 0x01:
        case 0x10:
        case 0x11:
        case 0x20:
        case 0x21:
            return true;
        default:
            return false;
    }
}
}  // namespace

ComboCapture::Modifier ComboCapture::ModifierOf(int vk) {
    switch (vk) {
        case 0x10:  // Shift, left and right
        case 0xA0:
        case 0xA1:
            return kShift;
        case 0x11:  // Ctrl
        case 0xA2:
        case 0xA3:
            return kCtrl;
        case 0x12:  // Alt
        case 0xA4:
        case 0xA5:
            return kAlt;
        case 0x5B:  // Windows keys
        case 0x5C:
            return kWin;
        default:
            return kModifierCount;
    }
}

ComboCapture::Change ComboCapture::onKeyEvent(int virtualKey, std::uint32_t flags) {
    const Modifier m = ModifierOf(virtualKey);
    if (m != kModifierCount) {
        if (!IsPressFlags(flags)) {
            return Change::None;
        }
        toggle(m);
        return Change::Modifier;
    }
    key_ = virtualKey;
    return Change::Key;
}

PanelResult ComboCapture::result() const {
    const ComboResult c = EncodeCombo(on_[kShift], on_[kCtrl], on_[kAlt], on_[kWin], key_);
    PanelResult r;
    r.value = static_cast<std::int32_t>(c.value);
    r.kind = c.kind;
    return r;
}

// ---- the panel ----------------------------------------------------------------------------------

SettingPanelModel::Hook SettingPanelModel::selectTab(int tab) {
    if (disabled_) {
        return Hook::Unchanged;
    }
    tab_ = tab;
    return tab == kTabCombo ? Hook::Start : Hook::Stop;
}

SettingPanelModel::Hook SettingPanelModel::clickDisable() {
    disabled_ = !disabled_;
    return selectTab(kTabNone);
}

bool SettingPanelModel::tabButtonSet(int tab) const {
    if (disabled_ || tab_ == 0) {
        return false;
    }
    const int shown = tab_ == kTabNone ? kTabCombo : tab_;
    return tab == shown;
}

PanelResult SettingPanelModel::ok(const SubPanels& panels) const {
    if (disabled_) {
        PanelResult r;
        r.value = kWordDisabled;
        r.kind = kResultDisable;
        return r;
    }
    // The first visible sub-panel in the order basic, advanced, macro, key combination.
    const std::pair<int, const std::function<PanelResult()>*> order[] = {
        {kTabBasic, &panels.basic},
        {kTabAdvanced, &panels.advanced},
        {kTabMacro, &panels.macro},
        {kTabCombo, &panels.combo}};
    for (const auto& [tab, result] : order) {
        if (panelShown(tab)) {
            return *result ? (*result)() : PanelResult{};
        }
    }
    return {};
}

PanelResult SettingPanelModel::restore() const {
    PanelResult r;
    r.value = kDefaultButtonCodes[mode_][button_];
    r.restored = true;
    return r;
}

}  // namespace q350::pages
