#pragma once

// Apply: the whole active profile written into the mouse on a worker thread, and what the window
// does when the worker reports back.
#include "config/profile_download.h"  // first: it reads the device headers

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/notifier.h"
#include "config/profile_files.h"

namespace q350::app {

// Collects what a worker thread wants shown, so that the window shows it on its own thread once
// the worker is done. Thread-safe.
class DeferredNotifier final : public Notifier {
public:
    int show(MessageForm form, std::u16string_view text) override;
    // Shows everything collected through target, oldest first, and forgets it.
    void flushTo(Notifier& target);
    std::size_t pending() const;

private:
    struct Entry {
        MessageForm form;
        std::u16string text;
    };
    mutable std::mutex lock_;
    std::vector<Entry> entries_;
};

// Everything one download needs besides the profile files.
struct ApplyServices {
    MacroLibrary* macros = nullptr;
    DeviceCommands* device = nullptr;
    std::mutex* deviceMutex = nullptr;
    Clock* clock = nullptr;
    PointerSettingsApplier* pointer = nullptr;
    Notifier* notifier = nullptr;  // a DeferredNotifier when run on a worker
    AcknowledgedState* held = nullptr;  // what the mouse holds; null sends everything
    bool full = false;                  // send everything whatever the mouse holds
    bool endPause = true;               // the visible Apply's pause with the bar full
    // Where a worker leaves its report before it posts the outcome; read by the window once the
    // outcome arrives.
    DownloadReport* report = nullptr;
};

// The download job of the active profile and slot.
DownloadJob MakeApplyJob(ProfileFiles& files, const ApplyServices& services,
                         std::function<void(int)> progress);

// The worker's whole run: the download of the active profile. True when it went well.
bool RunApply(ProfileFiles& files, const ApplyServices& services,
              std::function<void(int)> progress, DownloadReport* report = nullptr);

// The download went well: the active slot takes the macro ids the download used, then the slot
// table is stored and the profile saved. False when either failed (the profile files have then
// shown why).
bool FinishApply(ProfileFiles& files, const DownloadReport& report);

// The text shown when a download failed.
inline constexpr std::u16string_view kSettingErrorText = u"Setting Error";

}  // namespace q350::app
