#include "config/strict_json.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <set>
#include <vector>

#include "base/utf.h"

namespace q350 {

namespace {

// Raised from the parser's callback to stop at a repeated key or too deep a nesting.
struct Refused {
    std::string problem;
};

// Where the parser is, kept from its callback events so that a repeated key can be named.
class PathTracker {
public:
    void openObject() { frames_.push_back({true, {}, 0, {}}); }
    void openArray() { frames_.push_back({false, {}, 0, {}}); }
    void key(const std::string& k) {
        Frame& f = frames_.back();
        if (!f.keys.insert(k).second) {
            throw Refused{
                (path(frames_.size() - 1).empty() ? std::string("/") : path(frames_.size() - 1)) +
                ": the key \"" + k + "\" appears twice"};
        }
        f.key = k;
    }
    void close() {
        frames_.pop_back();
        valueDone();
    }
    void valueDone() {
        if (!frames_.empty() && !frames_.back().object) {
            ++frames_.back().index;
        }
    }

private:
    struct Frame {
        bool object;
        std::string key;
        std::size_t index;
        std::set<std::string> keys;
    };
    // Pointer of the container at depth n (0 = the document itself).
    std::string path(std::size_t n) const {
        std::string out;
        for (std::size_t i = 0; i < n; ++i) {
            const Frame& f = frames_[i];
            out = f.object ? JsonPath(out, f.key) : JsonPath(out, f.index);
        }
        return out;
    }
    std::vector<Frame> frames_;
};

std::string TypeName(const Json& v) {
    switch (v.type()) {
        case Json::value_t::null:
            return "null";
        case Json::value_t::boolean:
            return "a boolean";
        case Json::value_t::string:
            return "a string";
        case Json::value_t::array:
            return "an array";
        case Json::value_t::object:
            return "an object";
        case Json::value_t::number_float:
            return "a fraction";
        default:
            return "a number";
    }
}

std::string Quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

// nlohmann's messages begin with "[json.exception.parse_error.101] parse error at line 1, column
// 2: "; the reader is told only the place and the reason.
std::string ParseProblem(const std::string& what) {
    std::string text = what;
    if (const auto at = text.find("at line "); at != std::string::npos) {
        text = text.substr(at + 3);
    }
    for (const std::string_view noise : {"syntax error while parsing ", "parse error: "}) {
        if (const auto at = text.find(noise); at != std::string::npos) {
            text.erase(at, noise.size());
        }
    }
    return text;
}

}  // namespace

std::string JsonPath(const std::string& path, std::string_view key) {
    std::string out = path + "/";
    for (char c : key) {
        if (c == '~') {
            out += "~0";
        } else if (c == '/') {
            out += "~1";
        } else {
            out += c;
        }
    }
    return out;
}

std::string JsonPath(const std::string& path, std::size_t index) {
    return path + "/" + std::to_string(index);
}

bool ParseStrictJson(std::string_view text, Json& out, std::string& problem) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        problem = "the file is empty";
        return false;
    }
    PathTracker where;
    const Json::parser_callback_t callback = [&where](int depth, Json::parse_event_t event,
                                                      Json& parsed) {
        if (depth > kJsonMaxDepth) {
            throw Refused{"the document nests deeper than " + std::to_string(kJsonMaxDepth) +
                          " levels"};
        }
        switch (event) {
            case Json::parse_event_t::object_start:
                where.openObject();
                break;
            case Json::parse_event_t::array_start:
                where.openArray();
                break;
            case Json::parse_event_t::key:
                where.key(parsed.get_ref<const std::string&>());
                break;
            case Json::parse_event_t::object_end:
            case Json::parse_event_t::array_end:
                where.close();
                break;
            case Json::parse_event_t::value:
                where.valueDone();
                break;
        }
        return true;
    };
    try {
        out = Json::parse(text.begin(), text.end(), callback, true, false);
    } catch (const Refused& r) {
        problem = r.problem;
        return false;
    } catch (const Json::parse_error& e) {
        problem = ParseProblem(e.what());
        return false;
    } catch (const std::exception& e) {
        problem = e.what();
        return false;
    }
    return true;
}

namespace {

std::string Scalar(const Json& v) {
    return v.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool Flat(const Json& v) {
    for (const Json& e : v) {
        if (e.is_structured()) {
            return false;
        }
    }
    return true;
}

// One line for a container without containers inside: {"down": 65} or [10, 16, 18, 24].
std::string OneLine(const Json& v) {
    std::string out = v.is_object() ? "{" : "[";
    bool first = true;
    for (auto it = v.begin(); it != v.end(); ++it) {
        out += first ? "" : ", ";
        first = false;
        if (v.is_object()) {
            out += Scalar(Json(it.key())) + ": ";
        }
        out += Scalar(*it);
    }
    return out + (v.is_object() ? "}" : "]");
}

constexpr std::size_t kLineWidth = 100;

void Write(const Json& v, std::size_t indent, std::string& out) {
    if (!v.is_structured()) {
        out += Scalar(v);
        return;
    }
    if (v.empty() || (Flat(v) && indent + OneLine(v).size() <= kLineWidth)) {
        out += OneLine(v);
        return;
    }
    const std::string pad(indent + 2, ' ');
    out += v.is_object() ? "{\n" : "[\n";
    bool first = true;
    for (auto it = v.begin(); it != v.end(); ++it) {
        out += first ? "" : ",\n";
        first = false;
        out += pad;
        if (v.is_object()) {
            out += Scalar(Json(it.key())) + ": ";
        }
        Write(*it, indent + 2, out);
    }
    out += "\n" + std::string(indent, ' ') + (v.is_object() ? "}" : "]");
}

}  // namespace

std::string JsonText(const Json& document) {
    std::string out;
    Write(document, 0, out);
    return out + "\n";
}

bool JsonCheck::fail(const std::string& path, const std::string& message) {
    if (problem_.empty()) {
        problem_ = (path.empty() ? std::string("the document") : path) + ": " + message;
    }
    return false;
}

bool JsonCheck::object(const Json& value, const std::string& path,
                       std::initializer_list<std::string_view> required,
                       std::initializer_list<std::string_view> optional) {
    if (!ok()) {
        return false;
    }
    if (!value.is_object()) {
        return fail(path, "must be an object, not " + TypeName(value));
    }
    for (const auto& item : value.items()) {
        bool known = false;
        for (const std::initializer_list<std::string_view>* list : {&required, &optional}) {
            for (std::string_view k : *list) {
                known = known || item.key() == k;
            }
        }
        if (!known) {
            std::string allowed;
            for (const std::initializer_list<std::string_view>* list : {&required, &optional}) {
                for (std::string_view k : *list) {
                    allowed += (allowed.empty() ? "" : ", ") + Quoted(k);
                }
            }
            return fail(JsonPath(path, item.key()), "unknown key (known keys: " + allowed + ")");
        }
    }
    for (std::string_view k : required) {
        if (!value.contains(std::string(k))) {
            return fail(path, "the key " + Quoted(k) + " is missing");
        }
    }
    return true;
}

bool JsonCheck::array(const Json& value, const std::string& path, long count,
                      std::size_t maxCount) {
    if (!ok()) {
        return false;
    }
    if (!value.is_array()) {
        return fail(path, "must be an array, not " + TypeName(value));
    }
    if (count >= 0 && value.size() != static_cast<std::size_t>(count)) {
        return fail(path, "must hold exactly " + std::to_string(count) + " elements, not " +
                              std::to_string(value.size()));
    }
    if (count < 0 && value.size() > maxCount) {
        return fail(path, "holds " + std::to_string(value.size()) + " elements; at most " +
                              std::to_string(maxCount) + " are allowed");
    }
    return true;
}

bool JsonCheck::integer(const Json& value, const std::string& path, std::int64_t min,
                        std::int64_t max, std::int64_t& out) {
    if (!ok()) {
        return false;
    }
    const std::string range = "(" + std::to_string(min) + " to " + std::to_string(max) + ")";
    if (value.is_number_unsigned()) {
        const auto v = value.get<std::uint64_t>();
        if (v > static_cast<std::uint64_t>(max)) {
            return fail(path, std::to_string(v) + " is out of range " + range);
        }
        out = static_cast<std::int64_t>(v);
    } else if (value.is_number_integer()) {
        out = value.get<std::int64_t>();
    } else {
        return fail(path, "must be a whole number, not " + TypeName(value));
    }
    if (out < min || out > max) {
        return fail(path, std::to_string(out) + " is out of range " + range);
    }
    return true;
}

bool JsonCheck::u32(const Json& value, const std::string& path, std::uint32_t min,
                    std::uint32_t max, std::uint32_t& out) {
    std::int64_t v = 0;
    if (!integer(value, path, min, max, v)) {
        return false;
    }
    out = static_cast<std::uint32_t>(v);
    return true;
}

bool JsonCheck::i32(const Json& value, const std::string& path, std::int32_t min, std::int32_t max,
                    std::int32_t& out) {
    std::int64_t v = 0;
    if (!integer(value, path, min, max, v)) {
        return false;
    }
    out = static_cast<std::int32_t>(v);
    return true;
}

bool JsonCheck::hex32(const Json& value, const std::string& path, std::uint32_t max,
                      std::uint32_t& out) {
    if (!ok()) {
        return false;
    }
    if (!value.is_string()) {
        return fail(path, "must be a string such as \"0x0000FF00\", not " + TypeName(value));
    }
    const std::string& s = value.get_ref<const std::string&>();
    const bool prefixed =
        s.size() > 2 && s.size() <= 10 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    std::uint32_t v = 0;
    bool read = false;
    if (prefixed) {
        const auto [end, ec] = std::from_chars(s.data() + 2, s.data() + s.size(), v, 16);
        read = ec == std::errc() && end == s.data() + s.size();
    }
    if (!read) {
        return fail(path, Quoted(s) + " is not \"0x\" followed by one to eight hexadecimal digits");
    }
    if (v > max) {
        char limit[16];
        std::snprintf(limit, sizeof limit, "0x%08X", max);
        return fail(path, Quoted(s) + " is out of range (at most " + limit + ")");
    }
    out = v;
    return true;
}

bool JsonCheck::text(const Json& value, const std::string& path, std::size_t capacity,
                     std::u16string& out) {
    if (!ok()) {
        return false;
    }
    if (!value.is_string()) {
        return fail(path, "must be a string, not " + TypeName(value));
    }
    const std::string& s = value.get_ref<const std::string&>();
    if (s.find('\0') != std::string::npos) {
        return fail(path, "holds a null character");
    }
    out = Utf8ToUtf16(s);
    if (out.size() + 1 > capacity) {
        return fail(path, "is " + std::to_string(out.size()) +
                              " UTF-16 characters long; the field holds at most " +
                              std::to_string(capacity - 1));
    }
    return true;
}

bool JsonCheck::anyString(const Json& value, const std::string& path) {
    if (!ok()) {
        return false;
    }
    if (!value.is_string()) {
        return fail(path, "must be a string, not " + TypeName(value));
    }
    return true;
}

}  // namespace q350
