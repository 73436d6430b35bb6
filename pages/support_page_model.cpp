#include "pages/support_page_model.h"

namespace q350::pages {

std::u16string FirmwareVersionText(std::u16string_view decimal) {
    if (decimal.empty()) {
        return std::u16string(kUnknownFirmware);
    }
    std::u16string text = u"V ";
    text += decimal[0];
    text += u'.';
    text += decimal.size() > 1 ? decimal[1] : u'0';
    return text;
}

int SupportHintAt(int x, int y) {
    for (const SupportButtonPlace& place : kSupportButtons) {
        const skin::Rect widened{place.rect.left - 1, place.rect.top - 1, place.rect.right + 1,
                                 place.rect.bottom + 1};
        if (widened.Contains(x, y)) {
            return place.hint;
        }
    }
    return 0;
}

std::u16string_view RestoreQuestion(bool chinese) {
    return chinese ? u"确定要恢复默认设置?" : u"Do you want to restore the default setting?";
}

}  // namespace q350::pages
