#include "app/startup.h"

#include <algorithm>

namespace q350::app {

namespace {

char16_t AsciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool ContainsIgnoringCase(std::u16string_view text, std::u16string_view part) {
    if (part.empty()) {
        return true;
    }
    const auto it = std::search(text.begin(), text.end(), part.begin(), part.end(),
                                [](char16_t a, char16_t b) { return AsciiUpper(a) == AsciiUpper(b); });
    return it != text.end();
}

constexpr std::uint32_t kWmKeyDown = 0x0100;
constexpr std::uint32_t kWmKeyUp = 0x0101;
constexpr std::uintptr_t kVkReturn = 13;
constexpr std::uintptr_t kVkEscape = 27;
constexpr std::uintptr_t kVkSpace = 32;

}  // namespace

std::u16string ProgramFolderFromExePath(std::u16string_view exePath) {
    const std::size_t slash = exePath.rfind(u'\\');
    if (slash == std::u16string_view::npos) {
        return {};
    }
    return std::u16string(exePath.substr(0, std::min(slash + 1, kMaxProgramFolderChars)));
}

bool HardwareIdMatches(std::u16string_view hardwareId, std::u16string_view fragment) {
    return ContainsIgnoringCase(hardwareId, fragment);
}

MousePresence FindMouse(const std::function<bool(std::u16string_view)>& search, Clock& clock) {
    MousePresence presence;
    for (int attempt = 0; attempt < kPresenceAttempts; ++attempt) {
        presence.normal = search(kMouseHardwareId);
        presence.updateMode = search(kUpdateModeHardwareId);
        if (presence.normal) {
            break;
        }
        if (attempt + 1 < kPresenceAttempts) {
            clock.sleepMs(kPresenceRetryMs);
        }
    }
    return presence;
}

StartPath ChooseStartPath(const MousePresence& presence) {
    if (presence.updateMode) {
        return StartPath::HandToFlasher;
    }
    return presence.normal ? StartPath::Run : StartPath::NotFound;
}

std::u16string_view MouseNotFoundText(bool chinese) {
    return chinese ? u"没有找到Q350游戏鼠标." : u"The Q350 gaming mouse cannot be found.";
}

bool IsMouseRemoval(std::u16string_view deviceInterfaceName) {
    return ContainsIgnoringCase(deviceInterfaceName, kMouseHardwareId);
}

TrayAction TrayActionFor(std::intptr_t mouseMessage) {
    switch (mouseMessage) {
        case kTrayDoubleClick:
            return TrayAction::ShowWindow;
        case kTrayRightUp:
            return TrayAction::ShowMenu;
        default:
            return TrayAction::None;
    }
}

bool IsFilteredKey(std::uint32_t message, std::uintptr_t virtualKey) {
    return (message == kWmKeyDown || message == kWmKeyUp) &&
           (virtualKey == kVkReturn || virtualKey == kVkEscape || virtualKey == kVkSpace);
}

}  // namespace q350::app
