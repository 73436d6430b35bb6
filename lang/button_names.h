#pragma once

// The built-in default names of the buttons, in English and Chinese, and their translation when
// the status line shows a button's label in the other language.
#include <optional>
#include <string_view>

namespace q350 {
struct ProfileData;
}

namespace q350::lang {

// The button (0..13) whose label a status-line hint shows: hints 16..22 for buttons 0..6 and
// 51..57 for buttons 7..13; -1 for any other hint.
int ButtonOfLabelHint(int hintId);

// The label in the language of the Chinese flag when it is one of the button's built-in default
// names in the other language; nullopt when it is to stay as it is.
std::optional<std::u16string_view> TranslateDefaultButtonName(std::u16string_view label, int button,
                                                              bool chinese);

// Translates the label of button (0..13) of mode in the profile, as the status line does before
// showing it. True when the label was replaced.
bool TranslateProfileButtonLabel(ProfileData& profile, int mode, int button, bool chinese);

}  // namespace q350::lang
