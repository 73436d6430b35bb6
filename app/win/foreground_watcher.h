#pragma once

// Tells which program is in front: an out-of-context WinEvent hook for foreground changes, and a
// 250 ms look at the foreground window for systems where those events do not arrive. Runs on the
// thread that starts it (which must pump messages); nothing is placed in any other process, no
// input is simulated and no other program is touched beyond reading its image path.
#include <windows.h>

#include <functional>
#include <string>

namespace q350::app {

inline constexpr UINT kForegroundPollMs = 250;

// The full image path of the process that owns the window (empty when it cannot be read) and
// whether that process is this one.
struct ForegroundProgram {
    std::u16string image;
    bool own = false;
};
ForegroundProgram ProgramOfWindow(HWND window);

class ForegroundWatcher {
public:
    using Callback = std::function<void(const ForegroundProgram&)>;

    ForegroundWatcher() = default;
    ~ForegroundWatcher() { Stop(); }
    ForegroundWatcher(const ForegroundWatcher&) = delete;
    ForegroundWatcher& operator=(const ForegroundWatcher&) = delete;

    // Starts watching; the callback hears of each window that comes to the front, once. One
    // watcher at a time per process (the system's callbacks carry no context). False when
    // another watcher runs or neither the hook nor the timer could be set.
    bool Start(Callback changed);
    void Stop();
    bool running() const { return running_; }
    // Whether the system took the event hook (the poll runs in any case).
    bool hooked() const { return hook_ != nullptr; }

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                 LONG child, DWORD thread, DWORD time);
    static void CALLBACK OnPoll(HWND, UINT, UINT_PTR, DWORD);
    void Seen(HWND window);

    Callback changed_;
    HWINEVENTHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;
    HWND last_ = nullptr;
    bool seenAny_ = false;
    bool running_ = false;
};

}  // namespace q350::app
