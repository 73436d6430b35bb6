#pragma once

// A page host over a default profile and an empty macro library in memory.
#include <memory>

#include "base/clock.h"
#include "base/notifier.h"
#include "base/settings_store.h"
#include "pages/page_host.h"

namespace q350::pages {

class FakePageHost final : public PageHost {
public:
    FakePageHost()
        : profile_(std::make_unique<ProfileData>()),
          table_(std::make_unique<ConfigInfo>()),
          library_("/nonexistent", store_, notifier_, clock_) {
        BuildDefaults(*profile_, false);
        ZeroRecord(*table_);
        table_->slots[0].active = 1;
        library_.clear();
    }

    ProfileData& profile() override { return *profile_; }
    ConfigInfo& configInfo() override { return *table_; }
    int activeSlot() const override { return 0; }
    int currentMode() const override { return mode_; }
    void setCurrentMode(int mode) override { mode_ = mode; }
    std::int32_t& pendingMacroId(int mode, int button) override { return pending_[mode][button]; }
    MacroLibrary& macros() override { return library_; }
    bool chinese() const override { return chinese_; }

    bool chinese_ = false;

private:
    std::unique_ptr<ProfileData> profile_;
    std::unique_ptr<ConfigInfo> table_;
    MemorySettingsStore store_;
    SilentNotifier notifier_;
    FakeClock clock_;
    MacroLibrary library_;
    int mode_ = 0;
    std::int32_t pending_[kModeCount][kButtonCount] = {};
};

// Puts a macro with the id, name and count of key events into entry index of the library,
// as a stored macro looks.
inline void PutMacro(MacroLibrary& library, std::size_t index, std::uint32_t id,
                     std::u16string_view name) {
    MacroRecord& r = library.entry(index);
    ZeroRecord(r);
    r.size = 112;
    r.formatTag = kMacroFormatTag;
    r.id = id;
    r.repeat = 1;
    r.eventCount = 2;
    r.events[0] = MacroEvent(kMacroKeyDown, 'A');
    r.events[1] = MacroEvent(kMacroKeyUp, 'A');
    for (std::size_t i = 0; i < name.size() && i < kMacroNameChars; ++i) {
        r.macroName[i] = name[i];
    }
}

}  // namespace q350::pages
