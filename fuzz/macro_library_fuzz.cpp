// Fuzz target of Macro.cfg: any bytes as the library file, loaded, listed, encoded for the mouse,
// uploaded to the simulated mouse, turned into exchange blocks and export drafts; the bytes as an
// exchange block stored into the library and as a registry copy.
#include "config/macro_library.h"  // first: it reads the device headers

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "config/macro_file.h"
#include "config/macro_json.h"
#include "device/hid_channel.h"
#include "device/virtual_mouse.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace q350;

bool Same(const MacroDraft& a, const MacroDraft& b) {
    return a.id == b.id && a.repeat == b.repeat && a.name == b.name && a.events == b.events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    static MemorySettingsStore settings;
    static SilentNotifier notifier;
    static FakeClock clock;
    static MacroLibrary library(fuzz::ScratchFolder(), settings, notifier, clock);
    library.setFileWriter([](const std::filesystem::path&, std::span<const std::uint8_t>,
                             FileError*) { return true; });
    fuzz::PutFile(library.filePath(), bytes);
    if (!library.load()) {
        fuzz::Finding("an existing Macro.cfg did not load");
    }

    FakeClock mouseClock;
    VirtualMouse mouse{mouseClock};
    VirtualMouseTransport transport{mouse};
    HidChannel channel{transport};
    channel.open();
    DeviceCommands device{channel, mouseClock, [] { return 0; }};
    int uploads = 0;
    for (std::size_t i = 0; i < kMacroLibraryEntries; ++i) {
        const MacroRecord& r = library.entry(i);
        if (!IsMacroInUse(r)) {
            continue;
        }
        MacroProgram program{};
        const bool playable = EncodeMacro(r, program);
        if (playable && MacroProgramLength(program) > kMacroProgramMax) {
            fuzz::Finding("a macro program longer than a slot");
        }
        if (playable && uploads < 2 && UploadMacro(device, uploads, r)) {
            ++uploads;
        }
        // The entry as the block the registry copies and the macro page hand over.
        const std::vector<std::uint8_t> block = MakeExchangeBlock(r);
        if (block.size() < kExchangeHeaderSize) {
            fuzz::Finding("an exchange block shorter than its header");
        }
        MacroDraft draft;
        std::string problem;
        if (DraftFromRecord(r, draft, problem) && CheckMacroDraft(draft, problem)) {
            MacroDraft back;
            if (!ReadMacroJson(MacroJsonForm(draft), back, problem) || !Same(back, draft) ||
                !ReadMacroText(MacroTextForm(draft), back, problem) || !Same(back, draft)) {
                fuzz::Finding("an exported library macro does not import again");
            }
        }
    }
    // The bytes as an exchange block handed to the library, and as a registry copy.
    library.clear();
    const bool stored = library.store(bytes);
    std::uint32_t id = 0;
    if (size >= 12) {
        std::memcpy(&id, data + 8, sizeof id);
    }
    if (stored && library.find(id) == nullptr) {
        fuzz::Finding("a stored block cannot be found by its id");
    }
    settings.setRaw(u"Macro\\00000007", u"", MemorySettingsStore::Type::Binary,
                    std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    if (library.readRegistryCopy(7) != std::vector<std::uint8_t>(bytes.begin(), bytes.end())) {
        fuzz::Finding("a registry copy did not read back");
    }
    return 0;
}
