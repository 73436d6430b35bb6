// The Win32 pieces of the application shell under Wine: the keyboard-hook library's loading and
// unloading, the simulated mouse's presence, and the tray icon's record.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/startup.h"
#include "app/win/key_capture_library.h"
#include "app/win/tray_icon.h"
#include "app/win/usb_presence_win.h"
#include "device/mouse_state_file.h"

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
    library.unload();
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

TEST(UsbPresence, SetupApiSearchFindsNoMouseUnderWine) {
    EXPECT_FALSE(UsbDevicePresent(kMouseHardwareId));
}

TEST(TrayIcon, RecordCarriesTheMessageTipAndBalloon) {
    TrayIcon tray;
    HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
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

}  // namespace
}  // namespace q350::app
