// Fuzz target of the profile JSON import (q350ctl profile import). A document the reader accepts
// must give a file that the program loads as a profile and that export writes as a document which
// reads back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile_json.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace q350;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::uint8_t> file;
    std::string problem;
    if (!ReadProfileJson(text, file, problem)) {
        if (problem.empty() || !file.empty()) {
            fuzz::Finding("a refusal without a reason, or with a file");
        }
        return 0;
    }
    if (file.size() != kProfileSize && file.size() != kExportFileSize) {
        fuzz::Finding("an import of the wrong size");
    }
    std::uint32_t magic = 0;
    std::memcpy(&magic, file.data(), sizeof magic);
    if (magic != kProfileMagic) {
        fuzz::Finding("an import the program would not load as a profile");
    }
    std::string json, notes;
    if (!ProfileJsonForm(file, json, problem, &notes)) {
        fuzz::Finding("an imported profile cannot be exported");
    }
    if (!notes.empty()) {
        fuzz::Finding("an imported profile holds a value that import refuses");
    }
    std::vector<std::uint8_t> again;
    if (!ReadProfileJson(json, again, problem) || again != file) {
        fuzz::Finding("the export of an imported profile does not read back byte for byte");
    }
    return 0;
}
