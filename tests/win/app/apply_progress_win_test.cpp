// The Apply progress dialog under Wine: a started download always sends its outcome to the main
// window, and a dialog that cannot be shown says so instead of leaving the window waiting.
#include "app/win/apply_progress.h"  // first: it reads the device headers

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/win/main_window_messages.h"
#include "base/settings_store.h"

namespace q350::app {
namespace {

namespace fs = std::filesystem;

class RecordingNotifier final : public Notifier {
public:
    int show(MessageForm, std::u16string_view text) override {
        shown.emplace_back(text);
        return 1;
    }
    std::vector<std::u16string> shown;
};

UINT g_outcome = 0;
int g_outcomes = 0;

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kMsgDownloadDone || msg == kMsgDownloadFailed) {
        g_outcome = msg;
        ++g_outcomes;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A hidden top-level window standing in for the main window: modal dialogs need a real owner.
HWND CreateMainStandIn() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Q350ApplyMainStandIn";
    RegisterClassW(&wc);
    return CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

void DrainMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

class ApplyProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        folder = fs::temp_directory_path() / ("q350-apply-" + std::to_string(rd()));
        fs::create_directories(folder / "Profile");
        files = std::make_unique<ProfileFiles>(folder, store, notifier);
        files->startupLoad();
        g_outcome = 0;
        g_outcomes = 0;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    fs::path folder;
    MemorySettingsStore store;
    RecordingNotifier notifier;
    std::unique_ptr<ProfileFiles> files;
    ApplyServices services;  // no device: the download fails at once
};

TEST_F(ApplyProgressTest, StartedDownloadSendsItsOutcomeAndClosesTheDialog) {
    const HWND main = CreateMainStandIn();
    ASSERT_NE(main, nullptr);
    ApplyProgress progress(*files, services, main);
    // Returns only once the worker has closed the dialog.
    EXPECT_TRUE(progress.Run());
    DrainMessages();
    EXPECT_EQ(g_outcomes, 1);
    EXPECT_EQ(g_outcome, kMsgDownloadFailed);
    EXPECT_EQ(progress.hwnd(), nullptr);
    DestroyWindow(main);
}

TEST_F(ApplyProgressTest, DialogThatCannotOpenStartsNothingAndSaysSo) {
    // The main window went away: the dialog has no owner to open on. Windows' own result for that
    // case is 0, the same as a dialog that opened and closed; Wine's is -1.
    const HWND gone = CreateMainStandIn();
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    ApplyProgress progress(*files, services, gone);
    EXPECT_FALSE(progress.Run());
    DrainMessages();
    EXPECT_EQ(g_outcomes, 0);

    // Nothing was left half-open: with a window to open on, the next Apply runs.
    const HWND main = CreateMainStandIn();
    ApplyProgress again(*files, services, main);
    EXPECT_TRUE(again.Run());
    DrainMessages();
    EXPECT_EQ(g_outcomes, 1);
    DestroyWindow(main);
}

}  // namespace
}  // namespace q350::app
