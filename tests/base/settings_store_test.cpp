#include "base/settings_store.h"

#include <gtest/gtest.h>

namespace q350 {
namespace {

TEST(MemorySettingsStore, ValuesKeepTheirTypes) {
    MemorySettingsStore store;
    ASSERT_TRUE(store.writeDword(u"", u"FirstRun", 7));
    ASSERT_TRUE(store.writeString(u"LANGUAGE", u"Language", u"fr.xml"));
    const std::uint8_t blob[] = {1, 2, 3};
    ASSERT_TRUE(store.writeBinary(u"", u"ConfigInfo", blob));

    std::uint32_t dw = 0;
    EXPECT_EQ(store.readDword(u"", u"firstrun", dw), StoreResult::Ok);  // names ignore case
    EXPECT_EQ(dw, 7u);
    std::u16string s;
    EXPECT_EQ(store.readString(u"language", u"Language", s), StoreResult::Ok);
    EXPECT_EQ(s, u"fr.xml");
    std::vector<std::uint8_t> b;
    EXPECT_EQ(store.readBinary(u"", u"ConfigInfo", b), StoreResult::Ok);
    EXPECT_EQ(b, std::vector<std::uint8_t>(blob, blob + 3));

    EXPECT_EQ(store.readDword(u"", u"ConfigInfo", dw), StoreResult::WrongType);
    EXPECT_EQ(store.readBinary(u"", u"FirstRun", b), StoreResult::WrongType);
    EXPECT_EQ(store.readString(u"", u"Nothing", s), StoreResult::Missing);
}

TEST(MemorySettingsStore, ShortDwordIsWrongTypeAndFailedWritesChangeNothing) {
    MemorySettingsStore store;
    store.setRaw(u"", u"FirstRun", MemorySettingsStore::Type::Dword, {1, 0});
    std::uint32_t dw = 99;
    EXPECT_EQ(store.readDword(u"", u"FirstRun", dw), StoreResult::WrongType);
    EXPECT_EQ(dw, 99u);

    store.failWrites = true;
    EXPECT_FALSE(store.writeDword(u"", u"FirstRun", 1));
    EXPECT_FALSE(store.deleteValue(u"", u"FirstRun"));
    EXPECT_EQ(store.find(u"", u"FirstRun")->bytes.size(), 2u);
}

}  // namespace
}  // namespace q350
