#pragma once

// A small non-validating XML reader: loads a whole file into a UTF-16 document, indexes its
// elements and answers the question its callers ask, the text of child element "key" of the
// element "group" below the root. It never writes anything back and it never stops at an error:
// whatever it recognised stays readable.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lang/code_page.h"

namespace q350::lang {

// Document flags, set by loading.
inline constexpr std::uint32_t kDocBomUtf8 = 0x0001;     // the file began with EF BB BF
inline constexpr std::uint32_t kDocBomUtf16Le = 0x0002;  // ... with FF FE
inline constexpr std::uint32_t kDocBomUtf16Be = 0x0004;  // ... with FE FF
inline constexpr std::uint32_t kDocUtf16 = 0x0010;       // content taken as UTF-16 units
inline constexpr std::uint32_t kDocUtf8 = 0x0020;        // content decoded as UTF-8
inline constexpr std::uint32_t kDocAnsi = 0x0040;        // content in the system's ANSI code page
inline constexpr std::uint32_t kDocEndianSwap = 0x0080;  // big-endian units were byte-swapped

// Files above this size are refused, so that the element index of the worst document (an element
// every four characters) stays within a few hundred megabytes. Language files and update
// descriptions are a few tens of kilobytes.
inline constexpr std::size_t kMaxDocumentBytes = std::size_t{32} << 20;

class XmlReader {
public:
    // The converter serves byte content that is neither UTF-8 nor UTF-16; it must outlive the
    // reader.
    explicit XmlReader(const CodePageConverter& converter);
    ~XmlReader();
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    // Replaces the document with the file's content. False when the file cannot be opened or
    // read (the document is then empty and the result text holds the reason). docFlags, when
    // given, receives the document flags.
    bool loadFile(const std::filesystem::path& file, std::uint32_t* docFlags = nullptr);
    // The same for content already in memory.
    bool loadBytes(std::span<const std::uint8_t> bytes, std::uint32_t* docFlags = nullptr);
    // Takes a UTF-16 document as it is.
    void setDocument(std::u16string document);

    // Indexes the document. True when it has exactly one root element and no error.
    bool parse();

    // Navigation. The position is a parent, a current element and a current child element.
    void resetPos();
    // The next sibling after the current element (or the first child of the parent when there is
    // no current element) with that name (empty: any); it becomes current, the child none.
    bool findElem(std::u16string_view name = {});
    // Without a current element first finds the root. Then the next child of the current element
    // after the current child with that name (empty: any) becomes the current child.
    bool findChildElem(std::u16string_view name = {});
    // The current element becomes the parent and the current child the current element.
    bool intoElem();
    // The reverse of intoElem.
    bool outOfElem();
    std::u16string getData() const;       // text of the current element
    std::u16string getChildData() const;  // text of the current child element
    std::u16string getTagName() const;
    std::u16string getChildTagName() const;

    // Text of element "key" in element "group" below the root (or in a "group" nested in it, one
    // level deeper at a time); empty when there is none.
    std::u16string lookup(std::u16string_view group, std::u16string_view key);
    // The same; also tells whether the key element exists.
    bool lookup(std::u16string_view group, std::u16string_view key, std::u16string& text);

    const std::u16string& document() const { return doc_; }
    // How the load went ("UTF-8 length 812 to 790 wide chars ") and the parse errors after it,
    // separated by spaces.
    std::u16string resultText() const;
    const std::vector<std::u16string>& parseErrors() const { return errors_; }
    // Name of the encoding the document was read in ("UTF-16LE", "UTF-8", a declared name, or
    // empty when nothing was known).
    const std::string& encoding() const { return encoding_; }
    std::uint32_t docFlags() const { return flags_; }
    std::size_t elementCount() const { return count_ == 0 ? 0 : count_ - 1; }

private:
    struct Element;
    struct Parser;
    Element& at(std::uint32_t index);
    const Element& at(std::uint32_t index) const;
    std::uint32_t addElement();
    void clearIndex();
    bool nameIs(std::uint32_t index, std::u16string_view name) const;
    std::u16string_view nameOf(std::uint32_t index) const;
    std::uint32_t nextMatch(std::uint32_t from, std::u16string_view name) const;
    std::u16string textOf(std::uint32_t index) const;
    void failLoad(std::u16string reason);

    const CodePageConverter& converter_;
    std::u16string doc_;
    std::string encoding_;
    std::uint32_t flags_ = 0;
    std::u16string loadText_;
    std::vector<std::u16string> errors_;

    // Element index in pages; entry 0 is the document, whose first child is the root.
    std::vector<std::unique_ptr<Element[]>> pages_;
    std::uint32_t firstPageCapacity_ = 0;
    std::uint32_t count_ = 0;

    std::uint32_t parent_ = 0;
    std::uint32_t elem_ = 0;
    std::uint32_t child_ = 0;
};

// Decodes the character references of a piece of element text; undecodable ones stay as written.
void AppendDecodedText(std::u16string_view raw, std::u16string& out);

}  // namespace q350::lang
