#include "app/profile_apply.h"

namespace q350::app {

int DeferredNotifier::show(MessageForm form, std::u16string_view text) {
    std::lock_guard<std::mutex> hold(lock_);
    entries_.push_back({form, std::u16string(text)});
    return kMessageOk;
}

void DeferredNotifier::flushTo(Notifier& target) {
    std::vector<Entry> taken;
    {
        std::lock_guard<std::mutex> hold(lock_);
        taken.swap(entries_);
    }
    for (const Entry& e : taken) {
        target.show(e.form, e.text);
    }
}

std::size_t DeferredNotifier::pending() const {
    std::lock_guard<std::mutex> hold(lock_);
    return entries_.size();
}

DownloadJob MakeApplyJob(ProfileFiles& files, const ApplyServices& services,
                         std::function<void(int)> progress) {
    DownloadJob job;
    job.profile = &files.profile();
    job.slot = &files.activeSlotRecord();
    job.pendingMacroId = files.pendingMacroId;
    job.macros = services.macros;
    job.device = services.device;
    job.deviceMutex = services.deviceMutex;
    job.held = services.held;
    job.full = services.full;
    job.endPause = services.endPause;
    // Read here, on the window's thread: the worker never touches the current mode.
    job.pointerMode = files.currentMode;
    job.clock = services.clock;
    job.progress = std::move(progress);
    job.pointer = services.pointer;
    job.notifier = services.notifier;
    job.chinese = files.chineseTexts();
    return job;
}

bool RunApply(ProfileFiles& files, const ApplyServices& services,
              std::function<void(int)> progress, DownloadReport* report) {
    if (services.device == nullptr || services.deviceMutex == nullptr ||
        services.clock == nullptr) {
        return false;
    }
    return DownloadProfile(MakeApplyJob(files, services, std::move(progress)), report);
}

bool FinishApply(ProfileFiles& files, const DownloadReport& report) {
    ProfileSlot& slot = files.activeSlotRecord();
    for (int m = 0; m < kModeCount; ++m) {
        for (int k = 0; k < kButtonCount; ++k) {
            slot.buttonMacroId[m][k] = report.macroIds[m][k];
        }
    }
    files.clearPendingMacroIds();
    const bool stored = files.writeConfigInfo();
    const bool saved = files.save();
    return stored && saved;
}

}  // namespace q350::app
