#pragma once

// The table of user-interface strings, the twelve languages it can be filled from, and the
// Chinese flag that picks the built-in Chinese or English texts.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "lang/string_ids.h"
#include "lang/xml_reader.h"

namespace q350::lang {

// One language of the language menu. Its index is what the menu reports.
struct LanguageInfo {
    int index;
    std::u16string_view menuText;  // fixed, never translated
    int menuIcon;                  // PNG resource, 19 x 11
    std::u16string_view file;      // relative to the program folder
    int flagBitmap;                // bitmap resource, 37 x 22
    int chineseFlag;               // the Chinese flag while this language is in use
};

inline constexpr std::size_t kLanguageCount = 12;
inline constexpr std::array<LanguageInfo, kLanguageCount> kLanguages = {{
    {1, u"Chinese", 168, u"Language\\sc.xml", 164, 1},
    {2, u"English", 179, u"Language\\en.xml", 157, 0},
    {3, u"French", 170, u"Language\\fre.xml", 158, 0},
    {4, u"Korean", 176, u"Language\\kor.xml", 161, 0},
    {5, u"German", 171, u"Language\\ger.xml", 159, 0},
    {6, u"Italian", 172, u"Language\\ita.xml", 160, 0},
    {7, u"Spanish", 177, u"Language\\span.xml", 165, 0},
    {8, u"Dutch", 169, u"Language\\dutch.xml", 156, 0},
    {9, u"Portuguese", 174, u"Language\\pt.xml", 162, 0},
    {10, u"Russian", 175, u"Language\\rus.xml", 163, 0},
    {11, u"Ukrainian", 180, u"Language\\ukr.xml", 167, 0},
    {12, u"Trad.Chinese", 168, u"Language\\tw.xml", 164, 0},
}};
inline constexpr int kLanguageSimplifiedChinese = 1;
inline constexpr int kLanguageEnglish = 2;

// The language with that menu index (1..12), or nullptr.
const LanguageInfo* LanguageByIndex(int index);

// A file below the program folder, its relative name written with backslashes
// ("Language\\en.xml").
std::filesystem::path ProgramFile(const std::filesystem::path& programFolder,
                                  std::u16string_view relative);

// The group of a language file that holds the strings.
inline constexpr std::u16string_view kStringGroup = u"config";

class LanguageTable {
public:
    const std::u16string& text(StringId id) const { return strings_[static_cast<std::size_t>(id)]; }
    const std::u16string& operator[](StringId id) const { return text(id); }
    void set(StringId id, std::u16string value) {
        strings_[static_cast<std::size_t>(id)] = std::move(value);
    }
    void clear();

    // Fills every entry from the file through the reader (which is left holding the file).
    // Ids the file lacks become empty; a file that cannot be read empties the whole table and
    // gives false.
    bool load(XmlReader& reader, const std::filesystem::path& file);
    // Fills every entry from the document the reader holds.
    void fillFrom(XmlReader& reader);

private:
    std::array<std::u16string, kStringCount> strings_;
};

// The language state of the process: the table, the Chinese flag and the copy of that flag taken
// at start-up (read by the statistics page).
struct LanguageState {
    LanguageTable table;
    int chineseFlag = 0;
    int chineseFlagAtStart = 0;
};

// The program's one language state. UI thread only.
LanguageState& TheLanguage();
inline const std::u16string& Str(StringId id) {
    return TheLanguage().table.text(id);
}
inline bool ChineseTexts() {
    return TheLanguage().chineseFlag != 0;
}

}  // namespace q350::lang
