#include "config/macro_file.h"

#include <charconv>
#include <cstdio>

#include "base/utf.h"
#include "config/key_tables.h"

namespace q350 {

namespace {

bool ValidUtf8(std::string_view s) {
    return Utf16ToUtf8(Utf8ToUtf16(s)) == s;
}

std::optional<std::uint32_t> ReadNumber(std::string_view s) {
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        base = 16;
    }
    std::uint32_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return v;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// Splits s at runs of blanks.
std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsSpace(s[i])) {
            ++i;
        }
        std::size_t j = i;
        while (j < s.size() && !IsSpace(s[j])) {
            ++j;
        }
        if (j > i) {
            out.push_back(s.substr(i, j - i));
        }
        i = j;
    }
    return out;
}

std::string KeyComment(std::uint32_t vk) {
    const std::string name = Utf16ToUtf8(KeyName(static_cast<int>(vk)));
    return name.empty() ? "" : "  # " + name;
}

}  // namespace

std::string HexWord(std::uint32_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(value));
    return buf;
}

std::string MacroKeyProblem(std::uint32_t virtualKey) {
    if (virtualKey == 0 || virtualKey > 0xFF) {
        return std::to_string(virtualKey) + " is not a virtual key (1 to 255)";
    }
    if (keyToUsage(static_cast<int>(virtualKey)) == 0) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "the mouse cannot play the key 0x%02X",
                      static_cast<unsigned>(virtualKey));
        return buf;
    }
    return {};
}

std::string MacroNameProblem(std::u16string_view name) {
    if (name.size() > kMacroNameMaxChars) {
        return "the name is " + std::to_string(name.size()) + " characters long; at most " +
               std::to_string(kMacroNameMaxChars) + " fit";
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c < 0x20 || c == 0x7F) {
            char buf[48];
            std::snprintf(buf, sizeof buf, "the name holds the control character U+%04X",
                          static_cast<unsigned>(c));
            return buf;
        }
        // Surrogates come in pairs; a lone one is no character and no file form can carry it.
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        const bool pairs =
            high && i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF;
        if (low || (high && !pairs)) {
            return "the name is not UTF-16 text (a lone surrogate)";
        }
        i += pairs ? 1 : 0;
    }
    return {};
}

bool CheckMacroDraft(const MacroDraft& d, std::string& problem) {
    if (d.id == 0) {
        problem = "id: 0 marks a free library entry; a macro needs an id from 1 to 0xFFFFFFFF";
        return false;
    }
    if (d.repeat == 0 || d.repeat > 0xFFFF) {
        problem = "repeat: " + std::to_string(d.repeat) + " is out of range (1 to 65535)";
        return false;
    }
    if (const std::string p = MacroNameProblem(d.name); !p.empty()) {
        problem = "name: " + p;
        return false;
    }
    if (d.events.size() > kMacroMaxEvents) {
        problem = "events: " + std::to_string(d.events.size()) + " events; at most " +
                  std::to_string(kMacroMaxEvents) + " fit a macro";
        return false;
    }
    bool keySeen = false;
    for (std::size_t i = 0; i < d.events.size(); ++i) {
        const std::uint32_t type = MacroEventType(d.events[i]);
        const std::uint32_t value = MacroEventValue(d.events[i]);
        const std::string where = "event " + std::to_string(i + 1) + ": ";
        if (type == kMacroKeyDown || type == kMacroKeyUp) {
            if (const std::string p = MacroKeyProblem(value); !p.empty()) {
                problem = where + p;
                return false;
            }
            keySeen = true;
        } else if (type == kMacroPause) {
            if (!keySeen) {
                problem = where + "a pause before the first key has no key to follow";
                return false;
            }
        } else {
            problem = where + "not a key press, key release or pause";
            return false;
        }
    }
    return true;
}

bool DraftFromRecord(const MacroRecord& r, MacroDraft& d, std::string& problem) {
    if (!IsMacroInUse(r)) {
        problem = "the entry is free";
        return false;
    }
    if (r.eventCount > kMacroMaxEvents) {
        problem = "the entry claims " + std::to_string(r.eventCount) + " events; at most " +
                  std::to_string(kMacroMaxEvents) + " fit";
        return false;
    }
    d = MacroDraft{};
    d.id = r.id;
    d.repeat = r.repeat & 0xFFFF;
    d.name = FieldText(r.macroName, kMacroNameMaxChars);
    for (std::uint32_t i = 0; i < r.eventCount; ++i) {
        const std::uint32_t type = MacroEventType(r.events[i]);
        if (type != kMacroKeyDown && type != kMacroKeyUp && type != kMacroPause) {
            problem = "event " + std::to_string(i + 1) + " is of an unknown type (" +
                      HexWord(r.events[i]) + ")";
            return false;
        }
        d.events.push_back(r.events[i]);
    }
    return true;
}

std::string MacroTextForm(const MacroDraft& d) {
    std::string out = "id " + HexWord(d.id) + "\nname " + Utf16ToUtf8(d.name) + "\nrepeat " +
                      std::to_string(d.repeat) + "\n";
    for (const std::uint32_t e : d.events) {
        const std::uint32_t v = MacroEventValue(e);
        char key[16];
        std::snprintf(key, sizeof key, "0x%02X", static_cast<unsigned>(v));
        switch (MacroEventType(e)) {
            case kMacroKeyDown:
                out += std::string("down ") + key + KeyComment(v) + "\n";
                break;
            case kMacroKeyUp:
                out += std::string("up ") + key + KeyComment(v) + "\n";
                break;
            default:
                out += "pause " + std::to_string(v) + "\n";
                break;
        }
    }
    return out;
}

bool ReadMacroText(std::string_view text, MacroDraft& draft, std::string& problem) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        problem = "the file is empty";
        return false;
    }
    MacroDraft d;
    bool haveId = false, haveName = false, haveRepeat = false, keySeen = false;
    int number = 0;
    const auto refuse = [&](const std::string& message) {
        problem = "line " + std::to_string(number) + ": " + message;
        return false;
    };
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.find('\0') != std::string_view::npos) {
            return refuse("holds a null character (not a text file?)");
        }
        if (!ValidUtf8(line)) {
            return refuse("is not UTF-8 text");
        }
        const std::string_view body = Trim(line);
        if (body.empty() || body.front() == '#') {
            continue;
        }
        const std::vector<std::string_view> head = Words(body);
        const std::string_view kind = head.front();
        if (kind == "name") {
            if (haveName) {
                return refuse("a second name");
            }
            haveName = true;
            // Everything after the word and one blank, trailing blanks included (a name may end
            // in one); only the carriage return of a Windows line end is not part of it.
            std::string_view rest = line.substr(line.find("name") + 4);
            if (!rest.empty() && rest.back() == '\r') {
                rest.remove_suffix(1);
            }
            if (!rest.empty()) {
                rest.remove_prefix(1);
            }
            d.name = Utf8ToUtf16(rest);
            if (const std::string p = MacroNameProblem(d.name); !p.empty()) {
                return refuse(p);
            }
            continue;
        }
        if (kind != "id" && kind != "repeat" && kind != "down" && kind != "up" && kind != "pause") {
            return refuse("unknown item '" + std::string(kind) +
                          "' (id, name, repeat, down, up, pause)");
        }
        const std::vector<std::string_view> words = Words(body.substr(0, body.find('#')));
        if (words.size() != 2) {
            return refuse(words.size() < 2 ? "'" + std::string(kind) + "' needs one value"
                                           : "unexpected text after '" + std::string(words[0]) +
                                                 " " + std::string(words[1]) + "'");
        }
        const auto value = ReadNumber(words[1]);
        if (!value) {
            return refuse("'" + std::string(words[1]) +
                          "' is not a number (decimal or 0x-hexadecimal, 0 to 0xFFFFFFFF)");
        }
        if (kind == "id") {
            if (haveId) {
                return refuse("a second id");
            }
            if (*value == 0) {
                return refuse("id 0 marks a free library entry; use 1 to 0xFFFFFFFF");
            }
            haveId = true;
            d.id = *value;
        } else if (kind == "repeat") {
            if (haveRepeat) {
                return refuse("a second repeat");
            }
            if (*value == 0 || *value > 0xFFFF) {
                return refuse("repeat " + std::to_string(*value) + " is out of range (1 to 65535)");
            }
            haveRepeat = true;
            d.repeat = *value;
        } else {
            if (d.events.size() == kMacroMaxEvents) {
                return refuse("more than " + std::to_string(kMacroMaxEvents) + " events");
            }
            if (kind == "pause") {
                if (*value > kMacroPauseMaxMs) {
                    return refuse("pause " + std::to_string(*value) +
                                  " is out of range (0 to 16777215 ms)");
                }
                if (!keySeen) {
                    return refuse("a pause before the first key has no key to follow");
                }
                d.events.push_back(MacroEvent(kMacroPause, *value));
            } else {
                if (const std::string p = MacroKeyProblem(*value); !p.empty()) {
                    return refuse(p);
                }
                keySeen = true;
                d.events.push_back(
                    MacroEvent(kind == "down" ? kMacroKeyDown : kMacroKeyUp, *value));
            }
        }
    }
    if (!haveId) {
        problem = "no 'id' line: every macro needs an id (1 to 0xFFFFFFFF)";
        return false;
    }
    if (!CheckMacroDraft(d, problem)) {
        return false;
    }
    draft = std::move(d);
    return true;
}

}  // namespace q350
