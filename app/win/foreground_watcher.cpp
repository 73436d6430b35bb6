#include "app/win/foreground_watcher.h"

#include "base/win/kernel_handle.h"

namespace q350::app {

namespace {

ForegroundWatcher* g_watcher = nullptr;  // the one running watcher of this process (UI thread)

}  // namespace

ForegroundProgram ProgramOfWindow(HWND window) {
    ForegroundProgram program;
    DWORD pid = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &pid) == 0 || pid == 0) {
        return program;
    }
    program.own = pid == GetCurrentProcessId();
    // The limited right is granted for elevated and protected processes too.
    win::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process.valid()) {
        return program;
    }
    wchar_t path[MAX_PATH * 4];
    DWORD size = static_cast<DWORD>(sizeof path / sizeof path[0]);
    if (QueryFullProcessImageNameW(process.get(), 0, path, &size)) {
        program.image.assign(path, path + size);
    }
    return program;
}

bool ForegroundWatcher::Start(Callback changed) {
    if (running_ || (g_watcher != nullptr && g_watcher != this)) {
        return false;
    }
    changed_ = std::move(changed);
    g_watcher = this;
    hook_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnEvent, 0,
                            0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    timer_ = SetTimer(nullptr, 0, kForegroundPollMs, OnPoll);
    running_ = hook_ != nullptr || timer_ != 0;
    if (!running_) {
        g_watcher = nullptr;
        return false;
    }
    Seen(GetForegroundWindow());
    return true;
}

void ForegroundWatcher::Stop() {
    if (hook_ != nullptr) {
        UnhookWinEvent(hook_);
        hook_ = nullptr;
    }
    if (timer_ != 0) {
        KillTimer(nullptr, timer_);
        timer_ = 0;
    }
    if (g_watcher == this) {
        g_watcher = nullptr;
    }
    running_ = false;
    last_ = nullptr;
    seenAny_ = false;
}

void CALLBACK ForegroundWatcher::OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object,
                                         LONG, DWORD, DWORD) {
    if (g_watcher != nullptr && event == EVENT_SYSTEM_FOREGROUND && object == OBJID_WINDOW) {
        g_watcher->Seen(window);
    }
}

void CALLBACK ForegroundWatcher::OnPoll(HWND, UINT, UINT_PTR, DWORD) {
    if (g_watcher != nullptr) {
        g_watcher->Seen(GetForegroundWindow());
    }
}

void ForegroundWatcher::Seen(HWND window) {
    // The program's own windows are skipped by the hook but not by the poll; the callback is
    // told they are its own either way. No window in front is no program in front.
    if (seenAny_ && window == last_) {
        return;
    }
    seenAny_ = true;
    last_ = window;
    if (changed_) {
        changed_(ProgramOfWindow(window));
    }
}

}  // namespace q350::app
