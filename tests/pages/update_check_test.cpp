#include "pages/update_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>
#include <sstream>
#include <vector>

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
    std::string_view driverAddress = "http://127.0.0.1:8765/Q350Setup.exe") {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\"?>\n<update>\n  <current><driver>" << driver
        << "</driver><firmware>" << firmware << "</firmware></current>\n  <newfile><driver>"
        << driverAddress << "</driver><firmware>" << firmwareAddress
        << "</firmware></newfile>\n</update>\n";
    return Bytes(xml.str());
}

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The server is a table of addresses; a broken transfer writes part of the file and fails.
class FakeServer final : public UrlDownloader {
public:
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

TEST(UpdateAddresses, ServerPathWebSchemesAndNumbers) {
    EXPECT_EQ(UpdateXmlAddress(u""), u"https://update.quorv.com/software/q350/update.xml");
    EXPECT_EQ(UpdateXmlAddress(u"http://127.0.0.1:8765/"),
              u"http://127.0.0.1:8765/software/q350/update.xml");
    EXPECT_TRUE(IsWebAddress(u"http://x/a.bin"));
    EXPECT_TRUE(IsWebAddress(u"HTTPS://x"));
    for (const char16_t* refused : {u"", u"http://", u"file:///C:/Windows/notepad.exe",
                                    u"C:\\evil.exe", u"ftp://x/y", u" http://x"}) {
        EXPECT_FALSE(IsWebAddress(refused)) << std::string(refused, refused + 3);
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
}

TEST_F(UpdateCheckTest, SoftwareOneIsLatestTwoAsksAndOpensOnlyWebAddresses) {
    server.served[kXmlAddress] = UpdateXml("1", "1");
    EXPECT_TRUE(checker.checkSoftware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::DriverLatest});
    EXPECT_EQ(ReadAll(xmlPath()), server.served[kXmlAddress]);

    env.shown.clear();
    server.served[kXmlAddress] = UpdateXml("2", "1");
    env.answer = false;
    EXPECT_TRUE(checker.checkSoftware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::NewDriver});
    EXPECT_TRUE(env.opened.empty());
    // Cancel changed nothing but the stored update.xml.
    EXPECT_EQ(ReadAll(xmlPath()), server.served[kXmlAddress]);
    EXPECT_EQ(folderFiles(), std::vector<std::string>{"update.xml"});

    env.answer = true;
    EXPECT_TRUE(checker.checkSoftware());
    EXPECT_EQ(env.opened, std::vector<std::u16string>{u"http://127.0.0.1:8765/Q350Setup.exe"});

    env.shown.clear();
    server.served[kXmlAddress] = UpdateXml("2", "1", "", "file:///C:/evil.exe");
    EXPECT_FALSE(checker.checkSoftware());
    EXPECT_EQ(env.shown, (std::vector{UpdateMessage::NewDriver, UpdateMessage::UpdateFailed}));
    EXPECT_EQ(env.opened.size(), 1u);
}

TEST_F(UpdateCheckTest, UnreachableBrokenOrUnreadableAnswersFailAndKeepTheStoredFile) {
    const auto earlier = UpdateXml("1", "3");
    WriteAll(xmlPath(), earlier);
    EXPECT_FALSE(checker.checkSoftware());  // nothing served
    server.served[kXmlAddress] = UpdateXml("5", "1");
    server.breakAfter = 40;
    EXPECT_FALSE(checker.checkSoftware());
    server.breakAfter = 0;
    for (std::string_view reply : {"<html><body>Not found</body>", "", "<a/><b/>"}) {
        server.served[kXmlAddress] = Bytes(reply);
        EXPECT_FALSE(checker.checkSoftware()) << reply;
    }
    // A document without a readable version is no version 0.
    server.served[kXmlAddress] = UpdateXml("none", "1");
    EXPECT_FALSE(checker.checkSoftware());
    EXPECT_EQ(env.shown, std::vector<UpdateMessage>(6, UpdateMessage::UpdateFailed));
    EXPECT_EQ(ReadAll(xmlPath()), earlier);
    EXPECT_EQ(folderFiles(), std::vector<std::string>{"update.xml"});
}

TEST_F(UpdateCheckTest, NewerFirmwareIsDownloadedCheckedStoredAndFlashed) {
    const auto image = BuildFirmwareImage(7, std::vector<std::uint8_t>(5000, 0x42));
    server.served[kXmlAddress] = UpdateXml("1", "7");
    server.served[kImageAddress] = image;
    EXPECT_TRUE(checker.checkFirmware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::NewFirmware});
    EXPECT_EQ(ReadAll(imagePath()), image);
    EXPECT_EQ(env.flasherStarts, 1);
    EXPECT_EQ(checker.firmwareAddress(), kImageAddress);
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"QuorvGameDevice.bin", "update.xml"}));
}

TEST_F(UpdateCheckTest, FirmwareEqualToTheServersIsLatestAndCancelStartsNothing) {
    env.mouseFirmware = 7;
    server.served[kXmlAddress] = UpdateXml("1", "7");
    EXPECT_FALSE(checker.checkFirmware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::FirmwareLatest});

    env.shown.clear();
    env.mouseFirmware = 3;
    env.answer = false;
    server.served[kImageAddress] = BuildFirmwareImage(7, std::vector<std::uint8_t>(10, 1));
    EXPECT_FALSE(checker.checkFirmware());
    EXPECT_EQ(env.shown, std::vector{UpdateMessage::NewFirmware});
    EXPECT_EQ(env.flasherStarts, 0);
    EXPECT_EQ(folderFiles(), std::vector<std::string>{"update.xml"});
}

TEST_F(UpdateCheckTest, AStoredNewerFirmwareIsOfferedWithItsOwnAddressWithoutAskingTheServer) {
    // A mouse without a version and an earlier update.xml announcing firmware 2.
    env.mouseFirmware = 0;
    WriteAll(xmlPath(), UpdateXml("1", "2"));
    const auto image = BuildFirmwareImage(2, std::vector<std::uint8_t>(64, 9));
    server.served[kImageAddress] = image;
    EXPECT_TRUE(checker.checkFirmware());
    EXPECT_EQ(server.downloads, std::vector<std::u16string>{kImageAddress});
    EXPECT_EQ(ReadAll(imagePath()), image);
    EXPECT_EQ(env.flasherStarts, 1);
}

TEST_F(UpdateCheckTest, TheFlasherNeverStartsWithoutAValidImage) {
    server.served[kXmlAddress] = UpdateXml("1", "7");
    const auto good = BuildFirmwareImage(7, std::vector<std::uint8_t>(3000, 0x11));
    const auto earlierImage = BuildFirmwareImage(5, std::vector<std::uint8_t>(8, 5));
    WriteAll(imagePath(), earlierImage);

    auto corrupt = good;
    corrupt[1000] ^= 0x20;
    std::vector<std::vector<std::uint8_t>> bad = {
        corrupt, std::vector<std::uint8_t>(good.begin(), good.begin() + 2000), Bytes("<html>")};
    for (const auto& served : bad) {
        server.served[kImageAddress] = served;
        EXPECT_FALSE(checker.checkFirmware());
    }
    server.served.erase(kImageAddress);  // the address does not answer
    EXPECT_FALSE(checker.checkFirmware());
    // Addresses that are not web addresses are not even tried: one from the stored update.xml,
    // one from the server's.
    WriteAll(xmlPath(), UpdateXml("1", "8", "file:///C:/q350.bin"));
    EXPECT_FALSE(checker.checkFirmware());
    env.mouseFirmware = 9;
    server.served[kXmlAddress] = UpdateXml("1", "10", "C:\\q350.bin");
    EXPECT_FALSE(checker.checkFirmware());
    for (const auto& address : server.downloads) {
        EXPECT_TRUE(IsWebAddress(address));
    }

    EXPECT_EQ(env.flasherStarts, 0);
    EXPECT_EQ(ReadAll(imagePath()), earlierImage);
    EXPECT_EQ(std::count(env.shown.begin(), env.shown.end(), UpdateMessage::FirmwareDownloadFailed),
              6);
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"QuorvGameDevice.bin", "update.xml"}));
}

TEST_F(UpdateCheckTest, NoMouseOrNoVersionEndsTheCheckSilently) {
    env.mouseAnswers = false;
    server.served[kXmlAddress] = UpdateXml("1", "7");
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
