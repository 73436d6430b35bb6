#include "config/profile_json.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/utf.h"
#include "config/strict_json.h"

namespace q350 {
namespace {

std::vector<std::uint8_t> Bytes(const ProfileData& p) {
    const auto b = RecordBytes(p);
    return {b.begin(), b.end()};
}

std::vector<std::uint8_t> Defaults() {
    auto p = std::make_unique<ProfileData>();
    BuildDefaults(*p, false);
    return Bytes(*p);
}

std::string Export(const std::vector<std::uint8_t>& file, std::string* notes = nullptr) {
    std::string json, problem;
    EXPECT_TRUE(ProfileJsonForm(file, json, problem, notes)) << problem;
    return json;
}

std::vector<std::uint8_t> Import(const std::string& json) {
    std::vector<std::uint8_t> file;
    std::string problem;
    EXPECT_TRUE(ReadProfileJson(json, file, problem)) << problem;
    return file;
}

std::string Refusal(const std::string& json) {
    std::vector<std::uint8_t> file = {1, 2, 3};
    std::string problem;
    EXPECT_FALSE(ReadProfileJson(json, file, problem));
    EXPECT_TRUE(file.empty()) << "a refused document gives no file";
    return problem;
}

// The default profile's document with one change made through the parsed tree.
template <typename Edit>
std::string Edited(Edit edit) {
    Json doc = Json::parse(Export(Defaults()));
    edit(doc);
    return JsonText(doc);
}

ProfileData& At(std::vector<std::uint8_t>& file) {
    return *reinterpret_cast<ProfileData*>(file.data());
}

std::vector<std::size_t> Differences(const std::vector<std::uint8_t>& a,
                                     const std::vector<std::uint8_t>& b) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) {
            at.push_back(i);
        }
    }
    return at;
}

TEST(ProfileJsonRoundTrip, DefaultAndEditedProfilesComeBackByteForByte) {
    for (const bool chinese : {false, true}) {
        auto p = std::make_unique<ProfileData>();
        BuildDefaults(*p, chinese);
        EXPECT_EQ(Import(Export(Bytes(*p))), Bytes(*p));
    }
    // Every kind of field away from its default, and a few at the ends of their ranges.
    auto p = std::make_unique<ProfileData>();
    BuildDefaults(*p, false);
    ButtonAssignment& b = p->buttons[2][13];
    b.function = 19;
    b.actionWord = 0x0DC30004;
    SetField(b.path, kTextChars, u"C:\\Program Files\\Game \u4E2D\\run.exe");
    SetField(b.label, kTextChars, std::u16string(kTextChars - 1, u'L'));
    p->buttons[0][3].function = 5;
    p->buttons[0][3].keyWord = 0x06020002;
    p->buttons[1][0].function = 6;
    p->buttons[1][0].macroId = static_cast<std::int32_t>(0xF5000001u);
    p->dpiListMode[1] = 0;
    p->dpiLevelOn[1][0] = 0;
    p->dpiTopLevel[1] = 2;
    p->dpiX[1][13] = 82;
    p->scrollLines[2] = -1;
    p->liftHeight[0] = 0;
    p->reportRate[1] = 1;
    p->ledColor[1][2] = 0x00ABCDEF;
    p->ledBrightness[0][1] = 9;
    EXPECT_EQ(Import(Export(Bytes(*p))), Bytes(*p));
}

TEST(ProfileJsonRoundTrip, ExportFileKeepsItsSlot) {
    std::vector<std::uint8_t> file = Defaults();
    ProfileSlot slot;
    ZeroRecord(slot);
    slot.tag = kSlotTag;
    slot.active = 1;
    SetField(slot.name, kTextChars, u"Profile3");
    SetField(slot.path, kTextChars, u"C:\\Q350\\Profile\\Profile3.cfg");
    slot.buttonMacroId[2][7] = static_cast<std::int32_t>(0x15000123u);
    ASSERT_TRUE(SetAutoSwitch(slot, u"arena.exe", true));
    const auto s = RecordBytes(slot);
    file.insert(file.end(), s.begin(), s.end());
    ASSERT_EQ(file.size(), kExportFileSize);
    const std::string json = Export(file);
    EXPECT_NE(json.find("\"slot\": {"), std::string::npos);
    EXPECT_NE(json.find("\"autoPath\": \"arena.exe\""), std::string::npos);
    EXPECT_NE(json.find("\"autoSwitch\": 1"), std::string::npos);
    EXPECT_EQ(Import(json), file);

    // Documents from before the switch existed read with no program; a switch that is neither 0
    // nor 1 is refused by name.
    std::string old = json;
    const auto cut = [&old](const std::string& key) {
        const std::size_t at = old.find("\"" + key + "\"");
        ASSERT_NE(at, std::string::npos);
        old.erase(old.rfind(',', at), old.find_first_of(",\n}", at) - old.rfind(',', at));
    };
    cut("autoSwitch");
    cut("autoPath");
    std::vector<std::uint8_t> plain = file;
    std::fill(plain.begin() + kProfileSize + offsetof(ProfileSlot, autoSwitch),
              plain.begin() + kProfileSize + offsetof(ProfileSlot, autoSwitch) + 4, 0);
    std::fill(plain.begin() + kProfileSize + offsetof(ProfileSlot, autoPath),
              plain.begin() + kProfileSize + offsetof(ProfileSlot, autoPath) + 2 * kAutoPathChars, 0);
    EXPECT_EQ(Import(old), plain);
    std::string two = json;
    two.replace(two.find("\"autoSwitch\": 1"), 15, "\"autoSwitch\": 2");
    const std::string problem = Refusal(two);
    EXPECT_NE(problem.find("/slot/autoSwitch"), std::string::npos) << problem;
}

TEST(ProfileJsonRoundTrip, BytesTheFieldsCannotCarryAreKept) {
    std::vector<std::uint8_t> file = Defaults();
    ProfileData& p = At(file);
    p.buttons[0][0].reserved3[100] = 0x5A;  // reserved bytes
    p.buttons[2][13].reserved1[0] = 1;
    p.dpiY[2][19] = -7;                 // a reserved DPI slot
    p.buttons[1][4].label[0] = 0xD800;  // a lone surrogate: not text
    p.buttons[0][2].path[200] = u'x';   // text after the terminator
    std::fill(std::begin(p.buttons[0][5].label), std::end(p.buttons[0][5].label), u'q');
    const std::string json = Export(file);
    EXPECT_NE(json.find("\"reserved\": ["), std::string::npos);
    EXPECT_NE(json.find("\"labelBytes\": "), std::string::npos);
    EXPECT_NE(json.find("\"pathBytes\": "), std::string::npos);
    EXPECT_EQ(Import(json), file);
}

TEST(ProfileJsonEdits, AnEditedValueLandsExactlyAndNothingElseChanges) {
    const std::vector<std::uint8_t> before = Defaults();
    std::vector<std::uint8_t> after =
        Import(Edited([](Json& d) { d["modes"][1]["liftOff"] = 29; }));
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(At(after).liftHeight[1], 29);
    const std::size_t lift = offsetof(ProfileData, liftHeight) + sizeof(std::int32_t);
    EXPECT_EQ(Differences(before, after), std::vector<std::size_t>{lift});

    after = Import(Edited([](Json& d) {
        d["modes"][2]["lighting"]["zones"][1]["color"] = "0x00102030";
        d["modes"][0]["buttons"][6]["label"] = "DPI \u00e9";
    }));
    EXPECT_EQ(At(after).ledColor[1][2], 0x00102030u);
    EXPECT_EQ(FieldText(At(after).buttons[0][6].label, kTextChars), u"DPI \u00e9");
    EXPECT_EQ(At(after).pointerSpeed[2], 10);
}

TEST(ProfileJsonEdits, AnEditedTextReplacesItsStoredBytes) {
    std::vector<std::uint8_t> file = Defaults();
    At(file).buttons[0][1].label[100] = u'j';  // junk after the terminator
    Json doc = Json::parse(Export(file));
    ASSERT_TRUE(doc["modes"][0]["buttons"][1].contains("labelBytes"));
    doc["modes"][0]["buttons"][1]["label"] = "Right";
    std::vector<std::uint8_t> after = Import(JsonText(doc));
    char16_t expected[kTextChars];
    SetField(expected, kTextChars, u"Right");
    EXPECT_EQ(0, std::memcmp(At(after).buttons[0][1].label, expected, sizeof expected));
}

TEST(ProfileJsonRefusals, OutOfRangeValuesNameTheirField) {
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][1]["liftOff"] = 200; })),
              "/modes/1/liftOff: 200 is out of range (0 to 30)");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][0]["lighting"]["zones"][1]["effect"] = 9; })),
              "/modes/0/lighting/zones/1/effect: 9 is out of range (0 to 4)");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][2]["reportRate"] = 3; })),
              "/modes/2/reportRate: 3 is not a report rate (8, 4, 2 or 1)");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][0]["pointer"]["speed"] = 0; })),
              "/modes/0/pointer/speed: 0 is out of range (1 to 20)");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][0]["pointer"]["scrollLines"] = -2; })),
              "/modes/0/pointer/scrollLines: -2 is out of range (-1 to 10)");
    EXPECT_EQ(Refusal(Edited(
                  [](Json& d) { d["modes"][1]["lighting"]["zones"][0]["color"] = "0x01000000"; })),
              "/modes/1/lighting/zones/0/color: \"0x01000000\" is out of range (at most "
              "0x00FFFFFF)");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][0]["buttons"][3]["function"] = 999; })),
              "/modes/0/buttons/3/function: 999 is not a button function");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][0]["buttons"][3]["macroId"] = -1; })),
              "/modes/0/buttons/3/macroId: -1 is out of range (0 to 4294967295)");
    EXPECT_EQ(Refusal(Edited(
                  [](Json& d) { d["modes"][0]["buttons"][0]["path"] = std::string(260, 'p'); })),
              "/modes/0/buttons/0/path: is 260 UTF-16 characters long; the field holds at most "
              "259");
}

TEST(ProfileJsonRefusals, TopDpiLevelMustMatchTheLevelsInUse) {
    // Preset form: the top level may not point past the ticked presets.
    EXPECT_EQ(Refusal(Edited([](Json& d) {
                  d["modes"][0]["dpi"]["presetsX"] = {10, 16, 0, 0, 0, 0, 0, 0, 0, 0};
              })),
              "/modes/0/dpi/topLevel: 3 is above the ticked presets (presetsX slot 2 is empty)");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][0]["dpi"]["presetsY"][9] = 12; })),
              "/modes/0/dpi/presetsY/9: 12 is not a preset (4, 8, 10, 16, 18, 24, 32, 48, 64 or "
              "82)");
    // Slider form: the top level is the number of levels switched on, minus one.
    EXPECT_EQ(Refusal(Edited([](Json& d) {
                  d["modes"][1]["dpi"]["listMode"] = 0;
                  d["modes"][1]["dpi"]["levelOn"] = {1, 0, 1, 0};
              })),
              "/modes/1/dpi/topLevel: 3 does not match the 2 level(s) switched on in levelOn (it "
              "must be 1)");
    EXPECT_EQ(Refusal(Edited([](Json& d) {
                  d["modes"][2]["dpi"]["levelOn"] = {0, 0, 0, 0};
              })),
              "/modes/2/dpi/levelOn: at least one level must be on");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][2]["dpi"]["levelsY"][1] = 0; })),
              "/modes/2/dpi/levelsY/1: 0 is out of range for a level in use (1 to 82)");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][2]["dpi"]["levelsX"][0] = 83; })),
              "/modes/2/dpi/levelsX/0: 83 is out of range (0 to 82)");
    // A consistent slider form passes.
    Import(Edited([](Json& d) {
        d["modes"][1]["dpi"]["listMode"] = 0;
        d["modes"][1]["dpi"]["levelOn"] = {1, 0, 1, 0};
        d["modes"][1]["dpi"]["topLevel"] = 1;
    }));
}

TEST(ProfileJsonRefusals, ShapeAndReservedBytes) {
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["format"] = "something else"; })),
              "/format: must be \"Q350 profile\"");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["version"] = 2; })),
              "/version: 2 is out of range (1 to 1)");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"].erase(2); })),
              "/modes: must hold exactly 3 elements, not 2");
    EXPECT_EQ(Refusal(Edited([](Json& d) { d["modes"][1]["buttons"][0]["button"] = 4; })),
              "/modes/1/buttons/0/button: 4 is out of range (0 to 0)");
    EXPECT_EQ(Refusal(Edited([](Json& d) {
                  d["modes"][0]["dpi"]["extra"] = 1;
              })).rfind("/modes/0/dpi/extra: unknown key", 0),
              0u);
    // Reserved bytes may only fill reserved places: a field is changed through its own member.
    const std::size_t lift = offsetof(ProfileData, liftHeight);
    EXPECT_EQ(Refusal(Edited([&](Json& d) {
                  d["reserved"] = Json::array({Json::object({{"offset", lift}, {"hex", "c8"}})});
              })),
              "/reserved/0: byte " + std::to_string(lift) +
                  " is not reserved; change the field that holds it instead");
    const std::size_t spare =
        offsetof(ProfileData, buttons) + offsetof(ButtonAssignment, reserved3);
    EXPECT_EQ(Refusal(Edited([&](Json& d) {
                  d["reserved"] = Json::array({Json::object({{"offset", spare}, {"hex", "abc"}})});
              })),
              "/reserved/0/hex: must be an even number of hexadecimal digits");
    std::vector<std::uint8_t> file = Import(Edited([&](Json& d) {
        d["reserved"] = Json::array({Json::object({{"offset", spare}, {"hex", "0102"}})});
    }));
    EXPECT_EQ(file[spare + 1], 2);
}

TEST(ProfileJsonExport, OnlyProfilesAreExported) {
    std::string json, problem;
    std::vector<std::uint8_t> file = Defaults();
    file[0] ^= 1;
    EXPECT_FALSE(ProfileJsonForm(file, json, problem));
    EXPECT_EQ(problem, "not a Q350 profile (it does not start with the profile magic 0x80800350)");
    EXPECT_FALSE(ProfileJsonForm(std::vector<std::uint8_t>(2), json, problem));
    file = Defaults();
    file.push_back(0);
    EXPECT_FALSE(ProfileJsonForm(file, json, problem));
    EXPECT_NE(problem.find("132833 bytes"), std::string::npos);

    // A short profile counts as filled with zeros, as the program loads it. Zeros are outside
    // the ranges the program uses, so the export notes the first such value and import refuses.
    file = Defaults();
    file.resize(1000);
    std::string notes;
    ASSERT_TRUE(ProfileJsonForm(file, json, problem, &notes)) << problem;
    EXPECT_EQ(notes, "/modes/0/dpi/levelOn: at least one level must be on");
    EXPECT_FALSE(ReadProfileJson(json, file, problem));
    EXPECT_EQ(problem, notes);
    ASSERT_TRUE(ProfileJsonForm(Defaults(), json, problem, &notes));
    EXPECT_EQ(notes, "");
}

}  // namespace
}  // namespace q350
