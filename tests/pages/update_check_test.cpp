#include "pages/update_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "base/linux/signing.h"
#include "base/signature.h"
#include "base/utf.h"
#include "device/firmware_image.h"
#include "lang/code_page.h"

namespace q350::pages {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kServer[] = u"http://127.0.0.1:8765";
const std::u16string kXmlAddress = UpdateXmlAddress(kServer);
const std::u16string kImageAddress = u"http://127.0.0.1:8765/fw/q350.bin";

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> UpdateXml(
    std::string_view driver, std::string_view firmware,
    std::string_view firmwareAddress = "http://127.0.0.1:8765/fw/q350.bin",
    std::string_view driverAddress = "http://127.0.0.1:8765/Q350Setup.exe",
    std::string_view driverDigest = "") {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\"?>\n<update>\n  <current><driver>" << driver
        << "</driver><firmware>" << firmware << "</firmware></current>\n  <newfile><driver>"
        << driverAddress << "</driver><firmware>" << firmwareAddress
        << "</firmware></newfile>\n";
    if (!driverDigest.empty()) {
        xml << "  <sha256><driver>" << driverDigest << "</driver></sha256>\n";
    }
    xml << "</update>\n";
    return Bytes(xml.str());
}

std::string HexDigest(const std::vector<std::uint8_t>& bytes) {
    std::array<std::uint8_t, 32> digest{};
    EXPECT_TRUE(Sha256(bytes, digest));
    std::string hex;
    for (const std::uint8_t b : digest) {
        hex += "0123456789abcdef"[b >> 4];
        hex += "0123456789abcdef"[b & 15];
    }
    return hex;
}

const std::u16string kPackageAddress = u"http://127.0.0.1:8765/Q350Setup.exe";

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

fs::path KeyFile(const char* name) {
    const char* source = std::getenv("Q350_SOURCE_DIR");
    return fs::path(source ? source : ".") / "tests" / "keys" / name;
}

std::vector<std::uint8_t> Signed(const std::vector<std::uint8_t>& bytes,
                                 const char* key = "update_test_key.pem") {
    std::vector<std::uint8_t> signature;
    std::string problem;
    EXPECT_TRUE(SignWithKeyFile(KeyFile(key), bytes, signature, &problem)) << problem;
    return signature;
}

// The server is a table of addresses; a broken transfer writes part of the file and fails.
class FakeServer final : public UrlDownloader {
public:
    // Serves bytes at address and their signature (by the test key) at address + ".sig".
    void serve(const std::u16string& address, const std::vector<std::uint8_t>& bytes) {
        served[address] = bytes;
        served[address + u".sig"] = Signed(bytes);
    }

    bool download(const std::u16string& address, const fs::path& target) override {
        downloads.push_back(address);
        const auto it = served.find(address);
        if (it == served.end()) {
            return false;
        }
        if (breakAfter > 0) {
            WriteAll(target, std::vector<std::uint8_t>(it->second.begin(),
                                                       it->second.begin() + breakAfter));
            return false;
        }
        WriteAll(target, it->second);
        return true;
    }

    std::map<std::u16string, std::vector<std::uint8_t>> served;
    std::size_t breakAfter = 0;
    std::vector<std::u16string> downloads;
};

// The user answers every question the same way; the mouse reports a fixed version.
class FakeEnvironment final : public UpdateEnvironment {
public:
    void notify(UpdateMessage m) override { shown.push_back(m); }
    bool ask(UpdateMessage m) override {
        shown.push_back(m);
        return answer;
    }
    void openAddress(const std::u16string& a) override { opened.push_back(a); }
    void startFlasher() override { ++flasherStarts; }
    bool readMouseFirmware(std::uint32_t& v) override {
        if (!mouseAnswers) {
            return false;
        }
        v = mouseFirmware;
        return true;
    }

    bool answer = true;
    bool mouseAnswers = true;
    std::uint32_t mouseFirmware = 1;
    std::vector<std::u16string> opened;
    std::vector<UpdateMessage> shown;
    int flasherStarts = 0;
};

fs::path TestFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return fs::temp_directory_path() /
           ("q350-update-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + info->name());
}

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "update" / "new_version");
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path xmlPath() const { return checker.updateXmlPath(); }
    fs::path imagePath() const { return checker.firmwareImagePath(); }
    // A file stored as an earlier check would have left it, with its signature.
    void storeSigned(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
        WriteAll(path, bytes);
        WriteAll(UpdateChecker::SignaturePath(path), Signed(bytes));
    }
    // Only the stored files are in the folder: no temporary file is ever left behind.
    std::vector<std::string> folderFiles() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder_ / "update" / "new_version")) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_ = TestFolder();
    lang::BasicCodePageConverter converter_;
    lang::XmlReader reader_{converter_};
    FakeEnvironment env;
    FakeServer server;
    UpdateChecker checker{env, server, reader_, folder_, kXmlAddress};
};

TEST(UpdateAddresses, ServerPathSchemesAndNumbers) {
    EXPECT_EQ(UpdateXmlAddress(u""), u"https://update.quorv.com/software/q350/update.xml");
    EXPECT_EQ(UpdateXmlAddress(u"http://127.0.0.1:8765/"),
              u"http://127.0.0.1:8765/software/q350/update.xml");
    EXPECT_TRUE(IsWebAddress(u"HTTPS://x", false));
    EXPECT_TRUE(IsWebAddress(u"https://x/a.bin", false));
    // Plain http only where the build allows it; this test build does.
    EXPECT_FALSE(IsWebAddress(u"http://x/a.bin", false));
    EXPECT_FALSE(IsWebAddress(u"HTTP://x/a.bin", false));
    EXPECT_TRUE(IsWebAddress(u"http://x/a.bin", true));
    EXPECT_EQ(FollowsHttp(), TrustsTestKey());
    EXPECT_TRUE(FollowsHttp());
    for (const char16_t* refused : {u"", u"http://", u"https://", u"file:///C:/Windows/notepad.exe",
                                    u"C:\\evil.exe", u"ftp://x/y", u" https://x"}) {
        EXPECT_FALSE(IsWebAddress(refused, true)) << std::string(refused, refused + 3);
    }
    EXPECT_EQ(ReadUpdateNumber(u"12"), 12u);
    EXPECT_EQ(ReadUpdateNumber(u"\n 7 \n"), 7u);
    EXPECT_EQ(ReadUpdateNumber(u"3rc1"), 3u);
    EXPECT_EQ(ReadUpdateNumber(u"0"), 0u);
    EXPECT_EQ(ReadUpdateNumber(u"4294967295"), 4294967295u);
    EXPECT_FALSE(ReadUpdateNumber(u"4294967296"));
    EXPECT_FALSE(ReadUpdateNumber(u""));
    EXPECT_FALSE(ReadUpdateNumber(u"v2"));
}

TEST(UpdateMessages, BothLanguagesAndTheEnglishOnlyDownloadFailure) {
    EXPECT_EQ(UpdateMessageText(UpdateMessage::UpdateFailed, false), u"Update failed");
    EXPECT_EQ(UpdateMessageText(UpdateMessage::UpdateFailed, true), u"升级失败!");
    EXPECT_EQ(
        UpdateMessageText(UpdateMessage::NewDriver, false),
        u"A new version of driver is available for the gaming mouse,whether to update or not?");
    EXPECT_EQ(UpdateMessageText(UpdateMessage::FirmwareLatest, true), u"固件已经是最新版本.");
    EXPECT_EQ(UpdateMessageText(UpdateMessage::FirmwareDownloadFailed, true),
              UpdateMessageText(UpdateMessage::FirmwareDownloadFailed, false));
    EXPECT_EQ(UpdateMessageText(UpdateMessage::Unverified, false),
              u"The update could not be verified and was not used.");
    EXPECT_NE(UpdateMessageText(UpdateMessage::Unverified, true),
              UpdateMessageText(UpdateMessage::Unverified, false));
}

TEST_F(UpdateCheckTest, SoftwareOneIsLatestTwoAsksAndOpensTheCheckedPackage) {
    server.serve(kXmlAddress, UpdateXml("1", "1"));
    EXPECT_TRUE(checker.checkSoftware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::DriverLatest});
    EXPECT_EQ(ReadAll(xmlPath()), server.served[kXmlAddress]);
    EXPECT_EQ(server.downloads, (std::vector<std::u16string>{kXmlAddress, kXmlAddress + u".sig"}));

    const auto package = Bytes("MZ the new installer");
    server.served[kPackageAddress] = package;
    env.shown.clear();
    server.serve(kXmlAddress, UpdateXml("2", "1", "", "http://127.0.0.1:8765/Q350Setup.exe",
                                        HexDigest(package)));
    env.answer = false;
    EXPECT_TRUE(checker.checkSoftware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::NewDriver});
    EXPECT_TRUE(env.opened.empty());
    // Cancel changed nothing but the stored update.xml and its signature.
    EXPECT_EQ(ReadAll(xmlPath()), server.served[kXmlAddress]);
    EXPECT_EQ(ReadAll(UpdateChecker::SignaturePath(xmlPath())),
              server.served[kXmlAddress + u".sig"]);
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"update.xml", "update.xml.sig"}));

    // OK: the package is fetched, found to be the announced one, and the shell opens the file.
    env.answer = true;
    EXPECT_TRUE(checker.checkSoftware());
    EXPECT_EQ(env.opened, std::vector<std::u16string>{Utf16FromPath(checker.driverPackagePath())});
    EXPECT_EQ(ReadAll(checker.driverPackagePath()), package);
    EXPECT_EQ(server.downloads.back(), kPackageAddress);

    env.shown.clear();
    server.serve(kXmlAddress, UpdateXml("2", "1", "", "file:///C:/evil.exe", HexDigest(package)));
    EXPECT_FALSE(checker.checkSoftware());
    EXPECT_EQ(env.shown, (std::vector{UpdateMessage::NewDriver, UpdateMessage::UpdateFailed}));
    EXPECT_EQ(env.opened.size(), 1u);
}

TEST_F(UpdateCheckTest, APackageThatIsNotTheAnnouncedOneIsNeverOpened) {
    const auto package = Bytes("MZ the new installer");
    auto changed = package;
    changed.back() ^= 1;
    const std::string digest = HexDigest(package);
    std::string upper = digest;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    struct Case {
        const char* what;
        std::string digest;
        std::vector<std::uint8_t> served;
        UpdateMessage message;
    };
    const std::vector<Case> cases = {
        {"a changed byte", digest, changed, UpdateMessage::Unverified},
        {"no digest", "", package, UpdateMessage::Unverified},
        {"a short digest", digest.substr(2), package, UpdateMessage::Unverified},
        {"not hexadecimal", "g" + digest.substr(1), package, UpdateMessage::Unverified},
        {"the digest of another file", HexDigest(Bytes("other")), package,
         UpdateMessage::Unverified},
    };
    for (const Case& c : cases) {
        server.served[kPackageAddress] = c.served;
        server.serve(kXmlAddress, UpdateXml("2", "1", "", "http://127.0.0.1:8765/Q350Setup.exe",
                                            c.digest));
        env.shown.clear();
        EXPECT_FALSE(checker.checkSoftware()) << c.what;
        EXPECT_EQ(env.shown, (std::vector{UpdateMessage::NewDriver, c.message})) << c.what;
    }
    EXPECT_TRUE(env.opened.empty());
    EXPECT_FALSE(fs::exists(checker.driverPackagePath()));
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"update.xml", "update.xml.sig"}));

    // A digest in capitals, with blanks around it, is the same digest; a package that cannot be
    // fetched is a failed update.
    server.served[kPackageAddress] = package;
    server.serve(kXmlAddress, UpdateXml("2", "1", "", "http://127.0.0.1:8765/Q350Setup.exe",
                                        "\n " + upper + " \n"));
    EXPECT_TRUE(checker.checkSoftware());
    EXPECT_EQ(env.opened.size(), 1u);
    server.served.erase(kPackageAddress);
    env.shown.clear();
    EXPECT_FALSE(checker.checkSoftware());
    EXPECT_EQ(env.shown, (std::vector{UpdateMessage::NewDriver, UpdateMessage::UpdateFailed}));
}

TEST(UpdateDigests, OnlySixtyFourHexDigits) {
    const auto digest = ReadSha256(u"000102030405060708090a0b0c0d0e0f101112131415161718191A1B1C1D1E1F");
    ASSERT_TRUE(digest);
    for (std::size_t i = 0; i < digest->size(); ++i) {
        EXPECT_EQ((*digest)[i], i);
    }
    EXPECT_FALSE(ReadSha256(u""));
    EXPECT_FALSE(ReadSha256(std::u16string(63, u'a')));
    EXPECT_FALSE(ReadSha256(std::u16string(65, u'a')));
    EXPECT_FALSE(ReadSha256(std::u16string(62, u'a') + u" a"));
    EXPECT_FALSE(ReadSha256(u"0x" + std::u16string(62, u'a')));
}

TEST_F(UpdateCheckTest, UnreachableBrokenOrUnreadableAnswersFailAndKeepTheStoredFile) {
    const auto earlier = UpdateXml("1", "3");
    storeSigned(xmlPath(), earlier);
    EXPECT_FALSE(checker.checkSoftware());  // nothing served
    server.serve(kXmlAddress, UpdateXml("5", "1"));
    server.breakAfter = 40;
    EXPECT_FALSE(checker.checkSoftware());
    server.breakAfter = 0;
    // Signed, and still no answer: not a document, or without a readable version (no version 0).
    for (std::string_view reply :
         {"<html><body>Not found</body>", "<a/><b/>", "<u><current><driver>none</driver>"
                                                      "</current></u>"}) {
        server.serve(kXmlAddress, Bytes(reply));
        EXPECT_FALSE(checker.checkSoftware()) << reply;
    }
    EXPECT_EQ(env.shown, std::vector<UpdateMessage>(5, UpdateMessage::UpdateFailed));
    EXPECT_EQ(ReadAll(xmlPath()), earlier);
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"update.xml", "update.xml.sig"}));
}

TEST_F(UpdateCheckTest, AnUpdateXmlThatDoesNotVerifyIsRefusedAndDeleted) {
    env.mouseFirmware = 3;  // the stored answer offers nothing newer: the server is asked
    const auto earlier = UpdateXml("1", "3");
    storeSigned(xmlPath(), earlier);
    const auto genuine = UpdateXml("2", "9");
    auto tampered = genuine;
    tampered[tampered.size() / 2] ^= 0x01;
    const std::vector<std::uint8_t> validSig = Signed(genuine);
    const std::vector<std::pair<std::vector<std::uint8_t>, std::optional<std::vector<std::uint8_t>>>>
        cases = {
            {tampered, validSig},                                       // a changed byte
            {genuine, std::nullopt},                                    // no signature at all
            {genuine, Signed(genuine, "other_key.pem")},               // another key
            {genuine, std::vector<std::uint8_t>(validSig.begin(), validSig.end() - 1)},
            {genuine, Bytes("")},                                       // an empty one
            {genuine, [&] {  // a valid one with bytes after it, and too long anyway
                 auto longer = validSig;
                 longer.resize(100, 0);
                 return longer;
             }()},
        };
    for (const auto& [xml, sig] : cases) {
        server.served.clear();
        server.served[kXmlAddress] = xml;
        if (sig) {
            server.served[kXmlAddress + u".sig"] = *sig;
        }
        env.shown.clear();
        EXPECT_FALSE(checker.checkSoftware());
        EXPECT_EQ(env.shown, std::vector{UpdateMessage::Unverified});
        EXPECT_FALSE(checker.checkFirmware());
        EXPECT_EQ(env.shown, (std::vector{UpdateMessage::Unverified, UpdateMessage::Unverified}));
    }
    EXPECT_TRUE(env.opened.empty());
    EXPECT_EQ(env.flasherStarts, 0);
    // The stored answer of before is still the one, and nothing unverified was left behind.
    EXPECT_EQ(ReadAll(xmlPath()), earlier);
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"update.xml", "update.xml.sig"}));
}

TEST_F(UpdateCheckTest, NewerFirmwareIsDownloadedVerifiedStoredAndFlashed) {
    const auto image = BuildFirmwareImage(7, std::vector<std::uint8_t>(5000, 0x42));
    server.serve(kXmlAddress, UpdateXml("1", "7"));
    server.serve(kImageAddress, image);
    EXPECT_TRUE(checker.checkFirmware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::NewFirmware});
    EXPECT_EQ(ReadAll(imagePath()), image);
    EXPECT_TRUE(VerifyTrusted(ReadAll(imagePath()),
                              ReadAll(UpdateChecker::SignaturePath(imagePath()))));
    EXPECT_EQ(env.flasherStarts, 1);
    EXPECT_EQ(checker.firmwareAddress(), kImageAddress);
    EXPECT_EQ(server.downloads, (std::vector<std::u16string>{kXmlAddress, kXmlAddress + u".sig",
                                                             kImageAddress,
                                                             kImageAddress + u".sig"}));
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"QuorvGameDevice.bin",
                                                       "QuorvGameDevice.bin.sig", "update.xml",
                                                       "update.xml.sig"}));
}

TEST_F(UpdateCheckTest, FirmwareEqualToTheServersIsLatestAndCancelStartsNothing) {
    env.mouseFirmware = 7;
    server.serve(kXmlAddress, UpdateXml("1", "7"));
    EXPECT_FALSE(checker.checkFirmware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::FirmwareLatest});

    env.shown.clear();
    env.mouseFirmware = 3;
    env.answer = false;
    server.serve(kImageAddress, BuildFirmwareImage(7, std::vector<std::uint8_t>(10, 1)));
    EXPECT_FALSE(checker.checkFirmware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::NewFirmware});
    EXPECT_EQ(env.flasherStarts, 0);
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"update.xml", "update.xml.sig"}));
}

TEST_F(UpdateCheckTest, AStoredSignedNewerFirmwareIsOfferedWithoutAskingTheServer) {
    // A mouse without a version and an earlier update.xml announcing firmware 2.
    env.mouseFirmware = 0;
    storeSigned(xmlPath(), UpdateXml("1", "2"));
    const auto image = BuildFirmwareImage(2, std::vector<std::uint8_t>(64, 9));
    server.serve(kImageAddress, image);
    EXPECT_TRUE(checker.checkFirmware());
    EXPECT_EQ(server.downloads,
              (std::vector<std::u16string>{kImageAddress, kImageAddress + u".sig"}));
    EXPECT_EQ(ReadAll(imagePath()), image);
    EXPECT_EQ(env.flasherStarts, 1);
}

TEST_F(UpdateCheckTest, AStoredUpdateXmlThatDoesNotVerifyIsForgottenAndTheServerAsked) {
    env.mouseFirmware = 3;
    // Put there by someone else: announces 9 from another address, with no or a wrong signature.
    const auto planted = UpdateXml("1", "9", "http://127.0.0.1:8765/evil.bin");
    for (int withSignature = 0; withSignature < 2; ++withSignature) {
        WriteAll(xmlPath(), planted);
        if (withSignature) {
            WriteAll(UpdateChecker::SignaturePath(xmlPath()), Signed(planted, "other_key.pem"));
        }
        server.downloads.clear();
        server.serve(kXmlAddress, UpdateXml("1", "3"));
        env.shown.clear();
        EXPECT_FALSE(checker.checkFirmware());
        EXPECT_EQ(env.shown, std::vector{UpdateMessage::FirmwareLatest});
        EXPECT_EQ(server.downloads.front(), kXmlAddress);
        EXPECT_EQ(ReadAll(xmlPath()), server.served[kXmlAddress]);
    }
    EXPECT_EQ(env.flasherStarts, 0);
}

TEST_F(UpdateCheckTest, SignedImagesThatDoNotFitAndUnsignedOnesNeverReachTheFlasher) {
    env.mouseFirmware = 5;
    server.serve(kXmlAddress, UpdateXml("1", "7"));
    const auto good = BuildFirmwareImage(7, std::vector<std::uint8_t>(3000, 0x11));
    const auto earlierImage = BuildFirmwareImage(5, std::vector<std::uint8_t>(8, 5));
    storeSigned(imagePath(), earlierImage);

    auto tampered = good;
    tampered[1000] ^= 0x20;
    auto otherModel = good;
    otherModel[3] = '9';  // "Q390FWIM"
    otherModel = [&] {  // with a CRC that fits, so the magic alone tells it apart
        std::vector<std::uint8_t> body(otherModel.begin(), otherModel.end() - 4);
        const std::uint32_t crc = Crc32(body);
        for (int shift = 0; shift < 32; shift += 8) {
            body.push_back(static_cast<std::uint8_t>(crc >> shift));
        }
        return body;
    }();
    const auto older = BuildFirmwareImage(4, std::vector<std::uint8_t>(3000, 0x11));
    const auto unannounced = BuildFirmwareImage(8, std::vector<std::uint8_t>(3000, 0x11));
    const auto truncated = std::vector<std::uint8_t>(good.begin(), good.begin() + 2000);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> image;
        std::optional<std::vector<std::uint8_t>> signature;
    };
    const std::vector<Case> cases = {
        {"a changed byte", tampered, Signed(good)},
        {"no signature", good, std::nullopt},
        {"another key", good, Signed(good, "other_key.pem")},
        {"the signature of update.xml", good, server.served[kXmlAddress + u".sig"]},
        {"another model, signed", otherModel, Signed(otherModel)},
        {"a downgrade, signed", older, Signed(older)},
        {"not the version announced, signed", unannounced, Signed(unannounced)},
        {"a broken CRC, signed", tampered, Signed(tampered)},
        {"truncated, signed", truncated, Signed(truncated)},
        {"no image at all, signed", Bytes("<html>"), Signed(Bytes("<html>"))},
    };
    for (const Case& c : cases) {
        server.served[kImageAddress] = c.image;
        server.served.erase(kImageAddress + u".sig");
        if (c.signature) {
            server.served[kImageAddress + u".sig"] = *c.signature;
        }
        env.shown.clear();
        EXPECT_FALSE(checker.checkFirmware()) << c.what;
        EXPECT_EQ(env.shown, (std::vector{UpdateMessage::NewFirmware, UpdateMessage::Unverified}))
            << c.what;
    }
    EXPECT_EQ(env.flasherStarts, 0);
    EXPECT_EQ(ReadAll(imagePath()), earlierImage);
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"QuorvGameDevice.bin",
                                                       "QuorvGameDevice.bin.sig", "update.xml",
                                                       "update.xml.sig"}));
}

TEST_F(UpdateCheckTest, ImagesThatCannotBeFetchedAreDownloadFailures) {
    server.serve(kXmlAddress, UpdateXml("1", "7"));
    EXPECT_FALSE(checker.checkFirmware());  // the address does not answer
    server.serve(kImageAddress, BuildFirmwareImage(7, std::vector<std::uint8_t>(3000, 0x11)));
    server.breakAfter = 100;
    EXPECT_FALSE(checker.checkFirmware());
    server.breakAfter = 0;
    // Addresses that are not web addresses are not even tried: one from the stored update.xml,
    // one from the server's.
    storeSigned(xmlPath(), UpdateXml("1", "8", "file:///C:/q350.bin"));
    EXPECT_FALSE(checker.checkFirmware());
    env.mouseFirmware = 9;
    server.serve(kXmlAddress, UpdateXml("1", "10", "C:\\q350.bin"));
    EXPECT_FALSE(checker.checkFirmware());
    for (const auto& address : server.downloads) {
        EXPECT_TRUE(IsWebAddress(address, true));
    }
    EXPECT_EQ(env.flasherStarts, 0);
    EXPECT_EQ(std::count(env.shown.begin(), env.shown.end(), UpdateMessage::FirmwareDownloadFailed),
              4);
    EXPECT_FALSE(fs::exists(imagePath()));
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"update.xml", "update.xml.sig"}));
}

TEST_F(UpdateCheckTest, NoMouseOrNoVersionEndsTheCheckSilently) {
    env.mouseAnswers = false;
    server.serve(kXmlAddress, UpdateXml("1", "7"));
    EXPECT_FALSE(checker.checkFirmware());
    EXPECT_TRUE(env.shown.empty());
    EXPECT_TRUE(server.downloads.empty());
    // A server that cannot be reached.
    env.mouseAnswers = true;
    server.served.clear();
    EXPECT_FALSE(checker.checkFirmware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::UpdateFailed});
}

}  // namespace
}  // namespace q350::pages
