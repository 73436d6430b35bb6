#include "config/macro_json.h"

#include "base/utf.h"
#include "config/strict_json.h"

namespace q350 {

std::string MacroJsonForm(const MacroDraft& d) {
    Json events = Json::array();
    for (const std::uint32_t e : d.events) {
        const std::uint32_t type = MacroEventType(e);
        const char* kind = type == kMacroKeyDown ? "down" : type == kMacroKeyUp ? "up" : "pause";
        events.push_back(Json::object({{kind, MacroEventValue(e)}}));
    }
    Json doc = Json::object();
    doc["id"] = d.id;
    doc["name"] = Utf16ToUtf8(d.name);
    doc["repeat"] = d.repeat;
    doc["events"] = std::move(events);
    return JsonText(doc);
}

bool ReadMacroJson(std::string_view text, MacroDraft& draft, std::string& problem) {
    Json parsed;
    if (!ParseStrictJson(text, parsed, problem)) {
        return false;
    }
    const Json& doc = parsed;
    JsonCheck check;
    MacroDraft d;
    if (check.object(doc, "", {"id", "name", "repeat", "events"})) {
        check.u32(doc.at("id"), "/id", 1, 0xFFFFFFFFu, d.id);
        if (check.text(doc.at("name"), "/name", kMacroNameChars, d.name)) {
            if (const std::string p = MacroNameProblem(d.name); !p.empty()) {
                check.fail("/name", p);
            }
        }
        check.u32(doc.at("repeat"), "/repeat", 1, 0xFFFF, d.repeat);
        check.array(doc.at("events"), "/events", -1, kMacroMaxEvents);
    }
    bool keySeen = false;
    for (std::size_t i = 0; check.ok() && i < doc.at("events").size(); ++i) {
        const Json& e = doc.at("events").at(i);
        const std::string at = JsonPath("/events", i);
        if (!check.object(e, at, {}, {"down", "up", "pause"})) {
            break;
        }
        if (e.size() != 1) {
            check.fail(at, "an event holds exactly one of \"down\", \"up\" or \"pause\"");
            break;
        }
        const std::string& kind = e.begin().key();
        const Json& value = e.begin().value();
        std::uint32_t v = 0;
        if (kind == "pause") {
            if (check.u32(value, JsonPath(at, kind), 0, kMacroPauseMaxMs, v) && !keySeen) {
                check.fail(JsonPath(at, kind), "a pause before the first key has no key to follow");
            }
            d.events.push_back(MacroEvent(kMacroPause, v));
        } else if (check.u32(value, JsonPath(at, kind), 0, 0xFFFFFFFFu, v)) {
            if (const std::string p = MacroKeyProblem(v); !p.empty()) {
                check.fail(JsonPath(at, kind), p);
            }
            keySeen = true;
            d.events.push_back(MacroEvent(kind == "down" ? kMacroKeyDown : kMacroKeyUp, v));
        }
    }
    if (!check.ok()) {
        problem = check.problem();
        return false;
    }
    if (!CheckMacroDraft(d, problem)) {
        return false;
    }
    draft = std::move(d);
    return true;
}

}  // namespace q350
