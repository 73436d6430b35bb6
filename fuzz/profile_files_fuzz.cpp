// Fuzz target of the profile files: any bytes as a profile file, as an export file being imported
// and as the registry's slot table, through start-up load, load, select, import and export, and
// through the JSON export, which must give back every file it accepts byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "config/profile_files.h"
#include "config/profile_json.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace q350;

void CheckJson(std::span<const std::uint8_t> bytes) {
    std::string json, problem, notes;
    if (!ProfileJsonForm(bytes, json, problem, &notes)) {
        return;
    }
    std::vector<std::uint8_t> back;
    const bool imported = ReadProfileJson(json, back, problem);
    if (imported != notes.empty() || (!imported && problem != notes)) {
        fuzz::Finding("the export's note disagrees with what import says");
    }
    if (!imported) {
        return;
    }
    std::vector<std::uint8_t> full(bytes.begin(), bytes.end());
    full.resize(bytes.size() == kExportFileSize ? kExportFileSize : kProfileSize, 0);
    if (back != full) {
        fuzz::Finding("a profile does not come back from its JSON byte for byte");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    CheckJson(bytes);

    const auto folder = fuzz::ScratchFolder() / "program";
    std::filesystem::create_directories(folder / "Profile");
    for (int n = 1; n <= kSlotCount; ++n) {
        std::error_code ec;
        std::filesystem::remove(folder / "Profile" / ("Profile" + std::to_string(n) + ".cfg"), ec);
    }
    MemorySettingsStore store;
    SilentNotifier notifier;
    ProfileFiles files(folder, store, notifier, [size] { return size % 2 == 1; });
    // The same bytes as the slot table (the active slot decides which file is tried first) and
    // as the file of profile 1 and of the slot the table names.
    store.writeBinary(u"", kValueConfigInfo, bytes.first(std::min(size, kConfigInfoSize)));
    fuzz::PutFile(files.defaultSlotPath(0), bytes);
    fuzz::PutFile(files.defaultSlotPath(static_cast<int>(size % kSlotCount)), bytes);
    files.ensureFirstRun();
    files.startupLoad();
    if (files.profile().magic != kProfileMagic) {
        fuzz::Finding("start-up ended without a profile in the record");
    }
    if (files.activeSlot() < 0 || files.activeSlot() >= kSlotCount) {
        fuzz::Finding("start-up ended without an active slot");
    }
    const auto kept = std::make_unique<ProfileData>(files.profile());
    const int active = files.activeSlot();
    if (!files.select(static_cast<int>((size / 7) % kSlotCount), size % 3 == 0) &&
        (files.activeSlot() != active ||
         std::memcmp(kept.get(), &files.profile(), sizeof(ProfileData)) != 0)) {
        fuzz::Finding("a failed select changed the active profile");
    }

    const auto exported = fuzz::ScratchFolder() / "import.cfg";
    fuzz::PutFile(exported, bytes);
    const ImportResult result = files.importProfile(exported);
    if (result == ImportResult::Imported && files.profile().magic != kProfileMagic) {
        fuzz::Finding("an import took a record that is no profile");
    }
    files.exportProfile(fuzz::ScratchFolder() / "export.cfg");
    files.save();
    files.restoreDefaults();
    return 0;
}
