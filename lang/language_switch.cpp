#include "lang/language_switch.h"

#include <array>

namespace q350::lang {

namespace {

void RecordChoice(const LanguageServices& services, int index) {
    const auto value = static_cast<std::uint32_t>(index);
    const std::array<std::uint8_t, 4> bytes = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    if (!services.settings.writeBinary(kLanguageSubKey, kLanguageValue, bytes) &&
        services.systemMessage) {
        services.systemMessage(kRegistryFailedText, kRegistryFailedCaption);
    }
}

}  // namespace

int IniInteger(std::u16string_view text, int fallback) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= text.size() || text[i] < u'0' || text[i] > u'9') {
        return fallback;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > 0x7FFFFFFF) {
            value = 0x7FFFFFFF;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

int ChooseStartLanguage(LanguageState& state, const LanguageServices& services) {
    const std::u16string raw =
        services.ini.read(ProgramFile(services.programFolder, kStartLanguageIni),
                          kStartLanguageSection, kStartLanguageKey, u"0");
    const bool chinese = IniInteger(raw, 0) == 1;
    const LanguageInfo& language =
        *LanguageByIndex(chinese ? kLanguageSimplifiedChinese : kLanguageEnglish);
    state.chineseFlag = chinese ? 1 : 0;
    state.chineseFlagAtStart = state.chineseFlag;
    state.table.load(services.reader, ProgramFile(services.programFolder, language.file));
    // The updater's folder may be missing; it then has nothing to tell.
    services.ini.write(ProgramFile(services.programFolder, kUpdaterIni), kUpdaterSection,
                       kUpdaterKey, chinese ? u"1" : u"0");
    return language.flagBitmap;
}

LanguageSwitch SwitchLanguage(LanguageState& state, const LanguageServices& services, bool menuOpen,
                              std::uintptr_t wParam, std::intptr_t lParam) {
    LanguageSwitch result;
    if (!menuOpen && wParam != kSwitchWithoutMenu) {
        return result;
    }
    result.acted = true;
    result.closeMenu = true;
    const LanguageInfo* language =
        lParam >= 1 && lParam <= static_cast<std::intptr_t>(kLanguageCount)
            ? LanguageByIndex(static_cast<int>(lParam))
            : nullptr;
    if (!language) {
        return result;  // closed without a choice: the language stays as it is
    }
    state.chineseFlag = language->chineseFlag;
    state.table.load(services.reader, ProgramFile(services.programFolder, language->file));
    result.flagBitmap = language->flagBitmap;
    RecordChoice(services, language->index);
    return result;
}

}  // namespace q350::lang
