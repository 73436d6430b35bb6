#pragma once

// The macro and advanced sub-panels of the button setting panel without their windows: the game
// rows and the macros listed for each, the four host actions with their words and paths, and the
// results both give.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/mouse_page_model.h"

namespace q350::pages {

// ---- macros by game -----------------------------------------------------------------------------

inline constexpr int kGameRowCount = 21;
// The row of the player's own macros, selected when the tab opens.
inline constexpr int kGameRowCustom = 20;
// Row r lists the macros whose id carries r + 1 in its top byte.
std::u16string_view GameRowText(int row, bool chinese);

struct MacroRow {
    std::uint32_t id;
    std::u16string name;  // never longer than the name field
};
// The macros of game row r in library order: entries that count as macros only.
std::vector<MacroRow> MacrosOfGame(const MacroLibrary& library, int row);
// The result of the macro tab for the selected macro row (none: value 0).
PanelResult MacroSetResult(std::optional<std::uint32_t> selectedId);

// ---- host actions -------------------------------------------------------------------------------

inline constexpr int kAdvancedRowCount = 4;  // sound, program, file, folder
inline constexpr int kAdvancedRowFolder = 3;
// Longest path a result carries (the field keeps one unit for its terminator).
inline constexpr std::size_t kAdvancedPathMax = 259;

// What the file dialog of a row starts with.
struct BrowseSpec {
    std::u16string_view filter;  // "(*.exe)|*.exe||": pairs of text and pattern
    std::u16string_view defaultExtension;
    std::u16string_view fileName;
    std::u16string_view startFolder;
};
// Rows 0..2; the folder row uses the shell's folder browser instead.
const BrowseSpec& BrowseSpecOf(int row);

class AdvancedChoices {
public:
    explicit AdvancedChoices(int button) : button_(button) {}

    // The advanced word of row 0..3 for this panel's button: button in byte 3, the action in
    // byte 2, 0x04 in byte 0.
    std::uint32_t word(int row) const;
    // Sets row's choice and clears the others.
    void choose(int row);
    int chosen() const { return chosen_; }
    void setPath(int row, std::u16string path);
    const std::u16string& path(int row) const { return paths_[static_cast<std::size_t>(row)]; }
    // The first chosen row with a path gives kind 19, its word and its path (cut to 259 units);
    // nothing chosen with a path gives value 0.
    PanelResult result() const;

private:
    int button_;
    int chosen_ = -1;
    std::array<std::u16string, kAdvancedRowCount> paths_;
};

}  // namespace q350::pages
