#pragma once

// The software and firmware checks of the support page against the update server. Both read
// update.xml (group "current": the newest version numbers; group "newfile": the addresses of the
// packages) from the server into update\new_version below the program folder. A newer software
// package is handed to the shell; a newer firmware image is downloaded beside update.xml, checked
// completely and only then handed to the flasher, after which the program closes. Every download
// goes to a temporary file first and replaces the stored file only once its content was checked,
// so a broken transfer never leaves a truncated file behind.
//
// Nothing from the server is believed unless the maker signed it: update.xml and the image each
// come with a detached signature (the address plus ".sig", stored beside the file as well), and a
// file whose signature is missing or does not verify against the trusted keys is deleted and
// reported, never used. A signed image is taken only when it is the Q350's, of exactly the version
// the signed update.xml announced, and newer than the mouse's firmware. UI thread only (the
// downloads block).
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lang/xml_reader.h"
#include "pages/url_downloader.h"

namespace q350::pages {

// The maker's update server. Builds made for the tests may be pointed elsewhere (a server on the
// loopback interface).
inline constexpr std::u16string_view kDefaultUpdateServer = u"https://update.quorv.com";
inline constexpr std::u16string_view kUpdateXmlServerPath = u"/software/q350/update.xml";
// The software's own version number in the update scheme.
inline constexpr std::uint32_t kSoftwareUpdateNumber = 1;

// Below the program folder: update\new_version.
inline constexpr std::u16string_view kUpdateFolder = u"update";
inline constexpr std::u16string_view kNewVersionFolder = u"new_version";
inline constexpr std::u16string_view kUpdateXmlName = u"update.xml";
inline constexpr std::u16string_view kFirmwareImageName = u"QuorvGameDevice.bin";
// The software package, downloaded and checked before the shell opens it.
inline constexpr std::u16string_view kDriverPackageName = u"Q350Setup.exe";
// Appended to a stored file's name while its download is under way.
inline constexpr std::u16string_view kDownloadSuffix = u".download";

// The address of update.xml on the server given (the default one when empty); a trailing slash
// of the server is dropped.
std::u16string UpdateXmlAddress(std::u16string_view server);
// Whether an address may be followed at all: https only, or also plain http where allowHttp
// (builds made for the tests).
bool IsWebAddress(std::u16string_view address, bool allowHttp);
// Whether this build follows plain http addresses: only where it trusts the test key.
bool FollowsHttp();
// A SHA-256 digest written as 64 hexadecimal digits (either case, blanks around it allowed);
// none for anything else.
std::optional<std::array<std::uint8_t, 32>> ReadSha256(std::u16string_view text);
// The decimal number at the start of a text ("12", " 7 ", "3rc1" -> 3); none when there is no
// digit or the number does not fit 32 bits.
std::optional<std::uint32_t> ReadUpdateNumber(std::u16string_view text);

enum class UpdateMessage {
    UpdateFailed,
    NewDriver,  // question
    DriverLatest,
    NewFirmware,  // question
    FirmwareLatest,
    FirmwareDownloadFailed,
    // A file from the server whose signature is missing or wrong, or a signed image that does
    // not fit (another model, another version than announced, not newer than the mouse's).
    Unverified,
};
std::u16string_view UpdateMessageText(UpdateMessage message, bool chinese);

// What the checks need from the user and the system besides the downloads.
class UpdateEnvironment {
public:
    virtual ~UpdateEnvironment() = default;
    // A notice, or a question answered with OK (true) or anything else (false).
    virtual void notify(UpdateMessage message) = 0;
    virtual bool ask(UpdateMessage message) = 0;
    // Lets the shell open a file (the downloaded and checked software package).
    virtual void openAddress(const std::u16string& address) = 0;
    // Starts the flasher and closes the program.
    virtual void startFlasher() = 0;
    // Opens a second connection to the mouse, reads its firmware version and closes it again;
    // false when the mouse cannot be opened or does not answer.
    virtual bool readMouseFirmware(std::uint32_t& version) = 0;
};

class UpdateChecker {
public:
    // reader is the program's XML reader (its document is replaced by every check).
    UpdateChecker(UpdateEnvironment& environment, UrlDownloader& downloader,
                  lang::XmlReader& reader, std::filesystem::path programFolder,
                  std::u16string updateXmlAddress);

    // True when the server was reached and its answer could be read. A newer package that the
    // user wants is downloaded from its address (https, unless the build follows http) and
    // handed to the shell only when its SHA-256 is the one the signed update.xml gives beside
    // the address (group "sha256", key "driver").
    bool checkSoftware();
    // True when a firmware update was accepted and handed to the flasher.
    bool checkFirmware();
    // Downloads the firmware image from address with its signature, checks both and that the
    // image is the announced version and newer than the mouse's, and stores them; a notice and
    // false when any of that fails (the download-failed one when the image cannot be fetched,
    // the not-verified one for everything else).
    bool downloadFirmware(const std::u16string& address, std::uint32_t announced,
                          std::uint32_t mouse);

    // The firmware package address of the last server check of this run (empty until then).
    const std::u16string& firmwareAddress() const { return firmwareAddress_; }
    std::filesystem::path updateXmlPath() const;
    std::filesystem::path firmwareImagePath() const;
    std::filesystem::path driverPackagePath() const;
    std::filesystem::path newVersionFolder() const;

    // The stored signature of a stored file: its name plus ".sig".
    static std::filesystem::path SignaturePath(const std::filesystem::path& file);

private:
    enum class Fetch { Done, Failed, Unverified };
    struct Answer {
        std::optional<std::uint32_t> number;  // current/<key>
        std::u16string address;               // newfile/<key>
        std::u16string digest;                // sha256/<key>
    };
    // Downloads the software package of answer, checks its digest and lets the shell open it.
    bool openPackage(const Answer& answer);
    // Reads update.xml from bytes that verified; nothing when it does not parse.
    std::optional<Answer> readAnswer(std::span<const std::uint8_t> bytes, std::u16string_view key);
    // The stored update.xml when it and its stored signature verify; a stored pair that does not
    // is deleted.
    std::optional<Answer> readStoredAnswer(std::u16string_view key);
    // Downloads address into the temporary file of stored and its signature into the temporary
    // file of stored's signature, and verifies them; bytes holds the file on success. Whatever
    // does not verify is deleted.
    Fetch fetchSigned(const std::u16string& address, const std::filesystem::path& stored,
                      std::size_t limit, std::vector<std::uint8_t>& bytes);
    // Puts the verified temporary files of stored and its signature in their places.
    bool keepSigned(const std::filesystem::path& stored);
    // Downloads update.xml and keeps it only when it verifies, parses and carries a number for
    // key.
    Fetch fetchAnswer(std::u16string_view key, Answer& answer);

    UpdateEnvironment& env_;
    UrlDownloader& downloader_;
    lang::XmlReader& reader_;
    std::filesystem::path folder_;
    std::u16string address_;
    std::u16string firmwareAddress_;
};

}  // namespace q350::pages
