// The Win32 pieces of the application shell under Wine: the keyboard-hook library's loading and
// unloading, the simulated mouse's presence and unplugging, and the tray icon's record.
#include <windows.h>

#include <dbt.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cwchar>
#include <filesystem>
#include <string>

#include "app/startup.h"
#include "app/win/key_capture_library.h"
#include "app/win/tray_icon.h"
#include "app/win/usb_presence_win.h"
#include "device/mouse_state_file.h"
#include "message_probe.h"

namespace q350::app {
namespace {

int g_warnings = 0;
void CountWarning() {
    ++g_warnings;
}

TEST(KeyCaptureLibrary, MissingLibraryWarnsOnceAndLeavesNothingToCall) {
    g_warnings = 0;
    KeyCaptureLibrary library;
    EXPECT_FALSE(library.load(L"NoSuchKeyCapture.dll", CountWarning));
    EXPECT_EQ(g_warnings, 1);
    EXPECT_EQ(KeyCapture().installhook, nullptr);
    EXPECT_EQ(KeyCapture().removehook, nullptr);
    EXPECT_EQ(KeyCapture().SetHookStatus, nullptr);
    // Closing without the library calls nothing and does not crash.
    library.unload();
    SuspendKeyCapture();
    EXPECT_FALSE(library.loaded());
}

TEST(KeyCaptureLibrary, RealLibraryLoadsWithoutWarningAndUnloadsCleanly) {
    const std::wstring path = std::wstring(Q350_KEYCAPTURE_DLL);
    g_warnings = 0;
    KeyCaptureLibrary library;
    ASSERT_TRUE(library.load(path.c_str(), CountWarning));
    EXPECT_EQ(g_warnings, 0);
    EXPECT_NE(KeyCapture().installhook, nullptr);
    EXPECT_NE(KeyCapture().SetReciveWindow, nullptr);
    // The hook goes in only when asked (after the start-up search), and once.
    EXPECT_FALSE(library.installed());
    EXPECT_TRUE(library.install());
    EXPECT_TRUE(library.install());
    EXPECT_TRUE(library.installed());
    library.unload();
    EXPECT_FALSE(library.installed());
    EXPECT_FALSE(library.loaded());
    // No entry point survives the library, the receive-window one included.
    EXPECT_EQ(KeyCapture().SetHookStatus, nullptr);
    EXPECT_EQ(KeyCapture().SetReciveWindow, nullptr);
}

TEST(KeyCaptureLibrary, LibraryWithoutTheEntryPointsWarnsButLoads) {
    g_warnings = 0;
    KeyCaptureLibrary library;
    EXPECT_TRUE(library.load(L"kernel32.dll", CountWarning));
    EXPECT_EQ(g_warnings, 1);
    EXPECT_EQ(KeyCapture().installhook, nullptr);
    EXPECT_FALSE(library.install());
    library.unload();  // removehook unknown: the library stays loaded, nothing is called
}

class SimulatedPresence : public ::testing::Test {
protected:
    void SetUp() override {
        path = std::filesystem::temp_directory_path() /
               ("q350-presence-" + std::to_string(GetCurrentProcessId()) + ".state");
    }
    void TearDown() override { std::filesystem::remove(path); }
    void save(bool plugged, std::uint8_t firmware) {
        VirtualMouseState state;
        state.plugged = plugged;
        state.firmware = firmware;
        ASSERT_TRUE(SaveMouseState(path, state));
    }
    bool present(std::u16string_view id) { return SimulatedDevicePresent(path.wstring(), id); }
    std::filesystem::path path;
};

TEST_F(SimulatedPresence, PluggedFirmwareAndMissingFile) {
    save(true, 3);
    EXPECT_TRUE(present(kMouseHardwareId));
    EXPECT_FALSE(present(kUpdateModeHardwareId));
    save(true, 0);
    EXPECT_FALSE(present(kMouseHardwareId));
    EXPECT_TRUE(present(kUpdateModeHardwareId));
    save(false, 3);
    EXPECT_FALSE(present(kMouseHardwareId));
    EXPECT_FALSE(present(kUpdateModeHardwareId));
    std::filesystem::remove(path);
    EXPECT_FALSE(present(kMouseHardwareId));
    // Another device's id is never the simulated mouse.
    save(true, 3);
    EXPECT_FALSE(present(u"VID_046D&PID_C077"));
}

TEST_F(SimulatedPresence, OnlyAStateThatSaysUnpluggedIsAnUnplug) {
    save(true, 3);
    EXPECT_FALSE(SimulatedMouseUnplugged(path.wstring()));
    save(true, 0);  // the update mode is still a mouse on the bus
    EXPECT_FALSE(SimulatedMouseUnplugged(path.wstring()));
    save(false, 3);
    EXPECT_TRUE(SimulatedMouseUnplugged(path.wstring()));
    // A file that cannot be read says nothing: the program must not close over it.
    std::filesystem::remove(path);
    EXPECT_FALSE(SimulatedMouseUnplugged(path.wstring()));
}

// Receives the removal notice as the main window does.
LRESULT CALLBACK RemovalWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DEVICECHANGE) {
        auto* seen = reinterpret_cast<std::u16string*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lp);
        if (wp == DBT_DEVICEREMOVECOMPLETE && header != nullptr &&
            header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
            const auto* notice = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(lp);
            const std::size_t chars =
                (notice->dbcc_size - offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name)) /
                sizeof(wchar_t);
            *seen = std::u16string(reinterpret_cast<const char16_t*>(notice->dbcc_name),
                                   wcsnlen(notice->dbcc_name, chars));
        }
        return TRUE;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(SimulatedRemoval, NoticeNamesTheMouseAsTheSystemWould) {
    const HWND probe = test::CreateMessageProbe(L"Q350RemovalProbe", RemovalWindowProc);
    ASSERT_NE(probe, nullptr);
    std::u16string seen;
    SetWindowLongPtrW(probe, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&seen));
    SendSimulatedRemoval(probe);
    DestroyWindow(probe);
    // The main window's own test of removal notices accepts it; another device's would not be.
    EXPECT_TRUE(IsMouseRemoval(seen)) << std::string(seen.begin(), seen.end());
    EXPECT_NE(seen.find(u"\\\\?\\HID#"), std::u16string::npos);
}

TEST(UsbPresence, SetupApiSearchFindsNoMouseUnderWine) {
    EXPECT_FALSE(UsbDevicePresent(kMouseHardwareId));
}

TEST(TrayIcon, RecordCarriesTheMessageTipAndBalloon) {
    TrayIcon tray;
    HWND window =
        CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    tray.add(window, LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));
    const NOTIFYICONDATAW& d = tray.data();
    EXPECT_EQ(d.uFlags, 23u);
    EXPECT_EQ(d.uCallbackMessage, 1132u);
    EXPECT_EQ(d.uID, 0u);
    EXPECT_STREQ(d.szTip, L"Quorv Q350 Mouse Driver");
    EXPECT_STREQ(d.szInfoTitle, L"Running");
    EXPECT_STREQ(d.szInfo, L"Quorv Q350 Mouse Driver");
    EXPECT_EQ(d.uTimeout, 5000u);
    tray.remove();
    EXPECT_FALSE(tray.added());
    tray.remove();  // a second removal does nothing
    DestroyWindow(window);
}

// Whether the shell holds an icon for the window (only an icon that is there can be changed).
bool ShellHasIcon(HWND window) {
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof(probe);
    probe.hWnd = window;
    probe.uID = 0;
    probe.uFlags = NIF_TIP;
    wcscpy(probe.szTip, L"probe");
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

TEST(TrayIcon, TheIconComesAndAnImmediateRemovalIsNotOvertakenByTheAdd) {
    HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                nullptr);
    const HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    {
        TrayIcon tray;
        tray.add(window, icon);
        const ULONGLONG deadline = GetTickCount64() + 5000;
        while (!ShellHasIcon(window) && GetTickCount64() < deadline) {
            Sleep(20);
        }
        ASSERT_TRUE(ShellHasIcon(window)) << "the icon never arrived";
        tray.remove();
        EXPECT_FALSE(ShellHasIcon(window));
    }
    for (int round = 0; round < 5; ++round) {
        TrayIcon tray;
        tray.add(window, icon);
        tray.remove();  // right away: it waits for the add, so nothing stays behind
        EXPECT_FALSE(ShellHasIcon(window)) << round;
    }
    {
        TrayIcon tray;  // going away while its add may still be on its way
        tray.add(window, icon);
    }
    NOTIFYICONDATAW left{};
    left.cbSize = sizeof(left);
    left.hWnd = window;
    Shell_NotifyIconW(NIM_DELETE, &left);
    DestroyWindow(window);
}

}  // namespace
}  // namespace q350::app
