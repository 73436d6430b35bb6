#include "pages/mouse_page_model.h"

#include "base/utf.h"
#include "config/function_catalog.h"
#include "config/key_tables.h"

namespace q350::pages {

bool MousePageModel::labelSelected(int button) const {
    const int mode = host_.currentMode();
    return host_.profile().buttons[mode][button].function != kDefaultButtonCodes[mode][button];
}

std::int32_t MousePageModel::FunctionOf(const PanelResult& result) {
    switch (result.kind) {
        case kResultCombo:
        case kResultMacro:
        case kResultAdvanced:
        case kResultDisable:
            return result.kind;
        default:
            return result.value;
    }
}

bool MousePageModel::keepsClick(int button, std::int32_t function) const {
    if (function == fn::kLeft) {
        return true;
    }
    const auto& row = host_.profile().buttons[host_.currentMode()];
    for (int k = 0; k < kButtonCount; ++k) {
        if (k != button && row[k].function == fn::kLeft) {
            return true;
        }
    }
    return false;
}

std::u16string MousePageModel::macroName(std::uint32_t id) const {
    const MacroLibrary& library = host_.macros();
    for (std::size_t i = 0; i < kMacroLibraryEntries; ++i) {
        const MacroRecord& r = library.entry(i);
        if (r.id == id && IsMacroInUse(r)) {
            return FieldText(r.macroName, kMacroNameChars);
        }
    }
    return {};
}

std::u16string_view MousePageModel::clickRuleText() const {
    return host_.chinese() ? kClickRuleTextChinese : kClickRuleText;
}

EditOutcome MousePageModel::apply(int button, const PanelResult& result) {
    const std::int32_t function = FunctionOf(result);
    if (!keepsClick(button, function)) {
        return EditOutcome::Refused;
    }
    const int mode = host_.currentMode();
    ButtonAssignment& b = host_.profile().buttons[mode][button];
    std::int32_t& pending = host_.pendingMacroId(mode, button);
    pending = 0;
    std::u16string label;
    switch (result.kind) {
        case kResultCombo:
            b.function = fn::kKeyCombo;
            b.keyWord = static_cast<std::uint32_t>(result.value);
            label = ComboText(b.keyWord);
            break;
        case kResultMacro:
            b.function = fn::kMacro;
            b.macroId = result.value;
            pending = result.value;
            label = macroName(static_cast<std::uint32_t>(result.value));
            break;
        case kResultAdvanced:
            b.function = fn::kAdvanced;
            b.actionWord = static_cast<std::uint32_t>(result.value);
            SetField(b.path, kTextChars, result.path);
            label = result.path;
            break;
        case kResultDisable:
            b.function = fn::kDisabled;
            label = FunctionName(fn::kDisabled, host_.chinese());
            break;
        default:
            b.function = result.value;
            label = FunctionName(result.value, host_.chinese());
            break;
    }
    SetField(b.label, kTextChars, label);
    if (result.restored) {
        // The button's macro goes with the restore, in every slot marked active.
        ConfigInfo& table = host_.configInfo();
        for (ProfileSlot& slot : table.slots) {
            if (slot.active == 1) {
                slot.buttonMacroId[mode][button] = 0;
            }
        }
    }
    return EditOutcome::Applied;
}

}  // namespace q350::pages
