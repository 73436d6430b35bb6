// The registry settings store against the real (Wine) registry.
#include "config/win/registry_settings_store.h"

#include <gtest/gtest.h>

#include <string>

namespace q350 {
namespace {

// A private key under HKEY_CURRENT_USER, removed after each test.
class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        base = L"Software\\Q350Tests\\store" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str()); }

    DWORD rawType(const std::wstring& sub, const wchar_t* name) {
        DWORD type = 0;
        const std::wstring path = sub.empty() ? base : base + L"\\" + sub;
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                         nullptr, nullptr) != ERROR_SUCCESS) {
            return REG_NONE;
        }
        return type;
    }

    std::wstring base;
};

TEST_F(RegistryStoreTest, ValuesReadBackWithTheirTypes) {
    RegistrySettingsStore store(HKEY_CURRENT_USER, base);
    std::vector<std::uint8_t> blob(8700);
    for (std::size_t i = 0; i < blob.size(); ++i) {
        blob[i] = static_cast<std::uint8_t>(i * 7);
    }
    ASSERT_TRUE(store.writeBinary(u"", u"ConfigInfo", blob));
    ASSERT_TRUE(store.writeDword(u"STS", u"Clicks", 0xDEADBEEF));
    ASSERT_TRUE(store.writeString(u"LANGUAGE", u"Language", u"中文.xml"));
    EXPECT_EQ(rawType(L"", L"ConfigInfo"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(rawType(L"STS", L"Clicks"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(rawType(L"LANGUAGE", L"Language"), static_cast<DWORD>(REG_SZ));

    RegistrySettingsStore again(HKEY_CURRENT_USER, base);
    std::vector<std::uint8_t> b;
    ASSERT_EQ(again.readBinary(u"", u"configinfo", b), StoreResult::Ok);
    EXPECT_EQ(b, blob);
    std::uint32_t dw = 0;
    ASSERT_EQ(again.readDword(u"sts", u"Clicks", dw), StoreResult::Ok);
    EXPECT_EQ(dw, 0xDEADBEEFu);
    std::u16string s;
    ASSERT_EQ(again.readString(u"LANGUAGE", u"Language", s), StoreResult::Ok);
    EXPECT_EQ(s, u"中文.xml");

    // Empty binary values and nested sub-keys.
    ASSERT_TRUE(store.writeBinary(u"Macro\\0100000a", u"", {}));
    ASSERT_EQ(store.readBinary(u"Macro\\0100000a", u"", b), StoreResult::Ok);
    EXPECT_TRUE(b.empty());
}

TEST_F(RegistryStoreTest, WrongTypesAreReportedAndNothingIsChanged) {
    RegistrySettingsStore store(HKEY_CURRENT_USER, base);
    ASSERT_TRUE(store.writeDword(u"", u"FirstRun", 1));
    ASSERT_TRUE(store.writeString(u"", u"ConfigInfo", u"text"));
    std::vector<std::uint8_t> b = {9};
    EXPECT_EQ(store.readBinary(u"", u"FirstRun", b), StoreResult::WrongType);
    EXPECT_EQ(store.readBinary(u"", u"ConfigInfo", b), StoreResult::WrongType);
    EXPECT_EQ(b, std::vector<std::uint8_t>{9});
    std::uint32_t dw = 5;
    EXPECT_EQ(store.readDword(u"", u"ConfigInfo", dw), StoreResult::WrongType);
    EXPECT_EQ(dw, 5u);
    std::u16string s;
    EXPECT_EQ(store.readString(u"", u"FirstRun", s), StoreResult::WrongType);

    // A DWORD-sized binary value is not a DWORD.
    const std::uint8_t four[4] = {1, 0, 0, 0};
    ASSERT_TRUE(store.writeBinary(u"", u"Four", four));
    EXPECT_EQ(store.readDword(u"", u"Four", dw), StoreResult::WrongType);
}

TEST_F(RegistryStoreTest, MissingKeysAndValues) {
    RegistrySettingsStore store(HKEY_CURRENT_USER, base);
    std::vector<std::uint8_t> b;
    std::uint32_t dw = 0;
    std::u16string s;
    EXPECT_EQ(store.readBinary(u"", u"ConfigInfo", b), StoreResult::Missing);  // no key at all
    EXPECT_EQ(store.readDword(u"STS", u"Clicks", dw), StoreResult::Missing);
    EXPECT_TRUE(store.deleteValue(u"", u"ConfigInfo"));

    ASSERT_TRUE(store.writeDword(u"", u"FirstRun", 1));  // creates the key
    EXPECT_EQ(store.readString(u"", u"Other", s), StoreResult::Missing);
    ASSERT_TRUE(store.deleteValue(u"", u"FirstRun"));
    EXPECT_EQ(store.readDword(u"", u"FirstRun", dw), StoreResult::Missing);
    EXPECT_TRUE(store.deleteValue(u"", u"FirstRun"));
}

TEST(RegistryStoreProgramKey, LivesUnderTheMachineKey) {
    // The program's own key: write, find it where outside tools look, and clean up.
    RegistrySettingsStore store;
    const std::uint8_t probe[3] = {1, 2, 3};
    if (!store.writeBinary(u"", u"Q350TestProbe", probe)) {
        GTEST_SKIP() << "HKEY_LOCAL_MACHINE is not writable here";
    }
    BYTE got[8] = {};
    DWORD size = sizeof got;
    DWORD type = 0;
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\QUORV\\Q350Config", L"Q350TestProbe",
                           RRF_RT_ANY, &type, got, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 3u);
    EXPECT_TRUE(store.deleteValue(u"", u"Q350TestProbe"));
}

}  // namespace
}  // namespace q350
