#include "cli/dump_json.h"

#include <gtest/gtest.h>

#include "config/strict_json.h"

namespace q350::cli {
namespace {

VirtualMouseState WithMacroAndButton() {
    VirtualMouseState s;
    s.mode = 1;
    s.firmware = 3;
    const std::uint8_t program[] = {0x0A, 0x00, 0x01, 0x00, 0x0B, 0x00, 0x04, 0x00, 0x00, 0x04};
    std::copy(std::begin(program), std::end(program), s.memory.begin() + MacroSlotAddress(1));
    s.memory[ButtonWordAddress(2, 4)] = 0x05;
    s.memory[ButtonWordAddress(2, 4) + 2] = 0x01;
    s.params[kParamLiftOff] = {5, 6, 7, 0};
    s.memory[MacroSlotAddress(2)] = 5;  // an impossible length
    s.events = {0x9001, 0x4000C203};
    return s;
}

TEST(MouseDumpJson, CarriesTheSameFactsAsTheTextDump) {
    const std::string text = MouseDumpJson(WithMacroAndButton());
    Json doc;
    std::string problem;
    ASSERT_TRUE(ParseStrictJson(text, doc, problem)) << problem;
    EXPECT_EQ(doc["mode"], 1);
    EXPECT_EQ(doc["firmware"], 3);
    EXPECT_EQ(doc["fault"], "none");
    EXPECT_EQ(doc["events"], Json::parse("[36865, 1073791491]"));
    const Json& button = doc["modes"][2]["buttons"][3];
    EXPECT_EQ(button, Json::parse(R"({"button": 4, "address": 2104, "word": 65541})"));
    bool liftSeen = false;
    for (const Json& p : doc["parameters"]) {
        if (p["id"] == kParamLiftOff) {
            EXPECT_EQ(p["values"], Json::parse("[5, 6, 7]"));
            liftSeen = true;
        }
    }
    EXPECT_TRUE(liftSeen);
    const Json& slots = doc["macroSlots"];
    ASSERT_EQ(slots.size(), 18u);
    EXPECT_EQ(slots[0]["empty"], true);
    EXPECT_EQ(slots[1]["bytes"], "0a 00 01 00 0b 00 04 00 00 04");
    EXPECT_EQ(slots[1]["events"][0],
              Json::parse(R"({"type": "down", "usage": 4, "key": "A", "pauseMs": 50})"));
    EXPECT_EQ(slots[2]["valid"], false);
    EXPECT_TRUE(slots[2]["problem"].is_string());
}

TEST(MouseDumpJson, AnEmptyEventQueueIsAnEmptyArrayOnItsLine) {
    // Whole-program tests look for exactly this text.
    EXPECT_NE(MouseDumpJson(VirtualMouseState{}).find("\"events\": [],"), std::string::npos);
}

}  // namespace
}  // namespace q350::cli
