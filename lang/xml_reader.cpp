#include "lang/xml_reader.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "base/file_io.h"
#include "base/utf.h"
#include "lang/html_entities.h"

namespace q350::lang {

namespace {

constexpr std::uint32_t kPageSize = 65536;  // entries per page of the element index
constexpr std::size_t kProbeBytes = 1024;   // bytes searched for a declared encoding

// Element flags.
constexpr std::uint32_t kElemEmpty = 0x1;     // written as an empty-element tag
constexpr std::uint32_t kElemNotEnded = 0x2;  // closed without its own end tag

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool IsNameStart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' ||
           c >= 0x80;
}

bool IsNameChar(char16_t c) {
    return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

std::u16string Ascii(std::string_view s) {
    return std::u16string(s.begin(), s.end());
}

std::u16string Number(std::size_t n) {
    return Ascii(std::to_string(n));
}

void AppendCodePoint(std::u16string& out, std::uint32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

// Value of a numeric reference body ("#65", "#x4E2D"), or 0 when it is not a valid one.
std::uint32_t NumericReference(std::u16string_view body) {
    bool hex = false;
    body.remove_prefix(1);  // '#'
    if (!body.empty() && (body[0] == u'x' || body[0] == u'X')) {
        hex = true;
        body.remove_prefix(1);
    }
    if (body.empty()) {
        return 0;
    }
    std::uint32_t value = 0;
    for (char16_t c : body) {
        std::uint32_t digit;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (hex && c >= u'a' && c <= u'f') {
            digit = c - u'a' + 10;
        } else if (hex && c >= u'A' && c <= u'F') {
            digit = c - u'A' + 10;
        } else {
            return 0;
        }
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) {
            return 0;
        }
    }
    // Surrogate code points are no characters of their own.
    if (value >= 0xD800 && value <= 0xDFFF) {
        return 0;
    }
    return value;
}

// Finds the first occurrence of pattern at or after from; npos when there is none.
std::size_t Find(std::u16string_view doc, std::u16string_view pattern, std::size_t from) {
    return doc.find(pattern, from);
}

// ---- encoding detection on the first bytes ----

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t FindFolded(std::string_view text, std::string_view lowerPattern, std::size_t from) {
    if (lowerPattern.size() > text.size()) {
        return std::string_view::npos;
    }
    for (std::size_t i = from; i + lowerPattern.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < lowerPattern.size() && LowerAscii(text[i + k]) == lowerPattern[k]) {
            ++k;
        }
        if (k == lowerPattern.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

// Value of attribute name (lower case) in a tag's text, or empty.
std::string AttributeValue(std::string_view tag, std::string_view name) {
    std::size_t pos = 0;
    while ((pos = FindFolded(tag, name, pos)) != std::string_view::npos) {
        const bool boundary = pos == 0 || IsSpace(static_cast<unsigned char>(tag[pos - 1]));
        std::size_t i = pos + name.size();
        pos += 1;
        if (!boundary) {
            continue;
        }
        while (i < tag.size() && IsSpace(static_cast<unsigned char>(tag[i]))) {
            ++i;
        }
        if (i >= tag.size() || tag[i] != '=') {
            continue;
        }
        ++i;
        while (i < tag.size() && IsSpace(static_cast<unsigned char>(tag[i]))) {
            ++i;
        }
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) {
            continue;
        }
        const std::size_t close = tag.find(tag[i], i + 1);
        if (close == std::string_view::npos) {
            return {};
        }
        return std::string(tag.substr(i + 1, close - i - 1));
    }
    return {};
}

// The text of the tag that starts at pos (up to its '>', or the end of the probe).
std::string_view TagAt(std::string_view text, std::size_t pos) {
    const std::size_t end = text.find('>', pos);
    return text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
}

// The encoding named by the XML declaration or by an HTML meta element, or empty.
std::string DeclaredEncoding(std::string_view probe) {
    std::size_t start = 0;
    while (start < probe.size() && IsSpace(static_cast<unsigned char>(probe[start]))) {
        ++start;
    }
    if (probe.substr(start, 5) == "<?xml") {
        const std::size_t end = probe.find("?>", start);
        const std::string_view decl = probe.substr(
            start + 5, end == std::string_view::npos ? std::string_view::npos : end - start - 5);
        std::string value = AttributeValue(decl, "encoding");
        if (!value.empty()) {
            return value;
        }
    }
    const std::size_t html = FindFolded(probe, "<html", 0);
    if (html == std::string_view::npos) {
        return {};
    }
    const std::size_t head = FindFolded(probe, "<head", html);
    if (head == std::string_view::npos) {
        return {};
    }
    std::size_t meta = head;
    while ((meta = FindFolded(probe, "<meta", meta)) != std::string_view::npos) {
        const std::string_view tag = TagAt(probe, meta);
        meta += 5;
        std::string equiv = AttributeValue(tag, "http-equiv");
        std::transform(equiv.begin(), equiv.end(), equiv.begin(), LowerAscii);
        if (equiv != "content-type") {
            continue;
        }
        const std::string content = AttributeValue(tag, "content");
        const std::size_t cs = FindFolded(content, "charset", 0);
        if (cs == std::string::npos) {
            continue;
        }
        std::size_t i = cs + 7;
        while (i < content.size() && IsSpace(static_cast<unsigned char>(content[i]))) {
            ++i;
        }
        if (i >= content.size() || content[i] != '=') {
            continue;
        }
        ++i;
        std::size_t end = i;
        while (end < content.size() && content[end] != ';' &&
               !IsSpace(static_cast<unsigned char>(content[end]))) {
            ++end;
        }
        return content.substr(i, end - i);
    }
    return {};
}

}  // namespace

// One entry of the element index.
struct XmlReader::Element {
    std::uint32_t start = 0;           // offset of the '<' of the start tag
    std::uint32_t length = 0;          // start tag to end of end tag
    std::uint32_t startTagLength = 0;  // up to and including its '>'
    std::uint32_t endTagLength = 0;    // 0 for an empty element or one that was not ended
    std::uint32_t nameLength = 0;
    std::uint32_t flags = 0;
    std::uint32_t parent = 0;
    std::uint32_t firstChild = 0;
    std::uint32_t nextSibling = 0;
    std::uint32_t prevSibling = 0;
};

void AppendDecodedText(std::u16string_view raw, std::u16string& out) {
    std::size_t i = 0;
    while (i < raw.size()) {
        const std::size_t amp = raw.find(u'&', i);
        if (amp == std::u16string_view::npos) {
            out.append(raw.substr(i));
            return;
        }
        out.append(raw.substr(i, amp - i));
        i = amp + 1;
        // At most nine characters between the ampersand and the semicolon.
        const std::size_t limit = std::min(raw.size(), amp + 11);
        std::size_t semi = amp + 1;
        while (semi < limit && raw[semi] != u';') {
            ++semi;
        }
        if (semi >= limit || semi == amp + 1) {
            out.push_back(u'&');
            continue;
        }
        const std::u16string_view body = raw.substr(amp + 1, semi - amp - 1);
        const std::uint32_t value =
            body[0] == u'#' ? NumericReference(body) : NamedEntityValue(body);
        if (value == 0) {
            out.push_back(u'&');
            continue;
        }
        AppendCodePoint(out, value);
        i = semi + 1;
    }
}

XmlReader::XmlReader(const CodePageConverter& converter) : converter_(converter) {
    clearIndex();
}

XmlReader::~XmlReader() = default;

XmlReader::Element& XmlReader::at(std::uint32_t index) {
    return pages_[index / kPageSize][index % kPageSize];
}

const XmlReader::Element& XmlReader::at(std::uint32_t index) const {
    return pages_[index / kPageSize][index % kPageSize];
}

std::uint32_t XmlReader::addElement() {
    const std::uint32_t index = count_;
    const std::uint32_t page = index / kPageSize;
    const std::uint32_t slot = index % kPageSize;
    if (page == 0 && slot >= firstPageCapacity_) {
        // The first page was sized for the document; it doubles up to a full page.
        const std::uint32_t capacity = std::min(firstPageCapacity_ * 2, kPageSize);
        auto larger = std::make_unique<Element[]>(capacity);
        std::copy(pages_[0].get(), pages_[0].get() + count_, larger.get());
        pages_[0] = std::move(larger);
        firstPageCapacity_ = capacity;
    } else if (page >= pages_.size()) {
        pages_.push_back(std::make_unique<Element[]>(kPageSize));
    }
    ++count_;
    at(index) = Element{};
    return index;
}

void XmlReader::clearIndex() {
    pages_.clear();
    // Room for (document length / 64) + 8 entries, the usual density of element markup.
    const std::size_t want = doc_.size() / 64 + 8;
    firstPageCapacity_ = static_cast<std::uint32_t>(std::min<std::size_t>(want, kPageSize));
    pages_.push_back(std::make_unique<Element[]>(firstPageCapacity_));
    count_ = 0;
    addElement();  // the document
    at(0).length = static_cast<std::uint32_t>(doc_.size());
    resetPos();
}

void XmlReader::failLoad(std::u16string reason) {
    doc_.clear();
    encoding_.clear();
    loadText_ = std::move(reason);
    errors_.clear();
    clearIndex();
}

bool XmlReader::loadFile(const std::filesystem::path& file, std::uint32_t* docFlags) {
    flags_ = 0;
    if (docFlags) {
        *docFlags = 0;
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (!ec && size > kMaxDocumentBytes) {
        failLoad(u"The file is too large. ");
        return false;
    }
    std::vector<std::uint8_t> bytes;
    FileError error = FileError::None;
    if (!ReadFileBytes(file, bytes, &error)) {
        switch (error) {
            case FileError::NotFound:
                failLoad(u"The system cannot find the file specified. ");
                break;
            case FileError::AccessDenied:
                failLoad(u"Access is denied. ");
                break;
            default:
                failLoad(u"The file could not be read. ");
                break;
        }
        return false;
    }
    return loadBytes(bytes, docFlags);
}

bool XmlReader::loadBytes(std::span<const std::uint8_t> bytes, std::uint32_t* docFlags) {
    flags_ = 0;
    if (docFlags) {
        *docFlags = 0;
    }
    if (bytes.size() > kMaxDocumentBytes) {
        failLoad(u"The file is too large. ");
        return false;
    }
    doc_.clear();
    encoding_.clear();
    errors_.clear();
    loadText_.clear();
    if (bytes.empty()) {
        loadText_ = u"0 length ";
        clearIndex();
        return true;
    }

    bool bom = false;
    bool utf16 = false;
    bool bigEndian = false;
    std::size_t skip = 0;
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        encoding_ = "UTF-8";
        flags_ |= kDocBomUtf8;
        bom = true;
        skip = 3;
    } else if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        encoding_ = "UTF-16LE";
        flags_ |= kDocBomUtf16Le;
        bom = utf16 = true;
        skip = 2;
    } else if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        encoding_ = "UTF-16BE";
        flags_ |= kDocBomUtf16Be;
        bom = utf16 = bigEndian = true;
        skip = 2;
    } else if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == 0) {
        // UTF-16 without a mark still shows itself by the zero byte beside the first '<'.
        encoding_ = "UTF-16LE";
        utf16 = true;
    } else if (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] == '<') {
        encoding_ = "UTF-16BE";
        utf16 = bigEndian = true;
    } else {
        const std::size_t n = std::min(bytes.size(), kProbeBytes);
        const std::string probe(reinterpret_cast<const char*>(bytes.data()), n);
        encoding_ = DeclaredEncoding(probe);
        if (encoding_.empty() && bytes[0] == '<') {
            encoding_ = "UTF-8";
        }
    }
    const std::span<const std::uint8_t> content = bytes.subspan(skip);

    std::u16string text;
    std::u16string notes;
    if (utf16) {
        flags_ |= kDocUtf16;
        notes += u"length " + Number(content.size()) + u" ";
        doc_.resize(content.size() / 2);
        std::size_t nulls = 0;
        std::size_t o = 0;
        for (std::size_t i = 0; i + 1 < content.size(); i += 2) {
            const auto lo = content[bigEndian ? i + 1 : i];
            const auto hi = content[bigEndian ? i : i + 1];
            const auto c = static_cast<char16_t>(lo | (hi << 8));
            if (c == 0) {
                ++nulls;
                continue;
            }
            doc_[o++] = c;
        }
        doc_.resize(o);
        if (bigEndian) {
            flags_ |= kDocEndianSwap;
            notes += u"endian swap ";
        }
        if (nulls > 0) {
            notes += u"(" + Number(nulls) + u" nulls removed) ";
        }
    } else {
        notes += u"length " + Number(content.size()) + u" ";
        std::uint32_t codePage = CodePageOfCharset(encoding_);
        if (codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be) {
            // Byte content cannot be UTF-16 whatever its declaration says.
            encoding_.clear();
            codePage = 0;
        }
        if (encoding_.empty()) {
            if (IsValidUtf8(content)) {
                encoding_ = "UTF-8";
                codePage = kCodePageUtf8;
            }
            notes += u"(used UTF-8 detection) ";
        }
        bool converted = false;
        if (codePage == kCodePageUtf8) {
            flags_ |= kDocUtf8;
            DecodeUtf8(content, doc_);
            converted = true;
        } else if (codePage != 0) {
            converted = converter_.toUtf16(codePage, content, doc_);
        }
        if (!converted) {
            loadText_ = u"ANSI ";
            flags_ |= kDocAnsi;
            if (!converter_.toUtf16(converter_.ansiCodePage(), content, doc_)) {
                BasicCodePageConverter().toUtf16(28591, content, doc_);
            }
        }
    }
    loadText_ += Ascii(encoding_);
    loadText_ += bom ? u" BOM + " : u" ";
    loadText_ += notes;
    loadText_ += u"to " + Number(doc_.size()) + u" wide chars ";
    if (docFlags) {
        *docFlags = flags_;
    }
    clearIndex();
    return true;
}

void XmlReader::setDocument(std::u16string document) {
    doc_ = std::move(document);
    encoding_.clear();
    flags_ = 0;
    errors_.clear();
    loadText_.clear();
    clearIndex();
}

std::u16string XmlReader::resultText() const {
    std::u16string text = loadText_;
    for (const std::u16string& e : errors_) {
        text += e;
        text += u' ';
    }
    return text;
}

// ---- parsing ----

struct XmlReader::Parser {
    explicit Parser(XmlReader& reader) : r(reader), doc(reader.doc_), open{0}, lastChild{0} {}

    XmlReader& r;
    std::u16string_view doc;
    std::vector<std::uint32_t> open;       // open elements; open[0] is the document
    std::vector<std::uint32_t> lastChild;  // last child so far of each open element
    // Built only after the first end tag that does not close the innermost element: stack depths
    // of the open elements by name, so that a run of stray end tags stays linear.
    bool useNames = false;
    std::unordered_map<std::u16string_view, std::vector<std::size_t>> depths;
    std::size_t roots = 0;
    bool stopped = false;

    void error(std::u16string text) { r.errors_.push_back(std::move(text)); }
    void errorAt(std::u16string_view what, std::size_t offset) {
        error(std::u16string(what) + u" at offset " + Number(offset));
    }
    // A construct that runs to the end of the document ends the scan.
    void unterminated(std::u16string_view kind, std::size_t offset) {
        error(std::u16string(kind) + u" at offset " + Number(offset) + u" unterminated");
        stopped = true;
    }

    void attach(std::uint32_t index) {
        Element& e = r.at(index);
        const std::uint32_t parent = open.back();
        e.parent = parent;
        std::uint32_t& last = lastChild.back();
        if (last == 0) {
            r.at(parent).firstChild = index;
        } else {
            r.at(last).nextSibling = index;
            e.prevSibling = last;
        }
        last = index;
        if (parent == 0) {
            ++roots;
        }
    }

    void push(std::uint32_t index) {
        open.push_back(index);
        lastChild.push_back(0);
        if (useNames) {
            depths[r.nameOf(index)].push_back(open.size() - 1);
        }
    }

    void pop() {
        if (useNames) {
            auto it = depths.find(r.nameOf(open.back()));
            it->second.pop_back();
            if (it->second.empty()) {
                depths.erase(it);
            }
        }
        open.pop_back();
        lastChild.pop_back();
    }

    // Closes the innermost element without an end tag of its own, at offset end.
    void closeNotEnded(std::size_t end) {
        const std::uint32_t index = open.back();
        Element& e = r.at(index);
        e.length = static_cast<std::uint32_t>(end - e.start);
        e.endTagLength = 0;
        e.flags |= kElemNotEnded;
        error(u"Element '" + std::u16string(r.nameOf(index)) + u"' at offset " + Number(e.start) +
              u" not ended");
        pop();
    }

    // Depth of the innermost open element with that name, 0 when none.
    std::size_t openDepth(std::u16string_view name) {
        if (!useNames) {
            useNames = true;
            for (std::size_t d = 1; d < open.size(); ++d) {
                depths[r.nameOf(open[d])].push_back(d);
            }
        }
        auto it = depths.find(name);
        return it == depths.end() ? 0 : it->second.back();
    }

    std::size_t skipName(std::size_t i) const {
        while (i < doc.size() && IsNameChar(doc[i])) {
            ++i;
        }
        return i;
    }

    std::size_t skipSpace(std::size_t i) const {
        while (i < doc.size() && IsSpace(doc[i])) {
            ++i;
        }
        return i;
    }

    // After a lexical error inside a tag: the tag ends at the next '>' or before the next '<'.
    // Returns the offset after the tag, npos at the end of the document.
    std::size_t recoverTag(std::size_t i) const {
        for (; i < doc.size(); ++i) {
            if (doc[i] == u'>') {
                return i + 1;
            }
            if (doc[i] == u'<') {
                return i;
            }
        }
        return std::u16string_view::npos;
    }

    // A start tag or empty-element tag at i. Returns where scanning goes on.
    std::size_t startTag(std::size_t i) {
        const std::size_t nameEnd = skipName(i + 1);
        const std::uint32_t index = r.addElement();
        {
            Element& e = r.at(index);
            e.start = static_cast<std::uint32_t>(i);
            e.nameLength = static_cast<std::uint32_t>(nameEnd - i - 1);
        }
        attach(index);
        std::size_t j = nameEnd;
        bool empty = false;
        bool ended = false;
        bool bad = false;
        while (true) {
            j = skipSpace(j);
            if (j >= doc.size()) {
                break;
            }
            const char16_t c = doc[j];
            if (c == u'>') {
                ++j;
                ended = true;
                break;
            }
            if (c == u'/' && j + 1 < doc.size() && doc[j + 1] == u'>') {
                j += 2;
                empty = ended = true;
                break;
            }
            // Attributes: name, '=', a quoted value, each after white space.
            if (j == nameEnd || !IsNameStart(c)) {
                bad = true;
                break;
            }
            j = skipSpace(skipName(j));
            if (j >= doc.size()) {
                break;
            }
            if (doc[j] != u'=') {
                bad = true;
                break;
            }
            j = skipSpace(j + 1);
            if (j >= doc.size()) {
                break;
            }
            if (doc[j] != u'"' && doc[j] != u'\'') {
                bad = true;
                break;
            }
            const std::size_t close = doc.find(doc[j], j + 1);
            if (close == std::u16string_view::npos) {
                j = doc.size();
                break;
            }
            j = close + 1;
            if (j < doc.size() && !IsSpace(doc[j]) && doc[j] != u'>' && doc[j] != u'/') {
                bad = true;
                break;
            }
        }
        if (bad) {
            errorAt(u"Incorrect tag", i);
            j = recoverTag(j);
            if (j != std::u16string_view::npos) {
                ended = true;
                empty = doc[j - 1] == u'>' && j - 2 > i && doc[j - 2] == u'/';
            }
        }
        Element& e = r.at(index);
        if (!ended) {
            e.startTagLength = static_cast<std::uint32_t>(doc.size() - i);
            e.length = e.startTagLength;
            unterminated(u"Element tag", i);
            return doc.size();
        }
        e.startTagLength = static_cast<std::uint32_t>(j - i);
        if (empty) {
            e.flags |= kElemEmpty;
            e.length = e.startTagLength;
        } else {
            push(index);
        }
        return j;
    }

    // An end tag at i.
    std::size_t endTag(std::size_t i) {
        const std::size_t nameStart = i + 2;
        if (nameStart >= doc.size()) {
            unterminated(u"Element end tag", i);
            return doc.size();
        }
        if (!IsNameStart(doc[nameStart])) {
            errorAt(u"Incorrect tag name character", i);
            return i + 1;
        }
        const std::size_t nameEnd = skipName(nameStart);
        std::size_t j = skipSpace(nameEnd);
        if (j >= doc.size()) {
            unterminated(u"Element end tag", i);
            return doc.size();
        }
        if (doc[j] == u'>') {
            ++j;
        } else {
            errorAt(u"Incorrect tag", i);
            j = recoverTag(j);
            if (j == std::u16string_view::npos) {
                unterminated(u"Element end tag", i);
                return doc.size();
            }
        }
        const std::u16string_view name = doc.substr(nameStart, nameEnd - nameStart);
        if (open.size() > 1 && r.nameOf(open.back()) == name) {
            closeWith(i, j);
            return j;
        }
        const std::size_t depth = open.size() > 1 ? openDepth(name) : 0;
        if (depth == 0) {
            if (open.size() > 1) {
                const Element& inner = r.at(open.back());
                error(u"End tag '" + std::u16string(name) + u"' at offset " + Number(i) +
                      u" does not match start tag '" + std::u16string(r.nameOf(open.back())) +
                      u"' at offset " + Number(inner.start));
            } else {
                error(u"No start tag for end tag '" + std::u16string(name) + u"' at offset " +
                      Number(i));
            }
            return j;
        }
        while (open.size() - 1 > depth) {
            closeNotEnded(i);
        }
        closeWith(i, j);
        return j;
    }

    void closeWith(std::size_t endTagStart, std::size_t end) {
        Element& e = r.at(open.back());
        e.length = static_cast<std::uint32_t>(end - e.start);
        e.endTagLength = static_cast<std::uint32_t>(end - endTagStart);
        pop();
    }

    // Skips a document type declaration with its internal subset.
    std::size_t doctype(std::size_t i) {
        bool subset = false;
        std::size_t j = i + 9;
        while (j < doc.size()) {
            const char16_t c = doc[j];
            if (c == u'"' || c == u'\'') {
                const std::size_t close = doc.find(c, j + 1);
                if (close == std::u16string_view::npos) {
                    break;
                }
                j = close + 1;
            } else if (subset && doc.substr(j, 4) == u"<!--") {
                const std::size_t close = Find(doc, u"-->", j + 4);
                if (close == std::u16string_view::npos) {
                    break;
                }
                j = close + 3;
            } else if (c == u'[') {
                subset = true;
                ++j;
            } else if (c == u']') {
                subset = false;
                ++j;
            } else if (c == u'>' && !subset) {
                return j + 1;
            } else {
                ++j;
            }
        }
        unterminated(u"Doctype", i);
        return doc.size();
    }

    // A construct beginning with "<!" at i.
    std::size_t bang(std::size_t i) {
        const std::u16string_view rest = doc.substr(i);
        if (rest.size() <= 2) {
            unterminated(u"tag", i);
            return doc.size();
        }
        if (rest[2] == u'-') {
            if (rest.size() < 4) {
                unterminated(u"Comment", i);
                return doc.size();
            }
            if (rest[3] != u'-') {
                errorAt(u"Incorrect comment tag", i);
                return i + 1;
            }
            const std::size_t close = Find(doc, u"-->", i + 4);
            if (close == std::u16string_view::npos) {
                unterminated(u"Comment", i);
                return doc.size();
            }
            return close + 3;
        }
        if (rest[2] == u'[') {
            if (rest.starts_with(u"<![CDATA[")) {
                const std::size_t close = Find(doc, u"]]>", i + 9);
                if (close == std::u16string_view::npos) {
                    unterminated(u"CDATA Section", i);
                    return doc.size();
                }
                return close + 3;
            }
            if (rest.size() < 9 && std::u16string_view(u"<![CDATA[").starts_with(rest)) {
                unterminated(u"CDATA Section", i);
                return doc.size();
            }
        }
        if (rest.starts_with(u"<!DOCTYPE")) {
            return doctype(i);
        }
        if (rest.size() < 9 && std::u16string_view(u"<!DOCTYPE").starts_with(rest)) {
            unterminated(u"Doctype", i);
            return doc.size();
        }
        errorAt(u"Incorrect ! tag", i);
        return i + 1;
    }

    void run() {
        std::size_t i = 0;
        while (!stopped) {
            const std::size_t lt = doc.find(u'<', i);
            if (lt == std::u16string_view::npos) {
                break;
            }
            i = lt;
            if (i + 1 >= doc.size()) {
                unterminated(u"tag", i);
                break;
            }
            const char16_t c = doc[i + 1];
            if (c == u'/') {
                i = endTag(i);
            } else if (c == u'!') {
                i = bang(i);
            } else if (c == u'?') {
                const std::size_t close = Find(doc, u"?>", i + 2);
                if (close == std::u16string_view::npos) {
                    unterminated(u"Processing instruction", i);
                    break;
                }
                i = close + 2;
            } else if (IsNameStart(c)) {
                i = startTag(i);
            } else {
                errorAt(u"Incorrect tag name character", i);
                ++i;
            }
        }
        while (open.size() > 1) {
            closeNotEnded(doc.size());
        }
        if (roots == 0) {
            error(u"No root element");
        } else if (roots > 1) {
            error(u"Root element has sibling");
        }
    }
};

bool XmlReader::parse() {
    errors_.clear();
    clearIndex();
    if (doc_.empty()) {
        errors_.push_back(u"Empty document");
        return false;
    }
    Parser p(*this);
    p.run();
    resetPos();
    return p.roots == 1 && errors_.empty();
}

// ---- navigation ----

std::u16string_view XmlReader::nameOf(std::uint32_t index) const {
    const Element& e = at(index);
    return std::u16string_view(doc_).substr(e.start + 1, e.nameLength);
}

bool XmlReader::nameIs(std::uint32_t index, std::u16string_view name) const {
    return name.empty() || nameOf(index) == name;
}

std::uint32_t XmlReader::nextMatch(std::uint32_t from, std::u16string_view name) const {
    for (std::uint32_t i = from; i != 0; i = at(i).nextSibling) {
        if (nameIs(i, name)) {
            return i;
        }
    }
    return 0;
}

void XmlReader::resetPos() {
    parent_ = 0;
    elem_ = 0;
    child_ = 0;
}

bool XmlReader::findElem(std::u16string_view name) {
    const std::uint32_t from = elem_ != 0 ? at(elem_).nextSibling : at(parent_).firstChild;
    const std::uint32_t found = nextMatch(from, name);
    if (found == 0) {
        return false;
    }
    elem_ = found;
    child_ = 0;
    return true;
}

bool XmlReader::findChildElem(std::u16string_view name) {
    if (elem_ == 0 && !findElem()) {
        return false;
    }
    const std::uint32_t from = child_ != 0 ? at(child_).nextSibling : at(elem_).firstChild;
    const std::uint32_t found = nextMatch(from, name);
    if (found == 0) {
        return false;
    }
    child_ = found;
    return true;
}

bool XmlReader::intoElem() {
    if (elem_ == 0) {
        return false;
    }
    parent_ = elem_;
    elem_ = child_;
    child_ = 0;
    return true;
}

bool XmlReader::outOfElem() {
    if (parent_ == 0) {
        return false;
    }
    child_ = elem_;
    elem_ = parent_;
    parent_ = at(parent_).parent;
    return true;
}

std::u16string XmlReader::getData() const {
    return elem_ != 0 ? textOf(elem_) : u"";
}
std::u16string XmlReader::getChildData() const {
    return child_ != 0 ? textOf(child_) : u"";
}
std::u16string XmlReader::getTagName() const {
    return elem_ != 0 ? std::u16string(nameOf(elem_)) : u"";
}
std::u16string XmlReader::getChildTagName() const {
    return child_ != 0 ? std::u16string(nameOf(child_)) : u"";
}

std::u16string XmlReader::textOf(std::uint32_t index) const {
    const Element& e = at(index);
    if (e.firstChild != 0 || (e.flags & kElemEmpty) != 0) {
        return {};
    }
    const std::size_t from = std::size_t{e.start} + e.startTagLength;
    const std::size_t to = std::size_t{e.start} + e.length - e.endTagLength;
    if (to <= from || to > doc_.size()) {
        return {};
    }
    const std::u16string_view content = std::u16string_view(doc_).substr(from, to - from);
    std::u16string out;
    std::size_t i = 0;
    while (i < content.size()) {
        const std::size_t lt = content.find(u'<', i);
        if (lt == std::u16string_view::npos) {
            AppendDecodedText(content.substr(i), out);
            break;
        }
        AppendDecodedText(content.substr(i, lt - i), out);
        const std::u16string_view rest = content.substr(lt);
        std::u16string_view close;
        std::size_t skip = 0;
        if (rest.starts_with(u"<![CDATA[")) {
            const std::size_t end = rest.find(u"]]>", 9);
            const std::size_t stop = end == std::u16string_view::npos ? rest.size() : end;
            out.append(rest.substr(9, stop - 9));
            i = lt + (end == std::u16string_view::npos ? rest.size() : end + 3);
            continue;
        }
        if (rest.starts_with(u"<!--")) {
            close = u"-->";
            skip = 4;
        } else if (rest.starts_with(u"<?")) {
            close = u"?>";
            skip = 2;
        } else if (rest.size() > 1 && (rest[1] == u'/' || rest[1] == u'!')) {
            close = u">";  // a stray end tag or declaration
            skip = 2;
        } else {
            out.push_back(u'<');  // a lone '<' that opened nothing
            i = lt + 1;
            continue;
        }
        const std::size_t end = rest.find(close, skip);
        i = lt + (end == std::u16string_view::npos ? rest.size() : end + close.size());
    }
    return out;
}

bool XmlReader::lookup(std::u16string_view group, std::u16string_view key, std::u16string& text) {
    text.clear();
    resetPos();
    if (!findChildElem(group)) {
        return false;
    }
    while (true) {
        intoElem();
        if (findChildElem(key)) {
            text = getChildData();
            return true;
        }
        if (!findChildElem(group)) {
            return false;
        }
    }
}

std::u16string XmlReader::lookup(std::u16string_view group, std::u16string_view key) {
    std::u16string text;
    lookup(group, key, text);
    return text;
}

}  // namespace q350::lang
