// KeyCapture.dll loaded by name and driven as the program does, with keys injected by SendInput.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/win/module.h"
#include "outside/KeyCapture/key_capture.h"

namespace {

using namespace q350::keycapture;

std::vector<std::pair<WPARAM, LPARAM>> g_received;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kKeyMessage) {
        g_received.emplace_back(wp, lp);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    MSG msg;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

void Tap(WORD vk) {
    INPUT in[2] = {};
    in[0].type = INPUT_KEYBOARD;
    in[0].ki.wVk = vk;
    in[1] = in[0];
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

class KeyCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string path = KEYCAPTURE_DLL_PATH;
        module = LoadLibraryA(path.c_str());
        ASSERT_NE(module, nullptr) << path;
        install = q350::win::ProcAddress<InstallHookFn>(module, "installhook");
        remove = q350::win::ProcAddress<RemoveHookFn>(module, "removehook");
        status = q350::win::ProcAddress<SetHookStatusFn>(module, "SetHookStatus");
        receive = q350::win::ProcAddress<SetReciveWindowFn>(module, "SetReciveWindow");
        ASSERT_TRUE(install && remove && status && receive);

        WNDCLASSW wc{};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KeyCaptureTestReceiver";
        RegisterClassW(&wc);
        window = CreateWindowW(wc.lpszClassName, L"receiver", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                               nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        g_received.clear();
    }
    void TearDown() override {
        if (status) {
            status(0, 0);
        }
        if (remove) {
            remove();
        }
        if (window) {
            DestroyWindow(window);
        }
        if (module) {
            FreeLibrary(module);
        }
    }
    HMODULE module = nullptr;
    HWND window = nullptr;
    InstallHookFn install = nullptr;
    RemoveHookFn remove = nullptr;
    SetHookStatusFn status = nullptr;
    SetReciveWindowFn receive = nullptr;
};

TEST_F(KeyCaptureTest, DeliversPressAndReleaseOnlyWhileOn) {
    ASSERT_TRUE(install());
    receive(window);

    Tap('A');  // hook in place but delivery off: nothing arrives
    PumpFor(300);
    EXPECT_TRUE(g_received.empty());

    status(1, 0);
    Tap('A');
    Tap(VK_F13);
    PumpFor(500);
    ASSERT_EQ(g_received.size(), 4u);
    EXPECT_EQ(g_received[0].first, static_cast<WPARAM>('A'));
    EXPECT_EQ(g_received[0].second & kReleasedFlag, 0);
    EXPECT_EQ(g_received[1].first, static_cast<WPARAM>('A'));
    EXPECT_EQ(g_received[1].second & kReleasedFlag, kReleasedFlag);
    EXPECT_EQ(g_received[2].first, static_cast<WPARAM>(VK_F13));

    status(0, 0);
    g_received.clear();
    Tap('B');
    PumpFor(300);
    EXPECT_TRUE(g_received.empty());
}

TEST_F(KeyCaptureTest, RemovedHookDeliversNothingAndCanBeInstalledAgain) {
    ASSERT_TRUE(install());
    receive(window);
    status(1, 0);
    ASSERT_TRUE(remove());
    Tap('C');
    PumpFor(300);
    EXPECT_TRUE(g_received.empty());

    ASSERT_TRUE(install());
    status(1, 0);
    Tap('D');
    PumpFor(500);
    ASSERT_EQ(g_received.size(), 2u);
    EXPECT_EQ(g_received[0].first, static_cast<WPARAM>('D'));
}

}  // namespace
