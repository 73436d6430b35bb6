#pragma once

// The button map of the mouse page without its window: which labels show as changed, the rule
// that one button of a mode keeps the function Click, and how a result of the button setting
// panel becomes a button's assignment.
#include <cstdint>
#include <string>
#include <string_view>

#include "pages/page_host.h"

namespace q350::pages {

// Kinds of a setting panel result.
inline constexpr std::int32_t kResultBasic = 0;  // a basic function code, or a restored default
inline constexpr std::int32_t kResultCombo = 5;
inline constexpr std::int32_t kResultMacro = 6;
inline constexpr std::int32_t kResultAdvanced = 19;
inline constexpr std::int32_t kResultDisable = 121;

// What the button setting panel hands back.
struct PanelResult {
    std::int32_t value = 0;  // function code, key-combination word, macro id or advanced word
    std::int32_t kind = kResultBasic;
    std::u16string path;     // the advanced function's sound, program, file or folder
    // A restore: the button's default function; the slot's macro id goes once it is accepted.
    bool restored = false;
};

inline constexpr std::u16string_view kClickRuleText =
    u"At least one button must be configured as 'Left click'!";
inline constexpr std::u16string_view kClickRuleTextChinese =
    u"请保留至少一个键为\"单击\"功能!";

enum class EditOutcome { Applied, Refused };

class MousePageModel {
public:
    explicit MousePageModel(PageHost& host) : host_(host) {}

    // Label k of the current mode shows as selected: its function is not the default one.
    bool labelSelected(int button) const;
    // The function the button would get from the result.
    static std::int32_t FunctionOf(const PanelResult& result);
    // Whether giving the button that function keeps a Click button in the current mode.
    bool keepsClick(int button, std::int32_t function) const;
    // Applies an accepted panel result to button k of the current mode, or refuses it by the
    // click rule (the record then stays as it was).
    EditOutcome apply(int button, const PanelResult& result);
    // The label a macro assignment shows: the name of the first macro in use with that id, empty
    // when the library has none.
    std::u16string macroName(std::uint32_t id) const;
    // The click rule's message in the current language.
    std::u16string_view clickRuleText() const;

private:
    PageHost& host_;
};

}  // namespace q350::pages
