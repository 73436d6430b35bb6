#include "config/function_catalog.h"

#include <algorithm>

namespace q350 {

namespace {

constexpr CatalogEntry Fixed(int code, std::uint32_t word, std::string_view panelId = {}) {
    return {code, word, true, panelId};
}
constexpr CatalogEntry FromAssignment(int code) {
    return {code, 0, false, {}};
}

// Right click is listed as the panel's "right" entry and middle click as its "middle" entry, so
// that choosing "middle" on the panel gives a middle click.
constexpr CatalogEntry kCatalog[] = {
    Fixed(1, 0x00010003, "str_mouseleft"),
    Fixed(2, 0x00020003, "str_mouseright"),
    Fixed(4, 0x00040003, "str_mousemiddle"),
    FromAssignment(fn::kKeyCombo),
    FromAssignment(fn::kMacro),
    Fixed(8, 0x00100003, "str_pre"),
    Fixed(11, kWordWheel),
    Fixed(12, 0x01CC0004),
    Fixed(16, 0x00080003, "str_back"),
    FromAssignment(fn::kAdvanced),
    Fixed(22, kWordWheel),
    Fixed(32, 0xCD000004, "str_PL"),
    Fixed(33, 0xB7000004, "str_stop"),
    Fixed(34, 0xB6000004, "str_pre_media"),
    Fixed(35, 0xB5000004, "str_next_media"),
    Fixed(37, 0xE9000004, "str_vol_up"),
    Fixed(38, 0xEA000004, "str_vol_dw"),
    Fixed(39, 0xE2000004, "str_mute"),
    Fixed(40, 0x83010004, "str_player"),
    Fixed(64, 0x1B020002),
    Fixed(65, 0x06020002),
    Fixed(66, 0x19020002),
    Fixed(67, 0x1D020002),
    Fixed(68, 0x04020002),
    Fixed(69, 0x09020002),
    Fixed(70, 0x11020002),
    Fixed(71, 0x13020002),
    Fixed(72, 0x16020002),
    Fixed(81, 0x3D040002, "str_close"),
    Fixed(82, 0x0F080002, "str_lock"),
    Fixed(84, 0x15080002, "str_run"),
    Fixed(85, 0x07080002, "str_show"),
    Fixed(116, 0x01C90004),
    Fixed(117, 0x01CA0004),
    Fixed(118, 0x01CB0004),
    Fixed(121, 0x00000007),
    Fixed(122, 0x00080002),
    Fixed(123, 0x10080002, "str_win8_classic"),
    Fixed(124, 0x2B040002, "str_win8_switch"),
    Fixed(125, 0x14080002, "str_find"),
    Fixed(126, 0x57080002, "str_win8_winp"),
    Fixed(127, 0x56080002, "str_win8_winm"),
    Fixed(133, 0x01010003, "str_dbclick"),
    Fixed(138, 0x00020008, "str_dpi_dw"),
    Fixed(141, 0x00010008, "str_dpi_up"),
    Fixed(142, 0x00010009, "str_snipe"),
    Fixed(143, 0x00020009, "str_twicefire"),
    Fixed(144, 0x01020009, "str_threefoldfire"),
    Fixed(145, 0x00E30000, "str_win"),
    Fixed(146, 0x00030008, "str_DpiSwitch"),
    Fixed(147, 0x00030002, "str_InputSwitch"),
    Fixed(148, 0x4D020002, "str_MovetoEnd"),
    Fixed(149, 0x4A020002, "str_MovetoHome"),
    Fixed(150, 0x001E0000, "str_number1"),
    Fixed(151, 0x001F0000, "str_number2"),
    Fixed(152, 0x00200000, "str_number3"),
};

constexpr bool SortedByCode() {
    for (std::size_t i = 1; i < std::size(kCatalog); ++i) {
        if (kCatalog[i - 1].code >= kCatalog[i].code) {
            return false;
        }
    }
    return true;
}
static_assert(SortedByCode(), "the catalogue is searched by code and must stay in code order");

}  // namespace

std::span<const CatalogEntry> FunctionCatalog() {
    return kCatalog;
}

const CatalogEntry* FindFunction(int code) {
    const auto* it = std::lower_bound(std::begin(kCatalog), std::end(kCatalog), code,
                                      [](const CatalogEntry& e, int c) { return e.code < c; });
    return it != std::end(kCatalog) && it->code == code ? it : nullptr;
}

std::uint32_t AdvancedWord(int kind, int buttonIndex) {
    return (static_cast<std::uint32_t>(buttonIndex & 0xFF) << 24) |
           (static_cast<std::uint32_t>((0xC0 + kind) & 0xFF) << 16) | kWordMediaOrHost;
}

std::uint32_t MacroWord(int deviceSlot) {
    return (static_cast<std::uint32_t>(deviceSlot & 0xFF) << 16) | kWordMacro;
}

std::optional<std::uint32_t> DeviceWord(const ButtonAssignment& assignment,
                                        std::optional<int> macroSlot) {
    const CatalogEntry* entry = FindFunction(assignment.function);
    if (!entry) {
        return std::nullopt;
    }
    if (entry->fixedWord) {
        return entry->word;
    }
    switch (entry->code) {
        case fn::kKeyCombo:
            return assignment.keyWord;
        case fn::kAdvanced:
            return assignment.actionWord;
        case fn::kMacro:
            if (macroSlot && *macroSlot >= 0 && *macroSlot < kDeviceMacroSlots) {
                return MacroWord(*macroSlot);
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

std::string_view PanelTextId(int code) {
    const CatalogEntry* entry = FindFunction(code);
    return entry ? entry->panelId : std::string_view{};
}

}  // namespace q350
