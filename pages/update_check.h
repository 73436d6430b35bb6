#pragma once

// The software and firmware checks of the support page against the update server. Both read
// update.xml (group "current": the newest version numbers; group "newfile": the addresses of the
// packages) from the server into update\new_version below the program folder. A newer software
// package is handed to the shell; a newer firmware image is downloaded beside update.xml, checked
// completely and only then handed to the flasher, after which the program closes. Every download
// goes to a temporary file first and replaces the stored file only once its content was checked,
// so a broken transfer never leaves a truncated file behind. UI thread only (the downloads block).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "lang/xml_reader.h"
#include "pages/url_downloader.h"

namespace q350::pages {

// The maker's update server; the environment variable Q350_UPDATE_SERVER replaces it (tests run
// against a server on the loopback interface).
inline constexpr std::u16string_view kDefaultUpdateServer = u"https://update.quorv.com";
inline constexpr std::u16string_view kUpdateXmlServerPath = u"/software/q350/update.xml";
// The software's own version number in the update scheme.
inline constexpr std::uint32_t kSoftwareUpdateNumber = 1;

// Below the program folder: update\new_version.
inline constexpr std::u16string_view kUpdateFolder = u"update";
inline constexpr std::u16string_view kNewVersionFolder = u"new_version";
inline constexpr std::u16string_view kUpdateXmlName = u"update.xml";
inline constexpr std::u16string_view kFirmwareImageName = u"QuorvGameDevice.bin";
// Appended to a stored file's name while its download is under way.
inline constexpr std::u16string_view kDownloadSuffix = u".download";

// The address of update.xml on the server given (the default one when empty); a trailing slash
// of the server is dropped.
std::u16string UpdateXmlAddress(std::u16string_view server);
// Whether an address from update.xml may be used at all: http or https only.
bool IsWebAddress(std::u16string_view address);
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
};
std::u16string_view UpdateMessageText(UpdateMessage message, bool chinese);

// What the checks need from the user and the system besides the downloads.
class UpdateEnvironment {
public:
    virtual ~UpdateEnvironment() = default;
    // A notice, or a question answered with OK (true) or anything else (false).
    virtual void notify(UpdateMessage message) = 0;
    virtual bool ask(UpdateMessage message) = 0;
    // Lets the shell open a web address.
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

    // True when the server was reached and its answer could be read.
    bool checkSoftware();
    // True when a firmware update was accepted and handed to the flasher.
    bool checkFirmware();
    // Downloads the firmware image from address, checks it and stores it; the download-failed
    // notice and false when any of that fails.
    bool downloadFirmware(const std::u16string& address);

    // The firmware package address of the last server check of this run (empty until then).
    const std::u16string& firmwareAddress() const { return firmwareAddress_; }
    std::filesystem::path updateXmlPath() const;
    std::filesystem::path firmwareImagePath() const;
    std::filesystem::path newVersionFolder() const;

private:
    struct Answer {
        std::optional<std::uint32_t> number;  // current/<key>
        std::u16string address;               // newfile/<key>
    };
    // Reads a stored update.xml; nothing when it cannot be read or parsed.
    std::optional<Answer> readAnswer(const std::filesystem::path& file, std::u16string_view key);
    // Downloads update.xml and keeps it only when it parses and carries a number for key.
    std::optional<Answer> fetchAnswer(std::u16string_view key);

    UpdateEnvironment& env_;
    UrlDownloader& downloader_;
    lang::XmlReader& reader_;
    std::filesystem::path folder_;
    std::u16string address_;
    std::u16string firmwareAddress_;
};

}  // namespace q350::pages
