#include "pages/assign_panels_model.h"

#include "base/utf.h"
#include "config/function_catalog.h"

namespace q350::pages {

namespace {

struct GameName {
    std::u16string_view english;
    std::u16string_view chinese;
};
constexpr std::array<GameName, kGameRowCount> kGames = {{
    {u"Battlefield 3", u"战地 3"},
    {u"Star Wars: The Old Republic", u"星球大战:旧共和国"},
    {u"Counter-Strike: Global Offensive", u"反恐精英:全球攻势"},
    {u"Elder Scrolls V: Skyrim", u"上古卷轴5：天际"},
    {u"Team Fortress 2", u"军团要塞 2"},
    {u"Batman Arkham City", u"蝙蝠侠：阿甘之城"},
    {u"Civilization 5 ", u"文明 5 "},
    {u"World of Tanks", u"坦克世界"},
    {u"Borderlands 2", u"无主之地 2"},
    {u"Anno 2070", u"纪元 2070：雷诺起源"},
    {u"League of Legends", u"英雄联盟(LOL)"},
    {u"Football Manager 2013 (EA)", u"足球经理 2013 (EA)"},
    {u"Dota 2 ", u"远古遗迹守卫2（Dota 2） "},
    {u"Battlefield 4", u"战地 4"},
    {u"World of Warplanes", u"战机世界"},
    {u"Football Manager 2013 (SEGA)", u"足球经理 2013 (SEGA)"},
    {u"Minecraft", u"我的世界"},
    {u"Neverwinter", u"无冬之夜"},
    {u"Path of Exile", u"流亡黯道"},
    {u"War Thunder", u"战争雷霆"},
    {u"Customisze", u"玩家自定义"},
}};

// Byte 2 of the advanced word of each row: 0xC0 + the host action.
constexpr std::array<std::uint32_t, kAdvancedRowCount> kRowActions = {
    action::kPlaySound, action::kOpenProgram, action::kOpenFile, action::kOpenFolder};

constexpr std::array<BrowseSpec, 3> kBrowse = {{
    {u"(*.wav*)|*.wav*||", u".wav*", u"*.wav*", u"c:\\Windows\\Media"},
    {u"(*.exe)|*.exe||", u".exe", u"*.exe", u"c:\\Program Files"},
    {u"(*.*)|*.*||", u".", u"*.*", u"D:\\"},
}};

}  // namespace

std::u16string_view GameRowText(int row, bool chinese) {
    if (row < 0 || row >= kGameRowCount) {
        return {};
    }
    const GameName& g = kGames[static_cast<std::size_t>(row)];
    return chinese ? g.chinese : g.english;
}

std::vector<MacroRow> MacrosOfGame(const MacroLibrary& library, int row) {
    std::vector<MacroRow> rows;
    const auto group = static_cast<std::uint32_t>(row + 1);
    for (std::size_t i = 0; i < kMacroLibraryEntries; ++i) {
        const MacroRecord& r = library.entry(i);
        if (IsMacroInUse(r) && (r.id >> 24) == group) {
            rows.push_back({r.id, FieldText(r.macroName, kMacroNameChars)});
        }
    }
    return rows;
}

PanelResult MacroSetResult(std::optional<std::uint32_t> selectedId) {
    PanelResult r;
    if (selectedId) {
        r.value = static_cast<std::int32_t>(*selectedId);
        r.kind = kResultMacro;
    }
    return r;
}

const BrowseSpec& BrowseSpecOf(int row) {
    return kBrowse[static_cast<std::size_t>(row < 0 ? 0 : row > 2 ? 2 : row)];
}

std::uint32_t AdvancedChoices::word(int row) const {
    return (static_cast<std::uint32_t>(button_) << 24) |
           ((0xC0u + kRowActions[static_cast<std::size_t>(row)]) << 16) | kWordMediaOrHost;
}

void AdvancedChoices::choose(int row) {
    if (row >= 0 && row < kAdvancedRowCount) {
        chosen_ = row;
    }
}

void AdvancedChoices::setPath(int row, std::u16string path) {
    if (row >= 0 && row < kAdvancedRowCount) {
        paths_[static_cast<std::size_t>(row)] = std::move(path);
    }
}

PanelResult AdvancedChoices::result() const {
    PanelResult r;
    for (int row = 0; row < kAdvancedRowCount; ++row) {
        const std::u16string& p = paths_[static_cast<std::size_t>(row)];
        if (row == chosen_ && !p.empty()) {
            r.value = static_cast<std::int32_t>(word(row));
            r.kind = kResultAdvanced;
            r.path = p.substr(0, kAdvancedPathMax);
            break;
        }
    }
    return r;
}

}  // namespace q350::pages
