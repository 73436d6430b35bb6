#include "lang/xml_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/utf.h"
#include "lang/linux/iconv_code_page.h"

namespace q350::lang {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Utf8(std::string_view s) {
    return {s.begin(), s.end()};
}

Bytes Utf16(std::u16string_view s, bool bigEndian) {
    Bytes out;
    for (char16_t c : s) {
        const auto lo = static_cast<std::uint8_t>(c & 0xFF);
        const auto hi = static_cast<std::uint8_t>(c >> 8);
        out.push_back(bigEndian ? hi : lo);
        out.push_back(bigEndian ? lo : hi);
    }
    return out;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class XmlReaderTest : public ::testing::Test {
protected:
    // Loads and parses a UTF-16 document given as text.
    bool parse(std::u16string_view text) {
        reader.setDocument(std::u16string(text));
        return reader.parse();
    }
    bool hasError(std::u16string_view text) const {
        for (const auto& e : reader.parseErrors()) {
            if (e == text) {
                return true;
            }
        }
        return false;
    }
    std::string errors() const {
        std::string all;
        for (const auto& e : reader.parseErrors()) {
            all += Utf16ToUtf8(e) + "\n";
        }
        return all;
    }

    IconvCodePageConverter converter;
    XmlReader reader{converter};
};

// ---- loading and encodings ----

constexpr std::u16string_view kLanguageText =
    u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<language>\r\n <config>\r\n"
    u"  <str_ok>\u786E\u5B9A</str_ok>\r\n  <str_cancel>Annuler &amp; fermer</str_cancel>\r\n"
    u" </config>\r\n</language>\r\n";

TEST_F(XmlReaderTest, EveryEncodingOfAFileGivesTheSameStrings) {
    const std::string utf8 = Utf16ToUtf8(kLanguageText);
    const struct {
        const char* name;
        Bytes bytes;
        std::uint32_t flags;
        const char16_t* resultStart;
    } files[] = {
        {"UTF-8 without mark", Utf8(utf8), kDocUtf8, u"UTF-8 length "},
        {"UTF-8 with mark", Concat({0xEF, 0xBB, 0xBF}, Utf8(utf8)), kDocBomUtf8 | kDocUtf8,
         u"UTF-8 BOM + length "},
        {"UTF-16LE with mark", Concat({0xFF, 0xFE}, Utf16(kLanguageText, false)),
         kDocBomUtf16Le | kDocUtf16, u"UTF-16LE BOM + length "},
        {"UTF-16BE with mark", Concat({0xFE, 0xFF}, Utf16(kLanguageText, true)),
         kDocBomUtf16Be | kDocUtf16 | kDocEndianSwap, u"UTF-16BE BOM + length "},
        {"UTF-16LE without mark", Utf16(kLanguageText.substr(kLanguageText.find(u"<lang")), false),
         kDocUtf16, u"UTF-16LE length "},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        std::uint32_t flags = 0xFFFF;
        ASSERT_TRUE(reader.loadBytes(f.bytes, &flags));
        EXPECT_EQ(flags, f.flags);
        EXPECT_TRUE(reader.resultText().starts_with(f.resultStart))
            << Utf16ToUtf8(reader.resultText());
        EXPECT_TRUE(reader.parse()) << errors();
        EXPECT_EQ(reader.lookup(u"config", u"str_ok"), u"\u786E\u5B9A");
        EXPECT_EQ(reader.lookup(u"config", u"str_cancel"), u"Annuler & fermer");
    }
}

TEST_F(XmlReaderTest, ResultTextDescribesTheLoad) {
    ASSERT_TRUE(reader.loadBytes(Concat({0xFE, 0xFF}, Utf16(u"<a>\u00E9</a>", true))));
    EXPECT_EQ(reader.resultText(), u"UTF-16BE BOM + length 16 endian swap to 8 wide chars ");

    // Null characters are dropped from UTF-16 and counted.
    ASSERT_TRUE(
        reader.loadBytes(Concat({0xFF, 0xFE}, Utf16(std::u16string(u"<a>x\0\0</a>", 10), false))));
    EXPECT_EQ(reader.document(), u"<a>x</a>");
    EXPECT_NE(reader.resultText().find(u"(2 nulls removed) "), std::u16string::npos);

    ASSERT_TRUE(reader.loadBytes({}));
    EXPECT_EQ(reader.resultText(), u"0 length ");
    EXPECT_EQ(reader.document(), u"");
    EXPECT_FALSE(reader.parse());
    EXPECT_EQ(reader.resultText(), u"0 length Empty document ");
}

TEST_F(XmlReaderTest, DeclaredCharsetsConvertThroughTheirCodePage) {
    ASSERT_TRUE(reader.loadBytes(
        Utf8("<?xml version='1.0' encoding='ISO-8859-7'?><r><config><k>\xE1</k></config></r>")));
    EXPECT_EQ(reader.encoding(), "ISO-8859-7");
    reader.parse();
    EXPECT_EQ(reader.lookup(u"config", u"k"), u"\u03B1");

    // An HTML header names it in its meta element.
    ASSERT_TRUE(reader.loadBytes(
        Utf8("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
             "</meta></head><body>\xD6\xD0</body></html>")));
    EXPECT_EQ(reader.encoding(), "gb2312");
    reader.parse();
    EXPECT_EQ(reader.lookup(u"head", u"body"), u"");
    reader.resetPos();
    ASSERT_TRUE(reader.findChildElem(u"body"));
    EXPECT_EQ(reader.getChildData(), u"\u4E2D");
}

TEST_F(XmlReaderTest, UndeclaredTextIsTestedForUtf8ThenTakenAsAnsi) {
    // Starts without '<' and names no encoding: valid UTF-8 is detected as such.
    ASSERT_TRUE(reader.loadBytes(Utf8(" <a>\xC3\xA9</a>")));
    EXPECT_EQ(reader.encoding(), "UTF-8");
    EXPECT_NE(reader.resultText().find(u"(used UTF-8 detection) "), std::u16string::npos);
    EXPECT_EQ(reader.document(), u" <a>\u00E9</a>");

    std::uint32_t flags = 0;
    ASSERT_TRUE(reader.loadBytes(Utf8(" <a>caf\xE9 \x80</a>"), &flags));
    EXPECT_EQ(flags, kDocAnsi);
    EXPECT_TRUE(reader.resultText().starts_with(u"ANSI ")) << Utf16ToUtf8(reader.resultText());
    EXPECT_EQ(reader.document(), u" <a>caf\u00E9 \u20AC</a>");

    // A name outside the table also means the ANSI code page.
    ASSERT_TRUE(reader.loadBytes(Utf8("<?xml encoding=\"x-unknown\"?><a>\xE9</a>")));
    EXPECT_TRUE(reader.resultText().starts_with(u"ANSI x-unknown "));
    EXPECT_EQ(reader.document().back(), u'>');
    EXPECT_NE(reader.document().find(u"\u00E9"), std::u16string::npos);

    // Byte content declared as UTF-16 cannot be UTF-16: its bytes decide.
    ASSERT_TRUE(reader.loadBytes(Utf8("<?xml encoding=\"UTF-16\"?><a>\xC3\xA9</a>")));
    EXPECT_EQ(reader.encoding(), "UTF-8");
}

TEST_F(XmlReaderTest, UnreadableFileFailsAndLeavesNothingBehind) {
    ASSERT_TRUE(parse(u"<r><config><k>old</k></config></r>"));
    EXPECT_FALSE(reader.loadFile("/nonexistent/q350/sc.xml"));
    EXPECT_EQ(reader.resultText(), u"The system cannot find the file specified. ");
    EXPECT_EQ(reader.document(), u"");
    EXPECT_EQ(reader.lookup(u"config", u"k"), u"");

    const auto dir = std::filesystem::temp_directory_path() / "q350_xml_reader_test";
    std::filesystem::create_directories(dir);
    const auto file = dir / "a.xml";
    std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF<r><config><k>new</k></config></r>";
    std::uint32_t flags = 0;
    ASSERT_TRUE(reader.loadFile(file, &flags));
    EXPECT_EQ(flags, kDocBomUtf8 | kDocUtf8);
    reader.parse();
    EXPECT_EQ(reader.lookup(u"config", u"k"), u"new");
    EXPECT_FALSE(reader.loadFile(dir));  // a folder is no file
    std::filesystem::remove_all(dir);
}

// ---- parse errors ----

TEST_F(XmlReaderTest, EachErrorIsReportedWithItsOffset) {
    const struct {
        std::u16string_view doc;
        std::u16string_view error;
    } cases[] = {
        {u"<a><b></a>", u"Element 'b' at offset 3 not ended"},
        {u"<a></b></a>", u"End tag 'b' at offset 3 does not match start tag 'a' at offset 0"},
        {u"</b><a/>", u"No start tag for end tag 'b' at offset 0"},
        {u"<a>x < y</a>", u"Incorrect tag name character at offset 5"},
        {u"<a></ b></a>", u"Incorrect tag name character at offset 3"},
        {u"<a><!-x--></a>", u"Incorrect comment tag at offset 3"},
        {u"<a x></a>", u"Incorrect tag at offset 0"},
        {u"<a x=1></a>", u"Incorrect tag at offset 0"},
        {u"<a x='1'y='2'></a>", u"Incorrect tag at offset 0"},
        {u"<a></a x>", u"Incorrect tag at offset 3"},
        {u"<a><!FOO></a>", u"Incorrect ! tag at offset 3"},
        {u"<a", u"Element tag at offset 0 unterminated"},
        {u"<a x='1>", u"Element tag at offset 0 unterminated"},
        {u"<a></a", u"Element end tag at offset 3 unterminated"},
        {u"<a><![CDATA[x", u"CDATA Section at offset 3 unterminated"},
        {u"<a><?pi", u"Processing instruction at offset 3 unterminated"},
        {u"<a><!-- x --", u"Comment at offset 3 unterminated"},
        {u"<!DOCTYPE a [ <!ENTITY e 'x'>", u"Doctype at offset 0 unterminated"},
        {u"<a/><", u"tag at offset 4 unterminated"},
        {u"<a/><!", u"tag at offset 4 unterminated"},
        {u"<a><![CDA", u"CDATA Section at offset 3 unterminated"},
        {u"just text", u"No root element"},
        {u"<a/><b/>", u"Root element has sibling"},
        {u"<a><b>", u"Element 'a' at offset 0 not ended"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.doc));
        EXPECT_FALSE(parse(c.doc));
        EXPECT_TRUE(hasError(c.error)) << errors();
    }
    EXPECT_FALSE(parse(u""));
    EXPECT_EQ(reader.parseErrors(), std::vector<std::u16string>{u"Empty document"});
}

TEST_F(XmlReaderTest, ErrorsAreCollectedInTheResultTextAndParsingGoesOn) {
    reader.loadBytes(Utf8("<r><config><a>1</a></b><c>x < y</c><d>4</d></config></r>"));
    EXPECT_FALSE(reader.parse());
    EXPECT_EQ(reader.parseErrors().size(), 2u) << errors();
    EXPECT_NE(reader.resultText().find(u" wide chars End tag 'b' at offset 19 does not match "
                                       u"start tag 'config' at offset 3 Incorrect tag name "
                                       u"character at offset 28 "),
              std::u16string::npos)
        << Utf16ToUtf8(reader.resultText());
    EXPECT_EQ(reader.lookup(u"config", u"a"), u"1");
    EXPECT_EQ(reader.lookup(u"config", u"c"), u"x < y");
    EXPECT_EQ(reader.lookup(u"config", u"d"), u"4");
}

TEST_F(XmlReaderTest, AnEndTagFurtherUpClosesTheElementsBetween) {
    EXPECT_FALSE(parse(u"<r><config><a><b>x</config><after>2</after></r>"));
    EXPECT_TRUE(hasError(u"Element 'b' at offset 14 not ended")) << errors();
    EXPECT_TRUE(hasError(u"Element 'a' at offset 11 not ended")) << errors();
    EXPECT_EQ(reader.parseErrors().size(), 2u);
    // config was closed by its own end tag: after is a sibling of it, not a child.
    EXPECT_EQ(reader.lookup(u"config", u"after"), u"");
    reader.resetPos();
    ASSERT_TRUE(reader.findChildElem(u"after"));
    EXPECT_EQ(reader.getChildData(), u"2");
}

TEST_F(XmlReaderTest, DeclarationsCommentsAndInstructionsAreSkipped) {
    EXPECT_TRUE(
        parse(u"<?xml version=\"1.0\"?>\n<!-- <config><k>no</k></config> -->\n"
              u"<!DOCTYPE r [\n <!ELEMENT r ANY>\n <!ATTLIST r a CDATA \"]>\">\n"
              u" <!ENTITY e '<k>no</k>'>\n <!-- ] > -->\n]>\n"
              u"<r a='>' b=\"x\"><?pi <k>no</k> ?><config x = 'y'><k>yes</k><e/></config></r>"))
        << errors();
    EXPECT_EQ(reader.lookup(u"config", u"k"), u"yes");
    EXPECT_EQ(reader.elementCount(), 4u);
}

// ---- element text ----

TEST_F(XmlReaderTest, CharacterReferencesAreDecoded) {
    const struct {
        std::u16string_view raw;
        std::u16string_view text;
    } cases[] = {
        {u"a &amp; b", u"a & b"},
        {u"&#x4E2D;&#20013;&#X4e2d;", u"\u4E2D\u4E2D\u4E2D"},
        {u"&lt;&gt;&quot;&apos;&nbsp;&euro;&hearts;", u"<>\"'\u00A0\u20AC\u2665"},
        {u"&Agrave;&agrave;&Dagger;&dagger;", u"\u00C0\u00E0\u2021\u2020"},
        {u"&AMP;&NBSP;", u"&\u00A0"},   // capitals where no case twin exists
        {u"&#x1F5B1;", u"\U0001F5B1"},  // beyond the plane: a surrogate pair
        {u"&#128433;", u"\U0001F5B1"},
        {u"&thetasym;&upsih;", u"\u03D1\u03D2"},         // longest names of the set
        {u"&unknown; &bogus", u"&unknown; &bogus"},      // not in the table / no semicolon
        {u"&#0;&#x0;&#;&#x;&;", u"&#0;&#x0;&#;&#x;&;"},  // zero or empty
        {u"&#xD800;&#x110000;&#12a;", u"&#xD800;&#x110000;&#12a;"},
        {u"&#000000065;", u"&#000000065;"},  // ten characters before ';'
        {u"&#00000065;", u"A"},              // nine
        {u"& amp;&&amp;", u"& amp;&&"},
        {u"tail &", u"tail &"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.raw));
        ASSERT_TRUE(parse(u"<r><config><k>" + std::u16string(c.raw) + u"</k></config></r>"))
            << errors();
        EXPECT_EQ(reader.lookup(u"config", u"k"), c.text);
    }
}

TEST_F(XmlReaderTest, TextJoinsPiecesAndCdataAndSkipsCommentsAndInstructions) {
    ASSERT_TRUE(
        parse(u"<r><config><k>a&amp;<![CDATA[<b>&amp;]]>c<!-- x -->d<?p q?>e</k>"
              u"<empty/><blank></blank><nested>x<i>y</i>z</nested></config></r>"))
        << errors();
    EXPECT_EQ(reader.lookup(u"config", u"k"), u"a&<b>&amp;cde");
    std::u16string text = u"stale";
    EXPECT_TRUE(reader.lookup(u"config", u"empty", text));
    EXPECT_EQ(text, u"");
    EXPECT_TRUE(reader.lookup(u"config", u"blank", text));
    EXPECT_EQ(text, u"");
    // An element with a child element has no text.
    EXPECT_TRUE(reader.lookup(u"config", u"nested", text));
    EXPECT_EQ(text, u"");
    EXPECT_FALSE(reader.lookup(u"config", u"missing", text));
}

TEST_F(XmlReaderTest, TextOfBrokenElementsStaysWithinThem) {
    // An unterminated section runs to the end of the document, and so does its element.
    parse(u"<r><config><a>one<![CDATA[two</config><b>x</b></r>");
    EXPECT_EQ(reader.lookup(u"config", u"a"), u"onetwo</config><b>x</b></r>");
    parse(u"<r><config><a>one</x>two<!-- open</a></config></r>");
    EXPECT_EQ(reader.lookup(u"config", u"a"), u"onetwo");
}

// ---- lookup and navigation ----

TEST_F(XmlReaderTest, LookupAnswersTheFirstMatchOnly) {
    ASSERT_TRUE(
        parse(u"<r><other><k>no</k></other><config><k>first</k><k>second</k></config>"
              u"<config><j>later group</j></config></r>"));
    EXPECT_EQ(reader.lookup(u"config", u"k"), u"first");
    EXPECT_EQ(reader.lookup(u"config", u"j"), u"");  // only the first group is read
    EXPECT_EQ(reader.lookup(u"missing", u"k"), u"");
    EXPECT_EQ(reader.lookup(u"config", u"K"), u"");  // names are case-sensitive
    EXPECT_EQ(reader.lookup(u"Config", u"k"), u"");
}

TEST_F(XmlReaderTest, LookupGoesDownThroughNestedGroups) {
    ASSERT_TRUE(parse(u"<r><g><a>1</a><g><b>2</b><g><c>3</c></g></g></g></r>"));
    EXPECT_EQ(reader.lookup(u"g", u"a"), u"1");
    EXPECT_EQ(reader.lookup(u"g", u"b"), u"2");
    EXPECT_EQ(reader.lookup(u"g", u"c"), u"3");
    EXPECT_EQ(reader.lookup(u"g", u"d"), u"");
}

TEST_F(XmlReaderTest, TwoTopLevelElementsStillAnswerFromTheFirst) {
    EXPECT_FALSE(parse(u"<r><config><k>1</k></config></r><s><config><k>2</k><j/></config></s>"));
    EXPECT_TRUE(hasError(u"Root element has sibling"));
    EXPECT_EQ(reader.lookup(u"config", u"k"), u"1");
    std::u16string text;
    EXPECT_FALSE(reader.lookup(u"config", u"j", text));
}

TEST_F(XmlReaderTest, NavigationMovesOverSiblingsAndChildren) {
    ASSERT_TRUE(parse(u"<r><a>1</a><b><x>2</x></b><a>3</a></r>"));
    EXPECT_FALSE(reader.intoElem());  // nowhere yet
    EXPECT_TRUE(reader.findChildElem(u"a"));
    EXPECT_EQ(reader.getTagName(), u"r");
    EXPECT_EQ(reader.getChildData(), u"1");
    EXPECT_TRUE(reader.findChildElem(u"a"));
    EXPECT_EQ(reader.getChildData(), u"3");
    EXPECT_FALSE(reader.findChildElem(u"a"));
    EXPECT_EQ(reader.getChildData(), u"3");  // a failed find keeps the position

    reader.resetPos();
    ASSERT_TRUE(reader.findElem());
    ASSERT_TRUE(reader.intoElem());
    EXPECT_EQ(reader.getTagName(), u"");
    ASSERT_TRUE(reader.findElem(u"b"));
    ASSERT_TRUE(reader.findChildElem());
    EXPECT_EQ(reader.getChildTagName(), u"x");
    EXPECT_EQ(reader.getData(), u"");
    EXPECT_TRUE(reader.findElem());
    EXPECT_EQ(reader.getData(), u"3");
    EXPECT_EQ(reader.getChildTagName(), u"");
    ASSERT_TRUE(reader.outOfElem());
    EXPECT_EQ(reader.getTagName(), u"r");
    EXPECT_EQ(reader.getChildData(), u"3");
    EXPECT_FALSE(reader.findElem());  // the root has no sibling
}

// ---- large and hostile documents ----

TEST_F(XmlReaderTest, DeepNestingNeitherRecursesNorSlowsDown) {
    constexpr int kDepth = 200000;
    std::u16string doc;
    for (int i = 0; i < kDepth; ++i) {
        doc += u"<config>";
    }
    doc += u"<k>deep</k>";
    // A stray end tag per level, each searching the open elements.
    for (int i = 0; i < kDepth; ++i) {
        doc += u"</x>";
    }
    EXPECT_FALSE(parse(doc));
    EXPECT_EQ(reader.elementCount(), static_cast<std::size_t>(kDepth) + 1);
    EXPECT_EQ(reader.lookup(u"config", u"k"), u"deep");
}

TEST_F(XmlReaderTest, WideDocumentsSpanSeveralIndexPages) {
    constexpr int kCount = 150000;  // more than two pages of the element index
    std::u16string doc = u"<r><config>";
    for (int i = 0; i < kCount; ++i) {
        doc += u"<e/>";
    }
    doc += u"<last>end</last></config></r>";
    ASSERT_TRUE(parse(doc)) << errors();
    EXPECT_EQ(reader.elementCount(), static_cast<std::size_t>(kCount) + 3);
    EXPECT_EQ(reader.lookup(u"config", u"last"), u"end");
}

}  // namespace
}  // namespace q350::lang
