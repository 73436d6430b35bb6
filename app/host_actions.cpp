#include "app/host_actions.h"

#include "app/main_layout.h"
#include "base/utf.h"
#include "device/driver_channel.h"

namespace q350::app {

namespace {

bool NeedsButton(const DeviceEvent& event) {
    return event.isHostAction() && event.buttonIndex() < kButtonCount;
}

HostAction OpenAction(std::u16string path, bool quoteBlanks) {
    HostAction action;
    if (path.empty()) {
        return action;
    }
    if (quoteBlanks && path.find(u' ') != std::u16string::npos) {
        path = u"\"" + path + u"\"";
    }
    action.type = HostAction::Type::Open;
    action.target = std::move(path);
    return action;
}

HostAction RunAction(const char* commandLine) {
    HostAction action;
    action.type = HostAction::Type::Run;
    action.commandLine = commandLine;
    return action;
}

HostAction ButtonAction(const DeviceEvent& event, std::uint32_t mode, const ProfileData& profile) {
    // A mode the mouse cannot be in is treated like an unanswered query.
    const std::uint32_t m = mode < static_cast<std::uint32_t>(kModeCount) ? mode : 0;
    const ButtonAssignment& button = profile.buttons[m][event.buttonIndex()];
    // The field may lack its terminator in a damaged file: read at most its capacity.
    std::u16string path = FieldText(button.path, kTextChars);
    switch (event.actionKind()) {
        case kActionOpen:
        case kActionOpenAlt:
            return OpenAction(std::move(path), false);
        case kActionOpenQuoted:
        case kActionOpenQuotedAlt:
            return OpenAction(std::move(path), true);
        case kActionPlaySound: {
            HostAction action;
            if (!path.empty()) {
                action.type = HostAction::Type::PlaySound;
                action.target = std::move(path);
            }
            return action;
        }
        case kActionShotDesktop:
            return RunAction(kShotDesktopCommand);
        case kActionShotWindow:
            return RunAction(kShotWindowCommand);
        case kActionShotRegion:
            return RunAction(kShotRegionCommand);
        default:
            return {};
    }
}

}  // namespace

int DpiIndicatorLevel(std::uint32_t resolution) {
    const std::uint32_t level = resolution / 2;
    if (level < static_cast<std::uint32_t>(kDpiIndicatorMin) ||
        level > static_cast<std::uint32_t>(kDpiIndicatorMax)) {
        return kDpiIndicatorMin;
    }
    return static_cast<int>(level);
}

HostAction DecideHostAction(std::uint32_t eventWord, std::uint32_t mode, const ProfileData& profile,
                            std::uint32_t resolution) {
    const DeviceEvent event(eventWord);
    if (NeedsButton(event)) {
        return ButtonAction(event, mode, profile);
    }
    if (event.isResolutionChange()) {
        HostAction action;
        action.type = HostAction::Type::ShowDpi;
        action.dpiLevel = DpiIndicatorLevel(resolution);
        return action;
    }
    return {};
}

void HandleDriverEvent(std::uint32_t eventWord, const ProfileData& profile, EventQueries& queries,
                       HostShell& shell, DriverEventHost& host) {
    host.forwardToStatistics(eventWord);

    const DeviceEvent event(eventWord);
    std::uint32_t mode = 0;
    if (NeedsButton(event) &&
        (!queries.queryMode(mode) || mode >= static_cast<std::uint32_t>(kModeCount))) {
        // No usable answer (a download may hold the mouse): the mode the program knows.
        const int known = host.knownMode();
        mode = known >= 0 && known < kModeCount ? static_cast<std::uint32_t>(known) : 0;
    }
    std::uint32_t resolution = 0;
    if (event.isResolutionChange() && !queries.queryResolution(resolution)) {
        resolution = 0;
    }

    const HostAction action = DecideHostAction(eventWord, mode, profile, resolution);
    switch (action.type) {
        case HostAction::Type::Open:
            shell.open(action.target);
            break;
        case HostAction::Type::PlaySound:
            shell.playSound(action.target);
            break;
        case HostAction::Type::Run:
            shell.run(action.commandLine);
            break;
        case HostAction::Type::ShowDpi:
            host.showDpiIndicator(action.dpiLevel);
            break;
        case HostAction::Type::None:
            break;
    }
}

}  // namespace q350::app
