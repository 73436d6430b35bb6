#pragma once

// Choosing the language at start-up and switching it from the language menu.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

#include "base/ini_file.h"
#include "base/settings_store.h"
#include "lang/language_table.h"
#include "lang/xml_reader.h"

namespace q350::lang {

// The ini file that names the start language, and the one that tells the firmware updater.
inline constexpr std::u16string_view kStartLanguageIni = u"skins\\languagetype.ini";
inline constexpr std::u16string_view kStartLanguageSection = u"languagetype";
inline constexpr std::u16string_view kStartLanguageKey = u"value";
inline constexpr std::u16string_view kUpdaterIni = u"FWUpdate\\Config.ini";
inline constexpr std::u16string_view kUpdaterSection = u"Language";
inline constexpr std::u16string_view kUpdaterKey = u"Type";

// Where the picked language is recorded: REG_BINARY, the 4-byte index, little-endian.
inline constexpr std::u16string_view kLanguageSubKey = u"LANGUAGE";
inline constexpr std::u16string_view kLanguageValue = u"Language";
inline constexpr std::u16string_view kRegistryFailedText = u"Reg_SaveData Create key failed";
inline constexpr std::u16string_view kRegistryFailedCaption = u"Error";

// Language-switch message parameters: wParam that switches even with no menu open, and lParam 0
// for a menu closed without a choice.
inline constexpr std::uintptr_t kSwitchWithoutMenu = 272;
inline constexpr std::intptr_t kNoLanguageChosen = 0;

// What the language operations reach of the system.
struct LanguageServices {
    XmlReader& reader;
    IniFile& ini;
    SettingsStore& settings;
    std::filesystem::path programFolder;
    // A standard message box with that text and caption.
    std::function<void(std::u16string_view text, std::u16string_view caption)> systemMessage;
};

// Reads the start language from skins\languagetype.ini (1: Simplified Chinese, anything else:
// English), sets the Chinese flag and its start-up copy, loads the language and tells the firmware
// updater through FWUpdate\Config.ini. Returns the flag bitmap to show.
int ChooseStartLanguage(LanguageState& state, const LanguageServices& services);

struct LanguageSwitch {
    bool acted = false;      // false: the message was ignored
    int flagBitmap = 0;      // the flag to show now, 0 to leave the picture as it is
    bool closeMenu = false;  // the language menu is to be closed and forgotten
};

// The language-switch message: wParam, lParam as received; menuOpen whether a language menu is
// open. Loads the picked language, sets the Chinese flag and records the index in the settings.
LanguageSwitch SwitchLanguage(LanguageState& state, const LanguageServices& services, bool menuOpen,
                              std::uintptr_t wParam, std::intptr_t lParam);

// An ini integer as the private-profile functions read it: optional sign and leading digits,
// fallback when there are none.
int IniInteger(std::u16string_view text, int fallback);

}  // namespace q350::lang
