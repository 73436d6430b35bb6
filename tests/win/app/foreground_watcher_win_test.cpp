// The foreground watcher under Wine: a window of this program brought to the front is reported
// once, as the program's own, with its image path; a second watcher is refused.
#include "app/win/foreground_watcher.h"

#include <gtest/gtest.h>

#include <vector>

namespace q350::app {
namespace {

void Pump(DWORD ms, const std::function<bool()>& done) {
    const DWORD until = GetTickCount() + ms;
    MSG msg;
    while (!done() && static_cast<LONG>(until - GetTickCount()) > 0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

TEST(ForegroundWatcher, ReportsEachWindowThatComesToTheFrontOnce) {
    const HWND window = CreateWindowExW(0, L"STATIC", L"front", WS_POPUP | WS_VISIBLE, 10, 10,
                                        100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    std::vector<ForegroundProgram> seen;
    ForegroundWatcher watcher;
    ASSERT_TRUE(watcher.Start([&](const ForegroundProgram& p) { seen.push_back(p); }));
    ForegroundWatcher second;
    EXPECT_FALSE(second.Start([](const ForegroundProgram&) {}));

    SetForegroundWindow(window);
    Pump(2000, [&] { return GetForegroundWindow() == window && !seen.empty() &&
                            seen.back().own; });
    ASSERT_EQ(GetForegroundWindow(), window);
    ASSERT_FALSE(seen.empty());
    const ForegroundProgram& last = seen.back();
    EXPECT_TRUE(last.own);
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(last.image, std::u16string(self, self + n));
    // The same window staying in front is not told again (other tests' windows may take the
    // front meanwhile; then there is something new to tell).
    const std::size_t count = seen.size();
    bool stayed = true;
    Pump(3 * kForegroundPollMs, [&] {
        stayed = stayed && GetForegroundWindow() == window;
        return false;
    });
    if (stayed) {
        EXPECT_EQ(seen.size(), count);
    }

    watcher.Stop();
    EXPECT_FALSE(watcher.running());
    EXPECT_TRUE(second.Start([](const ForegroundProgram&) {}));  // free again
    second.Stop();
    EXPECT_TRUE(ProgramOfWindow(nullptr).image.empty());
    DestroyWindow(window);
}

}  // namespace
}  // namespace q350::app
