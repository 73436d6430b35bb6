#include "lang/language_table.h"

#include <unordered_map>

namespace q350::lang {

std::optional<StringId> StringIdFromName(std::u16string_view name) {
    static const auto* const byName = [] {
        auto* map = new std::unordered_map<std::u16string_view, StringId>();
        for (std::size_t i = 0; i < kStringCount; ++i) {
            map->emplace(kStringIdNames[i], static_cast<StringId>(i));
        }
        return map;
    }();
    const auto it = byName->find(name);
    if (it == byName->end()) {
        return std::nullopt;
    }
    return it->second;
}

const LanguageInfo* LanguageByIndex(int index) {
    if (index < 1 || index > static_cast<int>(kLanguageCount)) {
        return nullptr;
    }
    return &kLanguages[static_cast<std::size_t>(index - 1)];
}

std::filesystem::path ProgramFile(const std::filesystem::path& programFolder,
                                  std::u16string_view relative) {
    std::filesystem::path path = programFolder;
    while (!relative.empty()) {
        const std::size_t cut = relative.find_first_of(u"\\/");
        const std::u16string_view part = relative.substr(0, cut);
        if (!part.empty()) {
            path /= std::u16string(part);
        }
        if (cut == std::u16string_view::npos) {
            break;
        }
        relative.remove_prefix(cut + 1);
    }
    return path;
}

void LanguageTable::clear() {
    for (std::u16string& s : strings_) {
        s.clear();
    }
}

void LanguageTable::fillFrom(XmlReader& reader) {
    for (std::size_t i = 0; i < kStringCount; ++i) {
        strings_[i] = reader.lookup(kStringGroup, kStringIdNames[i]);
    }
}

bool LanguageTable::load(XmlReader& reader, const std::filesystem::path& file) {
    if (!reader.loadFile(file)) {
        clear();
        return false;
    }
    reader.parse();  // errors do not stop it: whatever was indexed is read
    fillFrom(reader);
    return true;
}

LanguageState& TheLanguage() {
    static LanguageState state;
    return state;
}

}  // namespace q350::lang
