#include "pages/update_check.h"

#include <system_error>
#include <vector>

#include "base/file_io.h"
#include "base/utf.h"
#include "device/firmware_image.h"

namespace q350::pages {

namespace {

constexpr std::u16string_view kGroupCurrent = u"current";
constexpr std::u16string_view kGroupNewFile = u"newfile";
constexpr std::u16string_view kKeyDriver = u"driver";
constexpr std::u16string_view kKeyFirmware = u"firmware";
// The largest image file, and one byte more so that a longer one is recognised as such.
constexpr std::size_t kImageReadLimit =
    kFirmwareHeaderSize + kMaxFirmwarePayload + kFirmwareTrailerSize + 1;

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::filesystem::path WithSuffix(const std::filesystem::path& file) {
    std::filesystem::path temporary = file;
    temporary += PathFromUtf16(kDownloadSuffix);
    return temporary;
}

void RemoveQuietly(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
}

}  // namespace

std::u16string UpdateXmlAddress(std::u16string_view server) {
    std::u16string base(server.empty() ? kDefaultUpdateServer : server);
    while (!base.empty() && base.back() == u'/') {
        base.pop_back();
    }
    return base + std::u16string(kUpdateXmlServerPath);
}

bool IsWebAddress(std::u16string_view address) {
    for (std::u16string_view scheme :
         {std::u16string_view(u"http://"), std::u16string_view(u"https://")}) {
        if (StartsWithNoCase(address, scheme) && address.size() > scheme.size()) {
            return true;
        }
    }
    return false;
}

std::optional<std::uint32_t> ReadUpdateNumber(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r' || text[i] == u'\n')) {
        ++i;
    }
    std::uint64_t value = 0;
    const std::size_t first = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + static_cast<std::uint64_t>(text[i] - u'0');
        if (value > 0xFFFFFFFFull) {
            return std::nullopt;
        }
    }
    if (i == first) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::u16string_view UpdateMessageText(UpdateMessage message, bool chinese) {
    switch (message) {
        case UpdateMessage::UpdateFailed:
            return chinese ? u"升级失败!" : u"Update failed";
        case UpdateMessage::NewDriver:
            return chinese ? u"鼠标驱动程序有更新，是否下载最新版本？"
                           : u"A new version of driver is available for the gaming "
                             u"mouse,whether to update or not?";
        case UpdateMessage::DriverLatest:
            return chinese ? u"驱动已经是最新版本！" : u"Driver is the latest version.";
        case UpdateMessage::NewFirmware:
            return chinese ? u"游戏鼠标固件有更新,是否更新到最新版本?"
                           : u"A new version of firmware is available for the gaming mouse, "
                             u"whether to update or not?";
        case UpdateMessage::FirmwareLatest:
            return chinese ? u"固件已经是最新版本." : u"Firmware is the latest version.";
        case UpdateMessage::FirmwareDownloadFailed:
            return u"New-version firmware download failed.";
    }
    return {};
}

UpdateChecker::UpdateChecker(UpdateEnvironment& environment, UrlDownloader& downloader,
                             lang::XmlReader& reader, std::filesystem::path programFolder,
                             std::u16string updateXmlAddress)
    : env_(environment),
      downloader_(downloader),
      reader_(reader),
      folder_(std::move(programFolder)),
      address_(std::move(updateXmlAddress)) {}

std::filesystem::path UpdateChecker::newVersionFolder() const {
    return folder_ / PathFromUtf16(kUpdateFolder) / PathFromUtf16(kNewVersionFolder);
}

std::filesystem::path UpdateChecker::updateXmlPath() const {
    return newVersionFolder() / PathFromUtf16(kUpdateXmlName);
}

std::filesystem::path UpdateChecker::firmwareImagePath() const {
    return newVersionFolder() / PathFromUtf16(kFirmwareImageName);
}

std::optional<UpdateChecker::Answer> UpdateChecker::readAnswer(const std::filesystem::path& file,
                                                               std::u16string_view key) {
    if (!reader_.loadFile(file) || !reader_.parse()) {
        return std::nullopt;
    }
    Answer answer;
    answer.number = ReadUpdateNumber(reader_.lookup(kGroupCurrent, key));
    answer.address = reader_.lookup(kGroupNewFile, key);
    return answer;
}

std::optional<UpdateChecker::Answer> UpdateChecker::fetchAnswer(std::u16string_view key) {
    const std::filesystem::path stored = updateXmlPath();
    const std::filesystem::path temporary = WithSuffix(stored);
    RemoveQuietly(temporary);
    if (!downloader_.download(address_, temporary)) {
        RemoveQuietly(temporary);
        return std::nullopt;
    }
    // An answer that is no XML document or names no version is a failed check, never a
    // version 0, and does not replace the stored file.
    std::optional<Answer> answer = readAnswer(temporary, key);
    if (!answer || !answer->number || !ReplaceFileWith(temporary, stored)) {
        RemoveQuietly(temporary);
        return std::nullopt;
    }
    return answer;
}

bool UpdateChecker::checkSoftware() {
    const std::optional<Answer> answer = fetchAnswer(kKeyDriver);
    if (!answer) {
        env_.notify(UpdateMessage::UpdateFailed);
        return false;
    }
    if (*answer->number <= kSoftwareUpdateNumber) {
        env_.notify(UpdateMessage::DriverLatest);
        return true;
    }
    if (!env_.ask(UpdateMessage::NewDriver)) {
        return true;
    }
    if (!IsWebAddress(answer->address)) {
        env_.notify(UpdateMessage::UpdateFailed);
        return false;
    }
    env_.openAddress(answer->address);
    return true;
}

bool UpdateChecker::checkFirmware() {
    std::uint32_t mouse = 0;
    if (!env_.readMouseFirmware(mouse)) {
        return false;  // no mouse, or no version to compare with
    }
    // An update.xml of an earlier check that announces a newer firmware is offered without
    // asking the server again (a mouse without a version, 0 or 1, and a stored 2 among them);
    // its own address is the one to download from.
    std::u16string address;
    const std::optional<Answer> stored = readAnswer(updateXmlPath(), kKeyFirmware);
    if (stored && stored->number && *stored->number > mouse) {
        address = stored->address;
    } else {
        const std::optional<Answer> answer = fetchAnswer(kKeyFirmware);
        if (!answer) {
            env_.notify(UpdateMessage::UpdateFailed);
            return false;
        }
        firmwareAddress_ = answer->address;
        if (*answer->number <= mouse) {
            env_.notify(UpdateMessage::FirmwareLatest);
            return false;
        }
        address = answer->address;
    }
    if (!env_.ask(UpdateMessage::NewFirmware)) {
        return false;
    }
    // The flasher is started only with a complete, checked image in place.
    if (!downloadFirmware(address)) {
        return false;
    }
    env_.startFlasher();
    return true;
}

bool UpdateChecker::downloadFirmware(const std::u16string& address) {
    const std::filesystem::path stored = firmwareImagePath();
    const std::filesystem::path temporary = WithSuffix(stored);
    bool ok = IsWebAddress(address);
    if (ok) {
        RemoveQuietly(temporary);
        ok = downloader_.download(address, temporary);
    }
    if (ok) {
        std::vector<std::uint8_t> bytes;
        FirmwareImage image;
        ok = ReadFileBytes(temporary, bytes, nullptr, kImageReadLimit) &&
             ParseFirmwareImage(bytes, image) && ReplaceFileWith(temporary, stored);
    }
    if (!ok) {
        RemoveQuietly(temporary);
        env_.notify(UpdateMessage::FirmwareDownloadFailed);
    }
    return ok;
}

}  // namespace q350::pages
