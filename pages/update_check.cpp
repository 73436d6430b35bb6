#include "pages/update_check.h"

#include <system_error>
#include <vector>

#include "base/file_io.h"
#include "base/utf.h"
#include "base/signature.h"
#include "device/firmware_image.h"

namespace q350::pages {

namespace {

constexpr std::u16string_view kGroupCurrent = u"current";
constexpr std::u16string_view kGroupNewFile = u"newfile";
constexpr std::u16string_view kGroupSha256 = u"sha256";
constexpr std::u16string_view kKeyDriver = u"driver";
constexpr std::u16string_view kKeyFirmware = u"firmware";
// The largest image file, and one byte more so that a longer one is recognised as such.
constexpr std::size_t kImageReadLimit =
    kFirmwareHeaderSize + kMaxFirmwarePayload + kFirmwareTrailerSize + 1;
// The software package: an installer of some megabytes.
constexpr std::size_t kPackageReadLimit = std::size_t{128} << 20;
// update.xml is a few hundred bytes; anything near this is no answer of the maker's.
constexpr std::size_t kUpdateXmlReadLimit = 64 * 1024;

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

bool IsWebAddress(std::u16string_view address, bool allowHttp) {
    for (std::u16string_view scheme :
         {std::u16string_view(u"https://"), std::u16string_view(u"http://")}) {
        if (StartsWithNoCase(address, scheme) && address.size() > scheme.size()) {
            return allowHttp || scheme.size() == 8;
        }
    }
    return false;
}

bool FollowsHttp() {
    return TrustsTestKey();
}

std::optional<std::array<std::uint8_t, 32>> ReadSha256(std::u16string_view text) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    std::array<std::uint8_t, 32> digest{};
    if (text.size() != 2 * digest.size()) {
        return std::nullopt;
    }
    const auto nibble = [](char16_t c) -> int {
        if (c >= u'0' && c <= u'9') {
            return c - u'0';
        }
        if (c >= u'a' && c <= u'f') {
            return c - u'a' + 10;
        }
        if (c >= u'A' && c <= u'F') {
            return c - u'A' + 10;
        }
        return -1;
    };
    for (std::size_t i = 0; i < digest.size(); ++i) {
        const int high = nibble(text[2 * i]);
        const int low = nibble(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        digest[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return digest;
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
        case UpdateMessage::Unverified:
            return chinese ? u"无法验证此更新，更新未被使用。"
                           : u"The update could not be verified and was not used.";
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

std::filesystem::path UpdateChecker::driverPackagePath() const {
    return newVersionFolder() / PathFromUtf16(kDriverPackageName);
}

std::filesystem::path UpdateChecker::SignaturePath(const std::filesystem::path& file) {
    std::filesystem::path signature = file;
    signature += std::filesystem::path(std::string(kSignatureSuffix));
    return signature;
}

std::optional<UpdateChecker::Answer> UpdateChecker::readAnswer(std::span<const std::uint8_t> bytes,
                                                               std::u16string_view key) {
    if (!reader_.loadBytes(bytes) || !reader_.parse()) {
        return std::nullopt;
    }
    Answer answer;
    answer.number = ReadUpdateNumber(reader_.lookup(kGroupCurrent, key));
    answer.address = reader_.lookup(kGroupNewFile, key);
    answer.digest = reader_.lookup(kGroupSha256, key);
    return answer;
}

std::optional<UpdateChecker::Answer> UpdateChecker::readStoredAnswer(std::u16string_view key) {
    const std::filesystem::path stored = updateXmlPath();
    const std::filesystem::path signature = SignaturePath(stored);
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> sig;
    std::error_code ec;
    if (!std::filesystem::exists(stored, ec)) {
        return std::nullopt;  // no earlier check
    }
    if (!ReadFileBytes(stored, bytes, nullptr, kUpdateXmlReadLimit) ||
        !ReadFileBytes(signature, sig, nullptr, kMaxSignatureSize + 1) ||
        !VerifyTrusted(bytes, sig)) {
        // Not the maker's: it is forgotten, and the server is asked instead.
        RemoveQuietly(stored);
        RemoveQuietly(signature);
        return std::nullopt;
    }
    return readAnswer(bytes, key);
}

UpdateChecker::Fetch UpdateChecker::fetchSigned(const std::u16string& address,
                                                const std::filesystem::path& stored,
                                                std::size_t limit,
                                                std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path temporary = WithSuffix(stored);
    const std::filesystem::path temporarySig = WithSuffix(SignaturePath(stored));
    RemoveQuietly(temporary);
    RemoveQuietly(temporarySig);
    const auto drop = [&](Fetch result) {
        RemoveQuietly(temporary);
        RemoveQuietly(temporarySig);
        return result;
    };
    if (!IsWebAddress(address, FollowsHttp()) || !downloader_.download(address, temporary) ||
        !ReadFileBytes(temporary, bytes, nullptr, limit) || bytes.size() >= limit) {
        return drop(Fetch::Failed);
    }
    // A file without its signature is as good as one with a wrong one.
    const std::u16string sigAddress = address + Utf8ToUtf16(kSignatureSuffix);
    std::vector<std::uint8_t> sig;
    if (!downloader_.download(sigAddress, temporarySig) ||
        !ReadFileBytes(temporarySig, sig, nullptr, kMaxSignatureSize + 1) ||
        !VerifyTrusted(bytes, sig)) {
        return drop(Fetch::Unverified);
    }
    return Fetch::Done;
}

bool UpdateChecker::keepSigned(const std::filesystem::path& stored) {
    // The signature first: a file that ends up beside the wrong signature fails its next check
    // and is forgotten, never believed.
    const std::filesystem::path signature = SignaturePath(stored);
    if (ReplaceFileWith(WithSuffix(signature), signature) &&
        ReplaceFileWith(WithSuffix(stored), stored)) {
        return true;
    }
    RemoveQuietly(WithSuffix(stored));
    RemoveQuietly(WithSuffix(signature));
    return false;
}

UpdateChecker::Fetch UpdateChecker::fetchAnswer(std::u16string_view key, Answer& answer) {
    const std::filesystem::path stored = updateXmlPath();
    std::vector<std::uint8_t> bytes;
    const Fetch fetched = fetchSigned(address_, stored, kUpdateXmlReadLimit, bytes);
    if (fetched != Fetch::Done) {
        return fetched;
    }
    // An answer that is no XML document or names no version is a failed check, never a
    // version 0, and does not replace the stored file.
    std::optional<Answer> read = readAnswer(bytes, key);
    if (!read || !read->number) {
        RemoveQuietly(WithSuffix(stored));
        RemoveQuietly(WithSuffix(SignaturePath(stored)));
        return Fetch::Failed;
    }
    if (!keepSigned(stored)) {
        return Fetch::Failed;
    }
    answer = *read;
    return Fetch::Done;
}

bool UpdateChecker::checkSoftware() {
    Answer answer;
    const Fetch fetched = fetchAnswer(kKeyDriver, answer);
    if (fetched != Fetch::Done) {
        env_.notify(fetched == Fetch::Unverified ? UpdateMessage::Unverified
                                                 : UpdateMessage::UpdateFailed);
        return false;
    }
    if (*answer.number <= kSoftwareUpdateNumber) {
        env_.notify(UpdateMessage::DriverLatest);
        return true;
    }
    if (!env_.ask(UpdateMessage::NewDriver)) {
        return true;
    }
    return openPackage(answer);
}

bool UpdateChecker::openPackage(const Answer& answer) {
    if (!IsWebAddress(answer.address, FollowsHttp())) {
        env_.notify(UpdateMessage::UpdateFailed);
        return false;
    }
    // Without the digest from the signed update.xml the package could be anything.
    const std::optional<std::array<std::uint8_t, 32>> wanted = ReadSha256(answer.digest);
    if (!wanted) {
        env_.notify(UpdateMessage::Unverified);
        return false;
    }
    const std::filesystem::path stored = driverPackagePath();
    const std::filesystem::path temporary = WithSuffix(stored);
    RemoveQuietly(temporary);
    std::vector<std::uint8_t> bytes;
    if (!downloader_.download(answer.address, temporary) ||
        !ReadFileBytes(temporary, bytes, nullptr, kPackageReadLimit) ||
        bytes.size() >= kPackageReadLimit) {
        RemoveQuietly(temporary);
        env_.notify(UpdateMessage::UpdateFailed);
        return false;
    }
    std::array<std::uint8_t, 32> digest{};
    if (!Sha256(bytes, digest) || digest != *wanted) {
        RemoveQuietly(temporary);
        env_.notify(UpdateMessage::Unverified);
        return false;
    }
    if (!ReplaceFileWith(temporary, stored)) {
        RemoveQuietly(temporary);
        env_.notify(UpdateMessage::UpdateFailed);
        return false;
    }
    env_.openAddress(Utf16FromPath(stored));
    return true;
}

bool UpdateChecker::checkFirmware() {
    std::uint32_t mouse = 0;
    if (!env_.readMouseFirmware(mouse)) {
        return false;  // no mouse, or no version to compare with
    }
    // A signed update.xml of an earlier check that announces a newer firmware is offered
    // without asking the server again (a mouse without a version, 0 or 1, and a stored 2 among
    // them); its own address is the one to download from.
    Answer chosen;
    const std::optional<Answer> stored = readStoredAnswer(kKeyFirmware);
    if (stored && stored->number && *stored->number > mouse) {
        chosen = *stored;
    } else {
        Answer answer;
        const Fetch fetched = fetchAnswer(kKeyFirmware, answer);
        if (fetched != Fetch::Done) {
            env_.notify(fetched == Fetch::Unverified ? UpdateMessage::Unverified
                                                     : UpdateMessage::UpdateFailed);
            return false;
        }
        firmwareAddress_ = answer.address;
        if (*answer.number <= mouse) {
            env_.notify(UpdateMessage::FirmwareLatest);
            return false;
        }
        chosen = answer;
    }
    if (!env_.ask(UpdateMessage::NewFirmware)) {
        return false;
    }
    // The flasher is started only with a complete, signed and fitting image in place.
    if (!downloadFirmware(chosen.address, *chosen.number, mouse)) {
        return false;
    }
    env_.startFlasher();
    return true;
}

bool UpdateChecker::downloadFirmware(const std::u16string& address, std::uint32_t announced,
                                     std::uint32_t mouse) {
    const std::filesystem::path stored = firmwareImagePath();
    std::vector<std::uint8_t> bytes;
    Fetch fetched = fetchSigned(address, stored, kImageReadLimit, bytes);
    if (fetched == Fetch::Done) {
        // Signed by the maker, and still it must be this mouse's, the one announced, and no
        // step back.
        FirmwareImage image;
        if (!ParseFirmwareImage(bytes, image) || !FirmwareFits(image.version, announced, mouse)) {
            RemoveQuietly(WithSuffix(stored));
            RemoveQuietly(WithSuffix(SignaturePath(stored)));
            fetched = Fetch::Unverified;
        } else if (!keepSigned(stored)) {
            fetched = Fetch::Failed;
        }
    }
    if (fetched == Fetch::Failed) {
        env_.notify(UpdateMessage::FirmwareDownloadFailed);
    } else if (fetched == Fetch::Unverified) {
        env_.notify(UpdateMessage::Unverified);
    }
    return fetched == Fetch::Done;
}

}  // namespace q350::pages
