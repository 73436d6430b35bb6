#include "app/auto_switch.h"

#include <algorithm>

namespace q350::app {

namespace {

char16_t Fold(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - (u'a' - u'A'));
    }
    // Latin-1 letters: à...þ fold onto À...Þ, except the division sign.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<char16_t>(c - 0x20);
    }
    return c;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return Fold(x) == Fold(y); });
}

std::u16string_view FileName(std::u16string_view path) {
    const std::size_t at = path.find_last_of(u"\\/");
    return at == std::u16string_view::npos ? path : path.substr(at + 1);
}

// Both separators count the same: "C:/Games/x.exe" names "C:\Games\x.exe".
bool SamePath(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               const auto norm = [](char16_t c) { return c == u'/' ? u'\\' : Fold(c); };
               return norm(x) == norm(y);
           });
}

}  // namespace

std::u16string AutoSwitchedText(std::u16string_view profile, std::u16string_view program,
                                bool chinese) {
    std::u16string text(profile);
    if (program.empty()) {
        return text + (chinese ? u" \u5df2\u542f\u7528" : u" in use");
    }
    text += chinese ? u" \u8ddf\u968f " : u" follows ";
    return text + std::u16string(FileName(program));
}

std::u16string AutoSwitchWaitsText(bool chinese) {
    return chinese ? u"\u81ea\u52a8\u5207\u6362\u7b49\u5f85\u5e94\u7528\u8bbe\u7f6e"
                   : u"Automatic switching waits for Apply";
}

std::u16string AutoSwitchFailedText(std::u16string_view profile, bool chinese) {
    return std::u16string(profile) +
           (chinese ? u" \u672a\u80fd\u5199\u5165\u9f20\u6807\uff0c\u4e0b\u6b21\u5e94\u7528\u5c06\u5168\u90e8\u5199\u5165"
                    : u" could not be written into the mouse; the next Apply writes everything");
}

bool ProgramMatches(std::u16string_view bound, std::u16string_view image) {
    if (bound.empty() || image.empty()) {
        return false;
    }
    if (bound.find_first_of(u"\\/") != std::u16string_view::npos) {
        return SamePath(bound, image);
    }
    return SameIgnoringCase(bound, FileName(image));
}

void AutoSwitcher::setBindings(const std::array<std::u16string, kSlotCount>& programs) {
    programs_ = programs;
}

void AutoSwitcher::setBindings(const ProfileSlot (&slots)[kSlotCount]) {
    for (int i = 0; i < kSlotCount; ++i) {
        programs_[static_cast<std::size_t>(i)] = AutoSwitchProgram(slots[i]);
    }
}

std::optional<int> AutoSwitcher::slotFor(std::u16string_view image) const {
    for (int i = 0; i < kSlotCount; ++i) {
        if (ProgramMatches(programs_[static_cast<std::size_t>(i)], image)) {
            return i;
        }
    }
    return std::nullopt;
}

void AutoSwitcher::foreground(std::u16string_view image, bool ownWindow, std::uint64_t nowMs) {
    if (ownWindow) {
        return;  // the program's own windows in front change nothing
    }
    const std::optional<int> wanted = slotFor(image);
    if (!seen_ || wanted != bound_) {
        bound_ = wanted;
        sinceMs_ = nowMs;
        seen_ = true;
    }
}

std::uint64_t AutoSwitcher::settlesInMs(std::uint64_t nowMs) const {
    if (!seen_ || nowMs - sinceMs_ >= kAutoSwitchSettleMs) {
        return 0;
    }
    return kAutoSwitchSettleMs - (nowMs - sinceMs_);
}

std::optional<int> AutoSwitcher::due(const Conditions& c, std::uint64_t nowMs) {
    hold_ = Hold::None;
    // Nothing seen in front yet: the profile in use is the user's.
    if (!seen_ || target() == c.activeSlot || settlesInMs(nowMs) != 0) {
        return std::nullopt;
    }
    if (c.unappliedEdits) {
        hold_ = Hold::WaitsForApply;
        return std::nullopt;
    }
    if (c.busy) {
        hold_ = Hold::Busy;
        return std::nullopt;
    }
    return target();
}

}  // namespace q350::app
