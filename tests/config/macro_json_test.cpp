#include "config/macro_json.h"

#include <gtest/gtest.h>

namespace q350 {
namespace {

std::uint32_t Down(std::uint32_t vk) {
    return MacroEvent(kMacroKeyDown, vk);
}
std::uint32_t Up(std::uint32_t vk) {
    return MacroEvent(kMacroKeyUp, vk);
}
std::uint32_t Pause(std::uint32_t ms) {
    return MacroEvent(kMacroPause, ms);
}

std::string Refusal(const std::string& text) {
    MacroDraft d;
    d.id = 77;
    std::string problem;
    EXPECT_FALSE(ReadMacroJson(text, d, problem)) << text;
    EXPECT_EQ(d.id, 77u) << "a refused file must leave the draft alone";
    return problem;
}

// A valid document with one member replaced.
std::string With(const std::string& id, const std::string& name, const std::string& repeat,
                 const std::string& events) {
    return "{\"id\": " + id + ", \"name\": " + name + ", \"repeat\": " + repeat +
           ", \"events\": " + events + "}";
}
std::string WithEvents(const std::string& events) {
    return With("5", "\"m\"", "1", events);
}

TEST(MacroJson, ReadsTheDocumentThatExportWrites) {
    MacroDraft d;
    d.id = 0x02000011;
    d.repeat = 2;
    d.name = u"Reload \"fast\" \u00e9";
    d.events = {Down(0x52), Pause(30), Up(0x52), Pause(0xFFFFFF)};
    const std::string text = MacroJsonForm(d);
    EXPECT_EQ(text.rfind("{\n  \"id\": 33554449,\n  \"name\": ", 0), 0u) << text;
    EXPECT_NE(text.find("    {\"down\": 82},\n    {\"pause\": 30},\n"), std::string::npos) << text;
    MacroDraft back;
    std::string problem;
    ASSERT_TRUE(ReadMacroJson(text, back, problem)) << problem;
    EXPECT_EQ(back.id, d.id);
    EXPECT_EQ(back.repeat, d.repeat);
    EXPECT_EQ(back.name, d.name);
    EXPECT_EQ(back.events, d.events);
    EXPECT_EQ(MacroJsonForm(back), text);
}

TEST(MacroJson, BrokenDocumentsAreRefusedWithTheirPlace) {
    EXPECT_EQ(Refusal(""), "the file is empty");
    EXPECT_EQ(Refusal("{").rfind("line 1, column 2: ", 0), 0u);
    const std::string whole = WithEvents("[{\"down\": 65}, {\"up\": 65}]");
    EXPECT_EQ(Refusal(whole.substr(0, whole.size() - 3)).rfind("line 1, column ", 0), 0u);
    EXPECT_NE(Refusal(whole + " trailing").find("expected end of input"), std::string::npos);
    EXPECT_NE(Refusal(whole + "\n{}").find("line 2, column 1"), std::string::npos);
    EXPECT_EQ(Refusal("[" + whole + "]"), "the document: must be an object, not an array");
}

TEST(MacroJson, EveryMemberHasItsExactType) {
    EXPECT_EQ(Refusal(With("\"x\"", "\"m\"", "1", "[]")),
              "/id: must be a whole number, not a string");
    EXPECT_EQ(Refusal(With("5.0", "\"m\"", "1", "[]")),
              "/id: must be a whole number, not a fraction");
    EXPECT_EQ(Refusal(With("5", "7", "1", "[]")), "/name: must be a string, not a number");
    EXPECT_EQ(Refusal(With("5", "\"m\"", "true", "[]")),
              "/repeat: must be a whole number, not a boolean");
    EXPECT_EQ(Refusal(With("5", "\"m\"", "1", "{}")), "/events: must be an array, not an object");
    EXPECT_EQ(Refusal(WithEvents("[{\"down\": \"A\"}]")),
              "/events/0/down: must be a whole number, not a string");
    EXPECT_EQ(Refusal(WithEvents("[65]")), "/events/0: must be an object, not a number");
}

TEST(MacroJson, KeysAreExactlyTheKnownOnes) {
    EXPECT_EQ(Refusal("{\"id\": 5, \"name\": \"m\", \"repeat\": 1, \"events\": [], \"x\": 1}"),
              "/x: unknown key (known keys: \"id\", \"name\", \"repeat\", \"events\")");
    EXPECT_EQ(Refusal("{\"id\": 5, \"name\": \"m\", \"events\": []}"),
              "the document: the key \"repeat\" is missing");
    EXPECT_EQ(Refusal("{\"id\": 5, \"id\": 6, \"name\": \"m\", \"repeat\": 1, \"events\": []}"),
              "/: the key \"id\" appears twice");
    EXPECT_EQ(Refusal(WithEvents("[{\"down\": 65, \"up\": 65}]")),
              "/events/0: an event holds exactly one of \"down\", \"up\" or \"pause\"");
    EXPECT_EQ(Refusal(WithEvents("[{}]")), Refusal(WithEvents("[{\"down\": 65, \"up\": 65}]")));
    EXPECT_EQ(Refusal(WithEvents("[{\"press\": 65}]")).rfind("/events/0/press: unknown key", 0),
              0u);
    EXPECT_EQ(Refusal(WithEvents("[{\"raw\": 3221225537}]")).rfind("/events/0/raw: unknown key", 0),
              0u);
}

TEST(MacroJson, ValuesStayWithinWhatTheLibraryAndTheMouseTake) {
    EXPECT_EQ(Refusal(With("0", "\"m\"", "1", "[]")), "/id: 0 is out of range (1 to 4294967295)");
    EXPECT_EQ(Refusal(With("4294967296", "\"m\"", "1", "[]")),
              "/id: 4294967296 is out of range (1 to 4294967295)");
    EXPECT_EQ(Refusal(With("-1", "\"m\"", "1", "[]")), "/id: -1 is out of range (1 to 4294967295)");
    EXPECT_EQ(Refusal(With("5", "\"m\"", "0", "[]")), "/repeat: 0 is out of range (1 to 65535)");
    EXPECT_EQ(Refusal(With("5", "\"m\"", "65536", "[]")),
              "/repeat: 65536 is out of range (1 to 65535)");
    EXPECT_EQ(Refusal(With("5", "\"" + std::string(5000, 'n') + "\"", "1", "[]")),
              "/name: is 5000 UTF-16 characters long; the field holds at most 39");
    EXPECT_EQ(Refusal(With("5", "\"a\\u0000b\"", "1", "[]")), "/name: holds a null character");
    EXPECT_EQ(Refusal(With("5", "\"a\\nb\"", "1", "[]")),
              "/name: the name holds the control character U+000A");
    EXPECT_EQ(Refusal(WithEvents("[{\"down\": 65}, {\"pause\": -3}]")),
              "/events/1/pause: -3 is out of range (0 to 16777215)");
    EXPECT_EQ(Refusal(WithEvents("[{\"down\": 65}, {\"pause\": 16777216}]")),
              "/events/1/pause: 16777216 is out of range (0 to 16777215)");
    EXPECT_EQ(Refusal(WithEvents("[{\"pause\": 5}, {\"down\": 65}]")),
              "/events/0/pause: a pause before the first key has no key to follow");
    EXPECT_EQ(Refusal(WithEvents("[{\"down\": 7}]")),
              "/events/0/down: the mouse cannot play the key 0x07");
    EXPECT_EQ(Refusal(WithEvents("[{\"up\": 321}]")),
              "/events/0/up: 321 is not a virtual key (1 to 255)");
    std::string many = "[";
    for (int i = 0; i < 1001; ++i) {
        many += std::string(i ? "," : "") + "{\"down\": 65}";
    }
    EXPECT_EQ(Refusal(WithEvents(many + "]")),
              "/events: holds 1001 elements; at most 1000 are allowed");
}

}  // namespace
}  // namespace q350
