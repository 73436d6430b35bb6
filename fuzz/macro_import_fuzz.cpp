// Fuzz target of the macro imports (q350ctl macro import): the JSON and the text form of a single
// macro. Whatever either reader accepts must meet the macro rules, be playable by the mouse, come
// back unchanged through both written forms and through a library entry.
#include "config/macro_library.h"  // first: it reads the device headers

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/macro_file.h"
#include "config/macro_json.h"
#include "config/strict_json.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace q350;

bool Same(const MacroDraft& a, const MacroDraft& b) {
    return a.id == b.id && a.repeat == b.repeat && a.name == b.name && a.events == b.events;
}

void CheckAccepted(const MacroDraft& d) {
    std::string problem;
    if (!CheckMacroDraft(d, problem)) {
        fuzz::Finding("an accepted macro breaks the macro rules");
    }
    MacroProgram program{};
    if (!EncodeMacroEvents(d.events, d.repeat, program)) {
        fuzz::Finding("an accepted macro cannot be encoded for the mouse");
    }
    MacroDraft back;
    if (!ReadMacroJson(MacroJsonForm(d), back, problem) || !Same(back, d)) {
        fuzz::Finding("the JSON form of an accepted macro does not read back");
    }
    if (!ReadMacroText(MacroTextForm(d), back, problem) || !Same(back, d)) {
        fuzz::Finding("the text form of an accepted macro does not read back");
    }
    // Into a library entry and out again, as import and export do.
    static MemorySettingsStore settings;
    static SilentNotifier notifier;
    static FakeClock clock;
    static MacroLibrary library(fuzz::ScratchFolder(), settings, notifier, clock);
    library.setFileWriter([](const std::filesystem::path&, std::span<const std::uint8_t>,
                             FileError*) { return true; });
    library.clear();
    if (!library.store(MakeExchangeBlock(d.id, d.repeat, d.name, d.events))) {
        fuzz::Finding("an empty library refused an accepted macro");
    }
    const MacroRecord* r = library.find(d.id);
    if (!r || !DraftFromRecord(*r, back, problem) || !Same(back, d)) {
        fuzz::Finding("an accepted macro changed in the library");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Json doc;
    std::string problem;
    (void)ParseStrictJson(text, doc, problem);
    for (const bool json : {true, false}) {
        MacroDraft d;
        problem.clear();
        const bool accepted =
            json ? ReadMacroJson(text, d, problem) : ReadMacroText(text, d, problem);
        if (!accepted && problem.empty()) {
            fuzz::Finding("a refusal without a reason");
        }
        if (accepted) {
            CheckAccepted(d);
        }
    }
    return 0;
}
