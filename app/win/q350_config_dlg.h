#pragma once

// CQ350ConfigDlg: the program's only top-level window. It owns the link to the mouse, the profile
// files and macro library, the pages and popups, the tray icon and the driver-event link; it finds
// the mouse at creation, writes the profile on Apply and lives in the tray.
#include "app/profile_apply.h"  // first: it reads the device headers

#include <windows.h>

#include <array>
#include <memory>
#include <mutex>
#include <string>

#include "app/auto_switch.h"
#include "app/driver_events.h"
#include "app/main_window_model.h"
#include "app/startup.h"
#include "app/win/main_pages.h"
#include "app/win/foreground_watcher.h"
#include "app/win/main_window_messages.h"
#include "app/win/key_capture_library.h"
#include "app/win/tray_icon.h"
#include "app/win/win_notifier.h"
#include "app/win/pointer_settings_win.h"
#include "base/clock.h"
#include "base/settings_store.h"
#include "config/profile_files.h"
#include "device/device_commands.h"
#include "device/hid_channel.h"
#include "device/win/hid_bridge_transport.h"
#include "lang/win/private_profile_ini.h"
#include "skin/win/dpi_progress_dlg.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"
#include "skin/win/gdi_bitmap_btn.h"
#include "skin/win/irr_button.h"
#include "skin/win/wnd_popup.h"

namespace q350::app {

inline constexpr wchar_t kMainWindowTitle[] = L"Quorv Q350 Gaming Mouse Driver";

// Timers of the main window.
inline constexpr UINT_PTR kTimerDpiIndicator = 2;
inline constexpr UINT_PTR kTimerShowWindow = 3;
inline constexpr UINT_PTR kTimerUpdater = 4;
inline constexpr UINT_PTR kTimerDriver = 19;
inline constexpr UINT_PTR kTimerAutoSwitch = 22;
// The firmware version the mouse reported at the last start (a change means it was flashed).
inline constexpr std::u16string_view kValueFirmwareSeen = u"FirmwareSeen";  // the settle time of a program come to the front
// Only with the simulated mouse: watches its state file for an unplug, which the system would
// announce for a real mouse.
inline constexpr UINT_PTR kTimerSimulatedPlug = 20;
inline constexpr UINT kTimerDpiIndicatorMs = 200;
inline constexpr UINT kTimerShowWindowMs = 500;
inline constexpr UINT kTimerUpdaterMs = 3000;
inline constexpr UINT kTimerDriverMs = 1000;
inline constexpr UINT kTimerSimulatedPlugMs = 500;

// The hidden window "QuorvVDrivers" handed to the driver-event worker.
class CUSBDriver : public ui::Window {
public:
    bool Create();
};

class CQ350ConfigDlg : public ui::Dialog, private DriverEventHost {
public:
    // store: the program's settings; events: the driver link (the kernel driver's when null).
    CQ350ConfigDlg(std::wstring programFolder, SettingsStore& store,
                   std::unique_ptr<DriverEvents> events = nullptr);
    ~CQ350ConfigDlg() override;

    // Creates the window hidden; its initialisation runs inside.
    bool Create();
    // The keyboard-hook library that shutdown takes down (may stay null).
    void setKeyCapture(KeyCaptureLibrary* library) { keyCapture_ = library; }

    // Read by tests.
    MainWindowModel& model() { return model_; }
    ProfileFiles& files() { return files_; }
    const std::wstring& firmwareVersionText() const { return firmwareText_; }
    MainPages& pages() { return pages_; }
    StartPath startPath() const { return startPath_; }

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    // Initialisation pieces.
    void BuildWindow();
    void CreateButtons();
    void CreatePopupsAndPages();
    bool CreateDpiIndicator();
    void ChooseStartLanguage();
    void OpenMouse();
    bool StartFlasher();  // true when the flasher runs and the window closes

    // Handlers.
    void Paint();
    void OnCommand(HWND control);
    void OnMouseMove(POINT p);
    void OnHint(int hint);
    void OnTimer(UINT_PTR id);
    void OnTray(LPARAM mouseMessage);
    void OnLanguageChoice(WPARAM wp, LPARAM lp);
    void OnDeviceChange(WPARAM event, LPARAM data);
    void OnApply();
    void OnDownloadEnded(bool ok);
    // Automatic switching: the program in front changed; a switch that may be due; the switch.
    void OnForeground(const ForegroundProgram& program);
    void TryAutoSwitch();
    void AutoSwitchTo(int slot);
    void ShowStatus(std::u16string text);
    // What every download of the window uses; a download without dialog or message boxes.
    ApplyServices DownloadServices();
    void ApplyInBackground(bool full);
    void OnClose();
    void ShowFromTray();
    void HideToTray();
    void Minimise();
    void OpenLanguageMenu();

    void SelectPage(int index);
    void SelectProfileTab(int tab);
    void ShowProfileTabs();
    void RefreshSettingPages();
    void RepaintStatus();
    void SetFlag(int bitmapId);

    // DriverEventHost.
    void showDpiIndicator(int level) override;
    void forwardToStatistics(std::uint32_t eventWord) override;
    int knownMode() const override;
    // Before a download starts: the mode it will step away from and back to.
    void NoteModeBeforeDownload();

    std::wstring folder_;
    SettingsStore& store_;
    WinNotifier notifier_;
    SystemClock clock_;
    ProfileFiles files_;
    MacroLibrary macros_;
    MainWindowModel model_;
    MainPages pages_;
    std::unique_ptr<DriverEvents> events_;
    lang::PrivateProfileIniFile ini_;

    HidBridgeTransport transport_;
    HidChannel channel_;
    DeviceCommands device_;
    std::mutex deviceMutex_;
    std::unique_ptr<WinPointerSettingsApplier> pointer_;
    DeferredNotifier workerMessages_;
    bool downloading_ = false;
    bool closeAfterDownload_ = false;  // Exit was chosen while a download ran
    // What the attached mouse holds as far as the program is sure; Apply sends the rest.
    AcknowledgedState heldByMouse_;
    DownloadReport lastDownload_;   // left by the download worker before it posts its outcome
    bool forceFullApply_ = false;   // Apply was clicked with Shift held
    // Profiles that follow the program in front.
    ForegroundWatcher foregroundWatcher_;
    AutoSwitcher autoSwitcher_;
    bool autoApplying_ = false;     // the running download is an automatic switch's
    DebugOutputNotifier debugNotifier_;
    int modeBeforeDownload_ = 0;        // the current mode when the running download began

    HICON icon_ = nullptr;
    ui::Bitmap sheets_[3];  // normal, pressed, hover
    SIZE size_{};
    ui::Font statusFont_;

    ui::CGDIBitmapBtn minimise_, close_, language_;
    std::array<ui::CIrrButton, kPageCount> pageTabs_;
    std::array<ui::CIrrButton, kProfileTabCount> profileTabs_;
    ui::CIrrButton apply_;
    HWND flag_ = nullptr;
    ui::Bitmap flagBitmap_;

    ui::CUpLayeredDlg layered_;
    ui::CDpiProgressDlg dpiIndicator_;
    DpiIndicatorCountdown dpiCountdown_;
    ui::CMenuExA* languageMenu_ = nullptr;

    CUSBDriver usbDriver_;
    TrayIcon tray_;
    HDEVNOTIFY deviceNotification_ = nullptr;
    MousePresence presence_;
    StartPath startPath_ = StartPath::NotFound;
    std::wstring firmwareText_;
    std::wstring simulatedMouse_;  // the simulated mouse's state file, when one is in use
    KeyCaptureLibrary* keyCapture_ = nullptr;
    bool shutDown_ = false;
};

}  // namespace q350::app
