#include "config/macro_file.h"

#include <gtest/gtest.h>

#include <cstring>

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

std::string Refusal(std::string_view text) {
    MacroDraft d;
    d.id = 77;
    std::string problem;
    EXPECT_FALSE(ReadMacroText(text, d, problem)) << text;
    EXPECT_EQ(d.id, 77u) << "a refused file must leave the draft alone";
    return problem;
}

TEST(MacroText, ReadsEveryItemAndComments) {
    MacroDraft d;
    std::string problem;
    ASSERT_TRUE(
        ReadMacroText("# a reload macro\r\n"
                      "id 0x02000011\r\n"
                      "name  Reload #2 \r\n"
                      "  repeat 65534   # while held\n"
                      "down 0x41  # A\n"
                      "pause 30\n"
                      "up 65\n",
                      d, problem))
        << problem;
    EXPECT_EQ(d.id, 0x02000011u);
    EXPECT_EQ(d.name, u" Reload #2 ");  // all after "name ", '#' and blanks included
    EXPECT_EQ(d.repeat, kRepeatWhileHeld);
    EXPECT_EQ(d.events, (std::vector<std::uint32_t>{Down(0x41), Pause(30), Up(0x41)}));

    // Name and repeat may be left out.
    ASSERT_TRUE(ReadMacroText("id 9\ndown 0x42", d, problem)) << problem;
    EXPECT_EQ(d.name, u"");
    EXPECT_EQ(d.repeat, 1u);
}

TEST(MacroText, RefusesWhatTheLibraryCannotHoldNamingTheLine) {
    EXPECT_EQ(Refusal(""), "the file is empty");
    EXPECT_EQ(Refusal("\n \r\n"), "the file is empty");
    EXPECT_EQ(Refusal("name x\ndown 0x41\n"),
              "no 'id' line: every macro needs an id (1 to 0xFFFFFFFF)");
    EXPECT_EQ(Refusal("# only a comment\n"), Refusal("name x\ndown 0x41\n"));
    EXPECT_EQ(Refusal("id 0\n"), "line 1: id 0 marks a free library entry; use 1 to 0xFFFFFFFF");
    EXPECT_EQ(Refusal("id 1\nid 2\n"), "line 2: a second id");
    EXPECT_EQ(Refusal("id 1\nname a\nname b\n"), "line 3: a second name");
    EXPECT_EQ(Refusal("id 1\nrepeat 1\nrepeat 2\n"), "line 3: a second repeat");
    EXPECT_EQ(Refusal("id 1\ncolour 3\n"),
              "line 2: unknown item 'colour' (id, name, repeat, down, up, pause)");
    EXPECT_EQ(Refusal("id 1\ndown\n"), "line 2: 'down' needs one value");
    EXPECT_EQ(Refusal("id 1\ndown 0x41 0x42\n"), "line 2: unexpected text after 'down 0x41'");
    EXPECT_EQ(Refusal("id x\n"),
              "line 1: 'x' is not a number (decimal or 0x-hexadecimal, 0 to 0xFFFFFFFF)");
    EXPECT_EQ(Refusal("id 4294967296\n").rfind("line 1: '4294967296' is not a number", 0), 0u);
    EXPECT_EQ(Refusal("id 1\nrepeat 0\n"), "line 2: repeat 0 is out of range (1 to 65535)");
    EXPECT_EQ(Refusal("id 1\nrepeat 65536\n"), "line 2: repeat 65536 is out of range (1 to 65535)");
    EXPECT_EQ(Refusal("id 1\ndown 0x41\npause -3\n").rfind("line 3: '-3' is not a number", 0), 0u);
    EXPECT_EQ(Refusal("id 1\ndown 0x41\npause 16777216\n"),
              "line 3: pause 16777216 is out of range (0 to 16777215 ms)");
    EXPECT_EQ(Refusal("id 1\npause 10\ndown 0x41\n"),
              "line 2: a pause before the first key has no key to follow");
    EXPECT_EQ(Refusal("id 1\ndown 0x07\n"), "line 2: the mouse cannot play the key 0x07");
    EXPECT_EQ(Refusal("id 1\nup 256\n"), "line 2: 256 is not a virtual key (1 to 255)");
    EXPECT_EQ(Refusal("id 1\nname " + std::string(40, 'n') + "\n"),
              "line 2: the name is 40 characters long; at most 39 fit");
    EXPECT_EQ(Refusal(std::string("id 1\nname a\0b\n", 14)),
              "line 2: holds a null character (not a text file?)");
    EXPECT_EQ(Refusal("id 1\nname a\tb\n"), "line 2: the name holds the control character U+0009");
    EXPECT_EQ(Refusal("id 1\nname \xC3\n"), "line 2: is not UTF-8 text");
}

TEST(MacroText, AtMostAThousandEvents) {
    std::string text = "id 1\n";
    for (int i = 0; i < 500; ++i) {
        text += "down 0x41\nup 0x41\n";
    }
    MacroDraft d;
    std::string problem;
    ASSERT_TRUE(ReadMacroText(text, d, problem)) << problem;
    EXPECT_EQ(d.events.size(), 1000u);
    EXPECT_EQ(Refusal(text + "pause 1\n"), "line 1002: more than 1000 events");
}

TEST(MacroText, WrittenFormReadsBackTheSameDraft) {
    MacroDraft d;
    d.id = 0x15ABCDEF;
    d.repeat = kRepeatUntilPressed;
    d.name = u"  Combo #1 \u4E2D ";
    d.events = {Down(0xA2), Down(0x43), Pause(0xFFFFFF), Up(0x43), Up(0xA2), Pause(0)};
    const std::string text = MacroTextForm(d);
    EXPECT_NE(text.find("down 0x43  # C\n"), std::string::npos) << text;
    MacroDraft back;
    std::string problem;
    ASSERT_TRUE(ReadMacroText(text, back, problem)) << problem;
    EXPECT_EQ(back.id, d.id);
    EXPECT_EQ(back.repeat, d.repeat);
    EXPECT_EQ(back.name, d.name);
    EXPECT_EQ(back.events, d.events);
}

TEST(MacroDraftRules, WholeMacroChecks) {
    MacroDraft d;
    d.id = 1;
    d.events = {Down(0x41), Up(0x41)};
    std::string problem;
    EXPECT_TRUE(CheckMacroDraft(d, problem)) << problem;
    MacroDraft free = d;
    free.id = 0;
    EXPECT_FALSE(CheckMacroDraft(free, problem));
    MacroDraft foreign = d;
    foreign.events.push_back(0x12345678);
    EXPECT_FALSE(CheckMacroDraft(foreign, problem));
    EXPECT_EQ(problem, "event 3: not a key press, key release or pause");
    MacroDraft many = d;
    many.events.assign(1001, Down(0x41));
    EXPECT_FALSE(CheckMacroDraft(many, problem));
    MacroDraft longName = d;
    longName.name.assign(40, u'x');
    EXPECT_FALSE(CheckMacroDraft(longName, problem));
    EXPECT_EQ(problem, "name: the name is 40 characters long; at most 39 fit");
    MacroDraft newline = d;
    newline.name = u"two\nlines";
    EXPECT_FALSE(CheckMacroDraft(newline, problem));
    EXPECT_EQ(problem, "name: the name holds the control character U+000A");
    MacroDraft surrogate = d;
    surrogate.name = u"a\xD83D";  // a high surrogate with nothing after it
    EXPECT_FALSE(CheckMacroDraft(surrogate, problem));
    EXPECT_EQ(problem, "name: the name is not UTF-16 text (a lone surrogate)");
    surrogate.name = u"\xDE00x";
    EXPECT_FALSE(CheckMacroDraft(surrogate, problem));
    surrogate.name = u"\U0001F600";  // a pair is a character
    EXPECT_TRUE(CheckMacroDraft(surrogate, problem)) << problem;
}

TEST(MacroDraftRules, LibraryEntriesBecomeDraftsOnlyWhenTheyAreMacros) {
    auto r = std::make_unique<MacroRecord>();
    std::memset(r.get(), 0, sizeof(MacroRecord));
    MacroDraft d;
    std::string problem;
    EXPECT_FALSE(DraftFromRecord(*r, d, problem));
    EXPECT_EQ(problem, "the entry is free");

    r->size = 116;
    r->formatTag = kMacroFormatTag;
    r->id = 42;
    r->repeat = 0x00070003;  // only the low half is the repeat rule
    r->eventCount = 3;
    r->events[0] = Down(0x41);
    r->events[1] = Pause(20);
    r->events[2] = Up(0x41);
    std::fill(std::begin(r->macroName), std::end(r->macroName), u'z');  // no terminator
    ASSERT_TRUE(DraftFromRecord(*r, d, problem)) << problem;
    EXPECT_EQ(d.repeat, 3u);
    EXPECT_EQ(d.name.size(), kMacroNameMaxChars);
    EXPECT_EQ(d.events.size(), 3u);

    r->events[1] = 0x55000001;
    EXPECT_FALSE(DraftFromRecord(*r, d, problem));
    EXPECT_EQ(problem, "event 2 is of an unknown type (0x55000001)");
    r->eventCount = 1001;
    EXPECT_FALSE(DraftFromRecord(*r, d, problem));
}

}  // namespace
}  // namespace q350
