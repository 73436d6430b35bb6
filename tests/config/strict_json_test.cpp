#include "config/strict_json.h"

#include <gtest/gtest.h>

namespace q350 {
namespace {

std::string Refusal(std::string_view text) {
    Json doc;
    std::string problem;
    EXPECT_FALSE(ParseStrictJson(text, doc, problem)) << text;
    return problem;
}

TEST(StrictJsonParse, TakesOnlyOneWholeDocument) {
    Json doc;
    std::string problem;
    ASSERT_TRUE(ParseStrictJson(" {\"a\": [1, {\"b\": null}]}\n", doc, problem)) << problem;
    EXPECT_EQ(doc["a"][1].size(), 1u);

    EXPECT_EQ(Refusal(""), "the file is empty");
    EXPECT_EQ(Refusal(" \r\n\t"), "the file is empty");
    EXPECT_EQ(Refusal("{").rfind("line 1, column 2: ", 0), 0u) << Refusal("{");
    EXPECT_NE(Refusal("{\"a\": 1} x").find("expected end of input"), std::string::npos);
    EXPECT_NE(Refusal("{\"a\": 1}{}").find("line 1, column 9"), std::string::npos);
    // The place is counted in lines for documents that span several.
    EXPECT_EQ(Refusal("{\n  \"a\": 1,\n  \"b\": 1 2\n}").rfind("line 3", 0), 0u);
    // Comments and invalid UTF-8 are no JSON.
    Refusal("{\"a\": 1 /* one */}");
    Refusal("{\"a\": \"\xff\"}");
}

TEST(StrictJsonParse, RepeatedKeyIsRefusedWithItsPlace) {
    EXPECT_EQ(Refusal("{\"id\": 1, \"id\": 2}"), "/: the key \"id\" appears twice");
    EXPECT_EQ(Refusal("{\"events\": [{\"up\": 1}, {\"down\": 1, \"down\": 2}]}"),
              "/events/1: the key \"down\" appears twice");
    EXPECT_EQ(Refusal("{\"m\": [[], [0, {\"x/y\": {\"k\": 1, \"k\": 1}}]]}"),
              "/m/1/1/x~1y: the key \"k\" appears twice");
    // The same key in sibling objects is no repetition.
    Json doc;
    std::string problem;
    EXPECT_TRUE(ParseStrictJson("[{\"k\": 1}, {\"k\": 2}]", doc, problem)) << problem;
}

TEST(StrictJsonParse, DeepNestingIsRefused) {
    const std::string deep(kJsonMaxDepth + 2, '[');
    EXPECT_NE(Refusal(deep + std::string(kJsonMaxDepth + 2, ']')).find("nests deeper"),
              std::string::npos);
    // Hostile depth does not exhaust the stack either.
    const std::string hostile(200000, '[');
    EXPECT_FALSE(Refusal(hostile).empty());
}

TEST(StrictJsonCheck, NumbersMustBeWholeAndInRange) {
    JsonCheck check;
    std::uint32_t u = 7;
    std::int32_t i = 7;
    EXPECT_TRUE(check.u32(Json(4294967295u), "/id", 1, 0xFFFFFFFFu, u));
    EXPECT_EQ(u, 0xFFFFFFFFu);
    EXPECT_TRUE(check.i32(Json(-1), "/s", -1, 10, i));
    EXPECT_EQ(i, -1);

    for (const Json& bad : {Json(1.0), Json("1"), Json(true), Json(nullptr), Json::array()}) {
        JsonCheck c;
        EXPECT_FALSE(c.u32(bad, "/id", 0, 10, u));
        EXPECT_EQ(c.problem().rfind("/id: must be a whole number, not ", 0), 0u) << c.problem();
    }
    JsonCheck low, high, huge;
    EXPECT_FALSE(low.i32(Json(-2), "/s", -1, 10, i));
    EXPECT_EQ(low.problem(), "/s: -2 is out of range (-1 to 10)");
    EXPECT_FALSE(high.u32(Json(4294967296u), "/id", 0, 0xFFFFFFFFu, u));
    EXPECT_EQ(high.problem(), "/id: 4294967296 is out of range (0 to 4294967295)");
    EXPECT_FALSE(huge.u32(Json(-5), "/p", 0, 100, u));
    EXPECT_EQ(u, 0xFFFFFFFFu);  // refused values leave the output alone
}

TEST(StrictJsonCheck, FirstRefusalIsKeptAndStopsLaterChecks) {
    JsonCheck check;
    std::uint32_t u = 0;
    EXPECT_FALSE(check.u32(Json(99), "/a", 0, 10, u));
    EXPECT_FALSE(check.u32(Json(5), "/b", 0, 10, u));  // fine, but the check has failed already
    EXPECT_EQ(u, 0u);
    EXPECT_FALSE(check.fail("/c", "later"));
    EXPECT_EQ(check.problem(), "/a: 99 is out of range (0 to 10)");
}

TEST(StrictJsonCheck, ObjectsTakeOnlyTheirKeys) {
    const Json doc = Json::parse(R"({"id": 1, "name": "x", "colour": 3})");
    JsonCheck unknown;
    EXPECT_FALSE(unknown.object(doc, "", {"id", "name"}, {"color"}));
    EXPECT_EQ(unknown.problem(), "/colour: unknown key (known keys: \"id\", \"name\", \"color\")");
    JsonCheck missing;
    EXPECT_FALSE(missing.object(doc, "/m", {"id", "name", "colour", "events"}));
    EXPECT_EQ(missing.problem(), "/m: the key \"events\" is missing");
    JsonCheck notObject;
    EXPECT_FALSE(notObject.object(Json::array(), "", {}));
    EXPECT_EQ(notObject.problem(), "the document: must be an object, not an array");
    JsonCheck fine;
    EXPECT_TRUE(fine.object(doc, "", {"id"}, {"name", "colour"}));
}

TEST(StrictJsonCheck, ArraysHaveTheirLength) {
    JsonCheck exact, tooLong, fine;
    EXPECT_FALSE(exact.array(Json::parse("[1, 2]"), "/l", 3));
    EXPECT_EQ(exact.problem(), "/l: must hold exactly 3 elements, not 2");
    EXPECT_FALSE(tooLong.array(Json::parse("[1, 2, 3]"), "/e", -1, 2));
    EXPECT_EQ(tooLong.problem(), "/e: holds 3 elements; at most 2 are allowed");
    EXPECT_TRUE(fine.array(Json::array(), "/e", -1, 2));
}

TEST(StrictJsonCheck, HexWordsAreZeroXAndUpToEightDigits) {
    std::uint32_t v = 0;
    JsonCheck ok;
    EXPECT_TRUE(ok.hex32(Json("0x06020002"), "/w", 0xFFFFFFFFu, v));
    EXPECT_EQ(v, 0x06020002u);
    EXPECT_TRUE(ok.hex32(Json("0XfF"), "/w", 0xFFFFFFFFu, v));
    EXPECT_EQ(v, 0xFFu);
    for (const char* bad : {"6020002", "0x", "0x123456789", "0x12 ", "0x-1", "0xG1", ""}) {
        JsonCheck c;
        EXPECT_FALSE(c.hex32(Json(bad), "/w", 0xFFFFFFFFu, v)) << bad;
    }
    JsonCheck number, range;
    EXPECT_FALSE(number.hex32(Json(255), "/w", 0xFFFFFFFFu, v));
    EXPECT_FALSE(range.hex32(Json("0x01000000"), "/c", 0x00FFFFFF, v));
    EXPECT_EQ(range.problem(), "/c: \"0x01000000\" is out of range (at most 0x00FFFFFF)");
}

TEST(StrictJsonCheck, TextMustFitItsFieldInUtf16Units) {
    std::u16string out;
    JsonCheck fits;
    // 39 characters, two of them outside the basic plane (two units each): 41 units.
    EXPECT_FALSE(
        fits.text(Json(std::string(37, 'a') + "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"), "/n", 40, out));
    EXPECT_EQ(fits.problem(), "/n: is 41 UTF-16 characters long; the field holds at most 39");
    JsonCheck ok;
    EXPECT_TRUE(
        ok.text(Json(std::string(35, 'a') + "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"), "/n", 40, out));
    EXPECT_EQ(out.size(), 39u);
    JsonCheck nul;
    EXPECT_FALSE(nul.text(Json(std::string("a\0b", 3)), "/n", 40, out));
    EXPECT_EQ(nul.problem(), "/n: holds a null character");
}

TEST(StrictJsonText, PlainContainersStayOnOneLineAndTheTextReadsBack) {
    const Json doc = Json::parse(
        R"({"id": 5, "events": [{"down": 65}, {"pause": 30}], "levels": [10, 16], "e": [],
            "nested": {"a": {"b": 1}}, "s": "quote \" and \u00e9"})");
    const std::string text = JsonText(doc);
    EXPECT_NE(text.find("\n    {\"down\": 65},\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"levels\": [10, 16],"), std::string::npos) << text;
    EXPECT_NE(text.find("\"e\": [],"), std::string::npos) << text;
    EXPECT_NE(text.find("\"nested\": {\n    \"a\": {\"b\": 1}\n  }"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
    Json back;
    std::string problem;
    ASSERT_TRUE(ParseStrictJson(text, back, problem)) << problem;
    EXPECT_EQ(back, doc);
    // A flat array too long for one line takes one line per element (and the brackets).
    Json wide = Json::array();
    for (int i = 0; i < 60; ++i) {
        wide.push_back(1000 + i);
    }
    const std::string lines = JsonText(wide);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 62);
    // Bytes that are not UTF-8 are written as replacement characters, not refused.
    EXPECT_NE(JsonText(Json("a\xff")).find("\xEF\xBF\xBD"), std::string::npos);
}

}  // namespace
}  // namespace q350
