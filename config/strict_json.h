#pragma once

// Strict reading of JSON documents that people write or edit by hand (macro and profile files).
// A document is taken only when the whole text is one JSON value with nothing after it, no key
// appears twice in an object and nesting stays shallow. Values are then checked one by one by
// JsonCheck, which names the first offending place by its JSON pointer ("/modes/0/liftOff").
// Nothing here throws: parse failures and refused values come back as false with a problem text.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace q350 {

// Keys keep the order in which they were written, so exported files read in a sensible order.
using Json = nlohmann::ordered_json;

// Deepest nesting any of the program's documents needs, with room to spare.
inline constexpr int kJsonMaxDepth = 16;

// Parses text as exactly one JSON value. On failure problem says where ("line 3, column 7: ...")
// or which key was repeated ("/events/2: the key \"down\" appears twice").
bool ParseStrictJson(std::string_view text, Json& out, std::string& problem);

// Writes a document for people to read: two-space indentation, a container that holds only plain
// values on one line where it fits ({"down": 65}, [10, 16, 18, 24]), a final new line. Text that is
// not valid UTF-8 is written with replacement characters rather than refused.
std::string JsonText(const Json& document);

// A JSON pointer one step below path.
std::string JsonPath(const std::string& path, std::string_view key);
std::string JsonPath(const std::string& path, std::size_t index);

// Checks values of a parsed document; the first refusal is kept in problem() and every later
// check fails at once, so a caller can run a sequence of checks and look at the end.
class JsonCheck {
public:
    bool ok() const { return problem_.empty(); }
    const std::string& problem() const { return problem_; }
    // Records a refusal at path (only the first one is kept); always false.
    bool fail(const std::string& path, const std::string& message);

    // An object whose keys are all among required and optional, with every required key present.
    bool object(const Json& value, const std::string& path,
                std::initializer_list<std::string_view> required,
                std::initializer_list<std::string_view> optional = {});
    // An array of exactly count elements (count < 0: any length up to maxCount).
    bool array(const Json& value, const std::string& path, long count, std::size_t maxCount = 0);
    // A whole number in [min, max]; floats, strings and booleans are refused.
    bool integer(const Json& value, const std::string& path, std::int64_t min, std::int64_t max,
                 std::int64_t& out);
    bool u32(const Json& value, const std::string& path, std::uint32_t min, std::uint32_t max,
             std::uint32_t& out);
    bool i32(const Json& value, const std::string& path, std::int32_t min, std::int32_t max,
             std::int32_t& out);
    // A 32-bit value written as a string of "0x" and one to eight hexadecimal digits.
    bool hex32(const Json& value, const std::string& path, std::uint32_t max, std::uint32_t& out);
    // A string that fits a fixed UTF-16 field of capacity units (one is kept for the terminator)
    // and holds no null character.
    bool text(const Json& value, const std::string& path, std::size_t capacity,
              std::u16string& out);
    // Any string (informational members that the reader does not use).
    bool anyString(const Json& value, const std::string& path);

private:
    std::string problem_;
};

}  // namespace q350
