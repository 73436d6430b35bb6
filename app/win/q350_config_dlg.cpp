#include "app/win/q350_config_dlg.h"

#include "app/win/usb_driver.h"

#include <dbt.h>
#include <shellapi.h>

#include <vector>

#include "app/win/apply_progress.h"
#include "app/win/key_capture_library.h"
#include "app/win/usb_presence_win.h"
#include "base/utf.h"
#include "lang/language_switch.h"
#include "lang/language_table.h"
#include "lang/win/shared_xml_reader.h"
#include "pages/win/flasher_win.h"
#include "skin/win/images.h"
#include "skin/win/info_dlg.h"
#include "skin/win/skin_ids.h"
#include "skin/win/xp_menu.h"

namespace q350::app {

namespace {

constexpr int kIconResource = 128;
constexpr int kFlagControlId = 1002;
constexpr wchar_t kDriverWindowClass[] = L"CUSBDriver";
constexpr wchar_t kDriverWindowTitle[] = L"QuorvVDrivers";
constexpr wchar_t kUpdaterPath[] = L"quorv_update\\QuorvUpdate.exe";
// The USB device interface class.
constexpr GUID kUsbDeviceInterface = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

// The status line's font and colour.
constexpr int kStatusFontHeight = 14;
constexpr int kStatusFontWeight = 300;
constexpr COLORREF kStatusColour = RGB(83, 97, 103);

ui::Dialog::Template MainTemplate() {
    ui::Dialog::Template t;
    t.style = WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU | DS_SETFONT;
    t.title = kMainWindowTitle;
    return t;
}

RECT ToRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

std::vector<POINT> ToPoints(const Polygon& shape) {
    std::vector<POINT> points;
    for (const Point& p : shape) {
        points.push_back(POINT{p.x, p.y});
    }
    return points;
}

Rect ClientRectOf(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

// What the language code needs from the system: the shared XML reader, the ini files, the
// settings, the program folder and plain message boxes.
lang::LanguageServices LanguageServicesOf(IniFile& ini, SettingsStore& store,
                                          const std::wstring& folder) {
    return {lang::TheXmlReader(), ini, store,
            PathFromUtf16(std::u16string(folder.begin(), folder.end())),
            [](std::u16string_view text, std::u16string_view caption) {
                MessageBoxW(nullptr, std::wstring(text.begin(), text.end()).c_str(),
                            std::wstring(caption.begin(), caption.end()).c_str(), MB_OK);
            }};
}

}  // namespace

// ---- the driver-event window --------------------------------------------------------------------

bool CUSBDriver::Create() {
    ui::RegisterWindowClass(kDriverWindowClass, 0, nullptr, nullptr);
    return Window::Create(kDriverWindowClass, kDriverWindowTitle, WS_POPUP, 0, RECT{1, 1, 2, 2},
                          nullptr, 0);
}

// ---- construction -------------------------------------------------------------------------------

CQ350ConfigDlg::CQ350ConfigDlg(std::wstring programFolder, SettingsStore& store,
                               std::unique_ptr<DriverEvents> events)
    : Dialog(MainTemplate()),
      folder_(std::move(programFolder)),
      store_(store),
      files_(PathFromUtf16(std::u16string(folder_.begin(), folder_.end())), store_, notifier_,
             [] { return lang::ChineseTexts(); }),
      macros_(PathFromUtf16(std::u16string(folder_.begin(), folder_.end())), store_, notifier_,
              clock_, [] { return lang::Str(lang::StringId::str_msg2); }),
      model_(files_),
      pages_(files_, macros_, folder_),
      events_(std::move(events)),
      channel_(transport_),
      device_(channel_, clock_) {
    icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource));
    if (!events_) {
        // The kernel driver's event channel (or the simulated mouse's when it is in use); its
        // mouse queries stand back while a download holds the device.
        events_ = std::make_unique<UsbDriver>(
            QueryUnlessBusy(device_, deviceMutex_),
            [this]() -> const ProfileData& { return files_.profile(); });
    }
}

CQ350ConfigDlg::~CQ350ConfigDlg() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
    // The HID device and its library go with the window object.
    std::lock_guard<std::mutex> hold(deviceMutex_);
    channel_.close();
}

bool CQ350ConfigDlg::Create() {
    return CreateModeless(nullptr);
}

// ---- initialisation -----------------------------------------------------------------------------

bool CQ350ConfigDlg::OnInitDialog() {
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    notifier_.setOwner(hwnd_);
    pointer_ = std::make_unique<WinPointerSettingsApplier>(hwnd_);

    presence_ = FindMouse(DeviceSearch(), clock_);
    // Only now that the search has stopped sleeping on this thread: the hook's keys are handled
    // here.
    if (keyCapture_ != nullptr) {
        keyCapture_->install();
    }
    startPath_ = ChooseStartPath(presence_);
    SetWindowTextW(hwnd_, kMainWindowTitle);
    ChooseStartLanguage();
    BuildWindow();

    files_.ensureFirstRun();
    // A profile that could not be written has been reported through the notifier; the window
    // goes on with the defaults in memory, and the next Apply tries the file again.
    files_.startupLoad();
    model_.markActiveProfileTab();
    ShowProfileTabs();
    macros_.load();
    tray_.add(hwnd_, icon_);
    OpenMouse();
    RefreshSettingPages();

    const HWND self = hwnd_;
    events_->startWorker(
        [self](std::uint32_t word) { PostMessageW(self, kMsgDriverEvent, word, 0); });
    usbDriver_.Create();
    StartTimer(kTimerDriver, kTimerDriverMs);
    StartTimer(kTimerShowWindow, kTimerShowWindowMs);

    // A mouse in its update mode goes to the flasher; when that cannot start, the window works
    // on with the mouse as it is.
    if (startPath_ == StartPath::HandToFlasher && StartFlasher()) {
        return true;
    }

    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kUsbDeviceInterface;
    deviceNotification_ = RegisterDeviceNotificationW(hwnd_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    simulatedMouse_ = VirtualMouseStatePath();
    if (!simulatedMouse_.empty()) {
        StartTimer(kTimerSimulatedPlug, kTimerSimulatedPlugMs);
    }

    if (flag_ != nullptr) {
        SetWindowPos(flag_, nullptr, kLanguageFlagRect.left, kLanguageFlagRect.top,
                     kLanguageFlagRect.width(), kLanguageFlagRect.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SelectPage(0);

    std::uint32_t version = 0;
    firmwareText_.clear();
    {
        std::lock_guard<std::mutex> hold(deviceMutex_);
        if (channel_.isOpen() && device_.query(kOpQueryFirmware, version) && version != 0) {
            firmwareText_ = std::to_wstring(version);
        }
    }
    pages_.setFirmwareText(firmwareText_);
    // A mouse whose firmware changed since the last start was flashed: whatever it held is gone,
    // so the active profile goes into it in full, in the background.
    if (startPath_ == StartPath::Run && version != 0) {
        std::uint32_t seen = 0;
        const bool known =
            store_.readDword(u"", kValueFirmwareSeen, seen) == StoreResult::Ok && seen != 0;
        if (!known || seen != version) {
            store_.writeDword(u"", kValueFirmwareSeen, version);
        }
        if (known && seen != version) {
            ApplyInBackground(true);
        }
    }

    if (startPath_ == StartPath::Run) {
        StartTimer(kTimerUpdater, kTimerUpdaterMs);
        autoSwitcher_.setBindings(files_.configInfo().slots);
        autoSwitcher_.chosenByHand(files_.activeSlot());
        foregroundWatcher_.Start([this](const ForegroundProgram& p) { OnForeground(p); });
    } else if (startPath_ == StartPath::NotFound) {
        ShowAutoCloseNotice(hwnd_, MouseNotFoundText(lang::ChineseTexts()));
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
    return true;
}

void CQ350ConfigDlg::ChooseStartLanguage() {
    const lang::LanguageServices services = LanguageServicesOf(ini_, store_, folder_);
    const int flag = lang::ChooseStartLanguage(lang::TheLanguage(), services);
    ui::SetSkinChinese(lang::ChineseTexts());
    SetFlag(flag);
}

void CQ350ConfigDlg::BuildWindow() {
    SIZE size{};
    ui::LoadPictureFile((folder_ + L"skins\\Main_Normal.bmp").c_str(), sheets_[0], size);
    size_ = size;
    ui::LoadPictureFile((folder_ + L"skins\\Main_Down.bmp").c_str(), sheets_[1], size);
    ui::LoadPictureFile((folder_ + L"skins\\Main_Over.bmp").c_str(), sheets_[2], size);
    if (size_.cx == 0 || size_.cy == 0) {
        size_ = SIZE{960, 650};  // no skin: the window keeps its place and size
    }
    const Point origin = CentredOrigin(GetSystemMetrics(SM_CXFULLSCREEN),
                                       GetSystemMetrics(SM_CYFULLSCREEN), size_.cx, size_.cy);
    SetWindowPos(hwnd_, nullptr, origin.x, origin.y, size_.cx, size_.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ui::Region shape(ui::RegionFromKeyColour(sheets_[0].get()));
    if (shape && SetWindowRgn(hwnd_, shape.get(), TRUE)) {
        shape.Release();  // the window owns it now
    }
    statusFont_.Reset(ui::MakeFont(kStatusFontHeight, kStatusFontWeight, L"MS Shell Dlg"));
    CreateButtons();
    CreatePopupsAndPages();
}

void CQ350ConfigDlg::CreateButtons() {
    const HBITMAP n = sheets_[0].get(), d = sheets_[1].get(), o = sheets_[2].get();
    auto rectButton = [&](ui::CGDIBitmapBtn& b, const Rect& r) {
        b.Create(hwnd_, ToRect(r));
        b.SetSheetImages(n, o, d, n, ToRect(r));
    };
    rectButton(minimise_, kMinimiseButtonRect);
    rectButton(close_, kCloseButtonRect);
    rectButton(language_, kLanguageButtonRect);

    flag_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP,
                            kLanguageFlagRect.left, kLanguageFlagRect.top,
                            kLanguageFlagRect.width(), kLanguageFlagRect.height(), hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFlagControlId)),
                            GetModuleHandleW(nullptr), nullptr);
    if (flagBitmap_) {
        SendMessageW(flag_, STM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(flagBitmap_.get()));
    }

    for (int i = 0; i < kPageCount; ++i) {
        pageTabs_[i].CreateFromPolygon(ToPoints(kPageTabShapes[i]), hwnd_);
        pageTabs_[i].SetSheets(n, o, d, n);
        pageTabs_[i].selectionMode = 1;
    }
    for (int i = 0; i < kProfileTabCount; ++i) {
        profileTabs_[i].CreateFromPolygon(ToPoints(kProfileTabShapes[i]), hwnd_);
        profileTabs_[i].SetSheets(n, o, d, n);
        profileTabs_[i].selectionMode = 1;
    }
    apply_.CreateFromPolygon(ToPoints(kApplyButtonShape), hwnd_);
    apply_.SetSheets(n, o, d, n);
}

void CQ350ConfigDlg::CreatePopupsAndPages() {
    // The first page is made when the first tab is selected, with the profile loaded.
    pages_.Create(hwnd_, ToRect(kPageArea));
}

bool CQ350ConfigDlg::CreateDpiIndicator() {
    // Made at the first level change rather than with the window: most runs never show it.
    if (!layered_.hwnd() && layered_.Create(hwnd_)) {
        ShowWindow(layered_.hwnd(), SW_HIDE);
    }
    if (layered_.hwnd()) {
        if (dpiIndicator_.Create(layered_.hwnd())) {
            RECT lr{};
            GetWindowRect(layered_.hwnd(), &lr);
            SetWindowPos(dpiIndicator_.hwnd(), nullptr, lr.left + kDpiIndicatorOffset.x,
                         lr.top + kDpiIndicatorOffset.y, kDpiIndicatorWidth, kDpiIndicatorHeight,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            dpiIndicator_.minimum = kDpiIndicatorMin;
            dpiIndicator_.maximum = kDpiIndicatorMax;
            dpiIndicator_.barRect[0] = kDpiIndicatorBar.left;
            dpiIndicator_.barRect[1] = kDpiIndicatorBar.top;
            dpiIndicator_.barRect[2] = kDpiIndicatorBar.right;
            dpiIndicator_.barRect[3] = kDpiIndicatorBar.bottom;
            ShowWindow(dpiIndicator_.hwnd(), SW_HIDE);
        }
    }
    return dpiIndicator_.hwnd() != nullptr;
}

void CQ350ConfigDlg::OpenMouse() {
    std::lock_guard<std::mutex> hold(deviceMutex_);
    heldByMouse_.forgetAll();
    if (!channel_.open()) {
        return;
    }
    std::uint32_t mode = 0;
    if (device_.query(kOpQueryMode, mode) && mode < static_cast<std::uint32_t>(kModeCount)) {
        files_.currentMode = static_cast<int>(mode);
    }
}

bool CQ350ConfigDlg::StartFlasher() {
    heldByMouse_.forgetAll();  // the flasher leaves the mouse as it likes
    return pages::HandMouseToFlasher(folder_, hwnd_, hwnd_, lang::ChineseTexts()) ==
           pages::FlasherStart::Started;
}

// ---- messages -----------------------------------------------------------------------------------

bool CQ350ConfigDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(icon_);
            return true;
        case WM_LBUTTONDOWN:
            PostMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, lp);
            return false;
        case WM_HELP:
            result = 1;
            return true;
        case WM_MOUSEMOVE:
            OnMouseMove(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
            return false;
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            if (mis->CtlType == ODT_MENU) {
                ui::CXPMenu::MeasureItem(*mis);
                result = TRUE;
                return true;
            }
            return false;
        }
        case WM_DRAWITEM: {
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (dis->CtlType == ODT_MENU) {
                ui::CXPMenu::DrawItem(*dis);
                result = TRUE;
                return true;
            }
            return false;
        }
        case WM_COMMAND:
            if (lp == 0) {
                if (LOWORD(wp) == kCmdTrayConfig) {
                    ShowFromTray();
                } else if (LOWORD(wp) == kCmdTrayExit) {
                    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
                }
                return true;
            }
            OnCommand(reinterpret_cast<HWND>(lp));
            return true;
        case kMsgLanguageChoice:
            OnLanguageChoice(wp, lp);
            return true;
        case kMsgTray:
            OnTray(lp);
            result = 1;
            return true;
        case kMsgApply:
            NoteModeBeforeDownload();
            OnApply();
            return true;
        case kMsgDownloadDone:
            OnDownloadEnded(true);
            return true;
        case kMsgDownloadFailed:
            OnDownloadEnded(false);
            return true;
        case kMsgDriverEvent:
            events_->onEvent(static_cast<std::uint32_t>(wp), *this);
            return true;
        case kMsgHint:
            OnHint(static_cast<int>(lp));
            result = 1;
            return true;
        case kMsgRestoreDefaults:
            // The support page's restore: defaults into the record, then the same download.
            NoteModeBeforeDownload();
            files_.restoreDefaults();
            RefreshSettingPages();
            OnApply();
            return true;
        case WM_DEVICECHANGE:
            OnDeviceChange(wp, lp);
            result = TRUE;
            return true;
        case WM_TIMER:
            OnTimer(wp);
            return false;
        case WM_CLOSE:
            OnClose();
            return true;
        case WM_QUERYENDSESSION:
            // The pages keep what they hold before Windows ends the session.
            pages_.SessionEnding();
            result = TRUE;
            return true;
        case WM_ENDSESSION:
            if (wp) {
                pages_.SessionEnding();
            }
            return true;
        case WM_DESTROY:
            PostQuitMessage(0);
            return false;
        default:
            return false;
    }
}

void CQ350ConfigDlg::Paint() {
    ui::PaintDc dc(hwnd_);
    if (sheets_[0]) {
        ui::MemoryDc mem(dc.get());
        ui::SelectGuard keep(mem.get(), sheets_[0].get());
        BitBlt(dc.get(), 0, 0, size_.cx, size_.cy, mem.get(), 0, 0, SRCCOPY);
    } else {
        const RECT client = ClientRect();
        FillRect(dc.get(), &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
    const std::u16string& status = model_.statusText();
    if (!status.empty()) {
        const std::wstring text(status.begin(), status.end());
        ui::SelectGuard keepFont(dc.get(), statusFont_.get());
        SetBkMode(dc.get(), TRANSPARENT);
        SetTextColor(dc.get(), kStatusColour);
        RECT r = ToRect(kStatusTextRect);
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                  DT_VCENTER | DT_WORDBREAK | DT_NOCLIP | DT_EDITCONTROL | DT_END_ELLIPSIS);
    }
}

void CQ350ConfigDlg::RepaintStatus() {
    const RECT r = ToRect(kStatusRepaintRect);
    InvalidateRect(hwnd_, &r, FALSE);
}

void CQ350ConfigDlg::OnCommand(HWND control) {
    if (control == minimise_.hwnd()) {
        Minimise();
        return;
    }
    if (control == close_.hwnd()) {
        HideToTray();
        return;
    }
    if (control == language_.hwnd()) {
        OpenLanguageMenu();
        return;
    }
    if (control == apply_.hwnd()) {
        // Shift held while clicking: everything is written, whatever the mouse holds.
        forceFullApply_ = GetKeyState(VK_SHIFT) < 0;
        PostMessageW(hwnd_, kMsgApply, 0, 0);
        return;
    }
    for (int tab = 0; tab < kPageCount; ++tab) {
        if (control == pageTabs_[tab].hwnd()) {
            const bool refresh = model_.clickPageTab(tab);
            SelectPage(model_.selectedPage());
            if (refresh) {
                RefreshSettingPages();
            }
            return;
        }
    }
    for (int tab = 0; tab < kProfileTabCount; ++tab) {
        if (control == profileTabs_[tab].hwnd()) {
            SelectProfileTab(tab);
            autoSwitcher_.chosenByHand(files_.activeSlot());
            return;
        }
    }
}

void CQ350ConfigDlg::SelectPage(int index) {
    model_.selectPage(index);
    for (int tab = 0; tab < kPageCount; ++tab) {
        pageTabs_[tab].SetSelected(model_.pageTabSelected(tab));
    }
    pages_.Show(model_.selectedPage());
}

void CQ350ConfigDlg::SelectProfileTab(int tab) {
    for (int i = 0; i < kProfileTabCount; ++i) {
        profileTabs_[i].SetSelected(i == tab);
    }
    const bool loaded = model_.clickProfileTab(tab);
    ShowProfileTabs();
    if (loaded) {
        RefreshSettingPages();
    }
}

void CQ350ConfigDlg::ShowProfileTabs() {
    for (int i = 0; i < kProfileTabCount; ++i) {
        profileTabs_[i].SetSelected(model_.profileTabSelected(i));
    }
}

void CQ350ConfigDlg::RefreshSettingPages() {
    pages_.ShowRecord();
}

void CQ350ConfigDlg::OnMouseMove(POINT p) {
    if (model_.clearStatusOnMove()) {
        RepaintStatus();
    }
    std::vector<HintArea> areas;
    for (int i = 0; i < kProfileTabCount; ++i) {
        areas.push_back({ClientRectOf(hwnd_, profileTabs_[i].hwnd()), kHintProfileTabFirst + i});
    }
    areas.push_back({ClientRectOf(hwnd_, apply_.hwnd()), kHintApply});
    for (int i = 0; i < kPageCount; ++i) {
        areas.push_back({ClientRectOf(hwnd_, pageTabs_[i].hwnd()), kHintPageTabFirst + i});
    }
    if (const auto hint = HintAt(Point{p.x, p.y}, areas)) {
        PostMessageW(hwnd_, kMsgHint, 0, *hint);
    }
}

void CQ350ConfigDlg::OnHint(int hint) {
    model_.setHint(hint, lang::ChineseTexts());
    RepaintStatus();
}

void CQ350ConfigDlg::OnTimer(UINT_PTR id) {
    switch (id) {
        case kTimerDriver:
            if (events_->tryConnect()) {
                StopTimer(kTimerDriver);
            }
            break;
        case kTimerShowWindow:
            StopTimer(kTimerShowWindow);
            if (ShowWindowAtStart(GetTickCount64())) {
                ShowWindow(hwnd_, SW_SHOWNORMAL);
                ShowWindow(hwnd_, SW_SHOWNORMAL);
                BringWindowToTop(hwnd_);
                UpdateWindow(hwnd_);  // drawn before the pages that work unseen are made
            }
            pages_.CreateBackgroundPages();
            break;
        case kTimerUpdater:
            StopTimer(kTimerUpdater);
            ShellExecuteW(nullptr, L"open", (folder_ + kUpdaterPath).c_str(), nullptr, nullptr,
                          SW_SHOWNORMAL);
            break;
        case kTimerSimulatedPlug:
            if (SimulatedMouseUnplugged(simulatedMouse_)) {
                StopTimer(kTimerSimulatedPlug);
                SendSimulatedRemoval(hwnd_);
            }
            break;
        case kTimerAutoSwitch:
            StopTimer(kTimerAutoSwitch);
            TryAutoSwitch();
            break;
        case kTimerDpiIndicator:
            if (dpiCountdown_.tick()) {
                StopTimer(kTimerDpiIndicator);
                if (dpiIndicator_.hwnd()) {
                    ShowWindow(dpiIndicator_.hwnd(), SW_HIDE);
                }
            }
            break;
        default:
            break;
    }
}

void CQ350ConfigDlg::OnTray(LPARAM mouseMessage) {
    switch (TrayActionFor(mouseMessage)) {
        case TrayAction::ShowWindow:
            ShowFromTray();
            break;
        case TrayAction::ShowMenu:
            if (const UINT command = TrackTrayMenu(hwnd_)) {
                PostMessageW(hwnd_, WM_COMMAND, command, 0);
            }
            break;
        case TrayAction::None:
            break;
    }
}

void CQ350ConfigDlg::ShowFromTray() {
    RefreshSettingPages();
    ShowWindow(hwnd_, SW_SHOW);
    model_.windowHidden = false;
}

void CQ350ConfigDlg::HideToTray() {
    model_.windowHidden = true;
    ShowWindow(hwnd_, SW_HIDE);
    SuspendKeyCapture();
}

void CQ350ConfigDlg::Minimise() {
    dpiCountdown_.restart();
    StopTimer(kTimerDpiIndicator);
    if (dpiIndicator_.hwnd()) {
        ShowWindow(dpiIndicator_.hwnd(), SW_HIDE);
    }
    ShowWindow(hwnd_, SW_MINIMIZE);
    SuspendKeyCapture();
}

void CQ350ConfigDlg::OpenLanguageMenu() {
    if (languageMenu_ != nullptr && IsWindow(languageMenu_->hwnd())) {
        PostMessageW(languageMenu_->hwnd(), WM_CLOSE, 0, 0);
    }
    languageMenu_ = nullptr;
    RECT b{};
    GetWindowRect(language_.hwnd(), &b);
    const Rect r = LanguageMenuRect(Rect{b.left, b.top, b.right, b.bottom});
    auto* menu = new ui::CMenuExA();
    if (!menu->Create(hwnd_, ToRect(r))) {
        delete menu;
        return;
    }
    languageMenu_ = menu;
}

void CQ350ConfigDlg::OnLanguageChoice(WPARAM wp, LPARAM lp) {
    const lang::LanguageServices services = LanguageServicesOf(ini_, store_, folder_);
    const lang::LanguageSwitch s =
        lang::SwitchLanguage(lang::TheLanguage(), services, languageMenu_ != nullptr, wp, lp);
    if (!s.acted) {
        return;
    }
    ui::SetSkinChinese(lang::ChineseTexts());
    if (s.flagBitmap != 0) {
        SetFlag(s.flagBitmap);
        // Texts drawn from the table show the new language from their next painting on.
        pages_.LanguageChanged();
    }
    if (s.closeMenu) {
        if (languageMenu_ != nullptr && IsWindow(languageMenu_->hwnd())) {
            PostMessageW(languageMenu_->hwnd(), WM_CLOSE, 0, 0);
        }
        languageMenu_ = nullptr;
    }
}

void CQ350ConfigDlg::SetFlag(int bitmapId) {
    ui::Bitmap bitmap(ui::LoadBitmapResource(static_cast<WORD>(bitmapId)));
    if (!bitmap) {
        return;
    }
    flagBitmap_ = std::move(bitmap);
    if (flag_ != nullptr) {
        const auto old = reinterpret_cast<HBITMAP>(SendMessageW(
            flag_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(flagBitmap_.get())));
        if (old != nullptr && old != flagBitmap_.get()) {
            DeleteObject(old);  // a copy the control made
        }
    }
}

void CQ350ConfigDlg::OnDeviceChange(WPARAM event, LPARAM data) {
    if ((event != DBT_DEVICEREMOVECOMPLETE && event != DBT_DEVICEARRIVAL) || data == 0) {
        return;
    }
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) {
        return;
    }
    const auto* iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(data);
    const auto* name = reinterpret_cast<const char16_t*>(iface->dbcc_name);
    if (!IsMouseRemoval(std::u16string_view(name))) {
        return;
    }
    // Whatever mouse is there now, nothing is known of what it holds.
    heldByMouse_.forgetAll();
    if (event == DBT_DEVICEREMOVECOMPLETE) {
        ShowAutoCloseNotice(hwnd_, MouseNotFoundText(lang::ChineseTexts()));
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
}

void CQ350ConfigDlg::OnApply() {
    // One download at a time: a second Apply while one runs would wait for the device lock with
    // the progress of two workers on one dialog.
    if (downloading_ || shutDown_) {
        return;
    }
    ApplyServices services = DownloadServices();
    services.full = forceFullApply_;
    forceFullApply_ = false;
    downloading_ = true;
    ApplyProgress progress(files_, services, hwnd_);
    if (!progress.Run()) {
        // No dialog, no worker: nothing runs, and Apply can be pressed again.
        downloading_ = false;
        apply_.SetSelected(false);
        notifier_.show(MessageForm::SkinnedNotice, kSettingErrorText);
    }
}

void CQ350ConfigDlg::OnDownloadEnded(bool ok) {
    if (!downloading_) {
        return;
    }
    downloading_ = false;
    apply_.SetSelected(false);
    if (autoApplying_) {
        // Over a game nothing pops up: the outcome goes to the status line and the tray tip.
        autoApplying_ = false;
        workerMessages_.flushTo(debugNotifier_);
        const std::u16string name = FieldText(files_.activeSlotRecord().name, kTextChars);
        if (ok && FinishApply(files_, lastDownload_)) {
            ShowStatus(AutoSwitchedText(name, AutoSwitchProgram(files_.activeSlotRecord()),
                                        lang::ChineseTexts()));
        } else {
            heldByMouse_.forgetAll();  // the next Apply writes everything
            ShowStatus(AutoSwitchFailedText(name, lang::ChineseTexts()));
        }
    } else {
        // Once the program is closing nothing more is shown: a message box would keep it open.
        if (!closeAfterDownload_) {
            workerMessages_.flushTo(notifier_);
        }
        if (ok) {
            FinishApply(files_, lastDownload_);
        } else if (!closeAfterDownload_) {
            notifier_.show(MessageForm::SkinnedNotice, kSettingErrorText);
        }
    }
    if (closeAfterDownload_) {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
}

void CQ350ConfigDlg::OnForeground(const ForegroundProgram& program) {
    autoSwitcher_.foreground(program.image, program.own, GetTickCount64());
    TryAutoSwitch();
}

void CQ350ConfigDlg::TryAutoSwitch() {
    if (shutDown_) {
        return;
    }
    const std::uint64_t now = GetTickCount64();
    if (const std::uint64_t wait = autoSwitcher_.settlesInMs(now)) {
        StartTimer(kTimerAutoSwitch, static_cast<UINT>(wait) + 1);
        return;
    }
    AutoSwitcher::Conditions c;
    c.unappliedEdits = files_.hasUnappliedEdits();
    // A popup, message box or dialog of the program is open: no switch under it.
    c.busy = downloading_ || ui::ModalLoop::Running() || !IsWindowEnabled(hwnd_);
    c.activeSlot = files_.activeSlot();
    if (const auto slot = autoSwitcher_.due(c, now)) {
        AutoSwitchTo(*slot);
    } else if (autoSwitcher_.hold() == AutoSwitcher::Hold::WaitsForApply) {
        ShowStatus(AutoSwitchWaitsText(lang::ChineseTexts()));
    }
}

void CQ350ConfigDlg::AutoSwitchTo(int slot) {
    // As a click on its tab, then the download of what differs, without a dialog.
    SelectProfileTab(slot);
    if (files_.activeSlot() != slot) {
        return;  // its file could not be loaded; the profile in use stays
    }
    ApplyInBackground(false);
}

ApplyServices CQ350ConfigDlg::DownloadServices() {
    ApplyServices services;
    services.macros = &macros_;
    services.device = &device_;
    services.deviceMutex = &deviceMutex_;
    services.clock = &clock_;
    services.pointer = pointer_.get();
    services.notifier = &workerMessages_;
    services.held = &heldByMouse_;
    services.report = &lastDownload_;
    return services;
}

void CQ350ConfigDlg::ApplyInBackground(bool full) {
    if (downloading_ || shutDown_) {
        return;
    }
    ApplyServices services = DownloadServices();
    services.endPause = false;
    services.full = full;
    downloading_ = true;
    autoApplying_ = true;
    if (!ApplyProgress::StartInBackground(files_, services, hwnd_)) {
        downloading_ = false;
        autoApplying_ = false;
        heldByMouse_.forgetAll();
        ShowStatus(AutoSwitchFailedText(FieldText(files_.activeSlotRecord().name, kTextChars),
                                        lang::ChineseTexts()));
    }
}

void CQ350ConfigDlg::ShowStatus(std::u16string text) {
    tray_.setTip(text);
    if (model_.setStatus(std::move(text))) {
        RepaintStatus();
    }
}

void CQ350ConfigDlg::showDpiIndicator(int level) {
    if (!dpiIndicator_.hwnd() && !CreateDpiIndicator()) {
        return;
    }
    SendMessageW(dpiIndicator_.hwnd(), ui::kMsgProgress, static_cast<WPARAM>(level), 0);
    ShowWindow(dpiIndicator_.hwnd(), SW_SHOWNOACTIVATE);
    dpiCountdown_.restart();
    StartTimer(kTimerDpiIndicator, kTimerDpiIndicatorMs);
}

void CQ350ConfigDlg::forwardToStatistics(std::uint32_t eventWord) {
    pages_.countEvent(eventWord);
}

int CQ350ConfigDlg::knownMode() const {
    // A download steps the record's current mode through all three modes while it runs.
    return downloading_ ? modeBeforeDownload_ : files_.currentMode;
}

void CQ350ConfigDlg::NoteModeBeforeDownload() {
    if (!downloading_) {
        modeBeforeDownload_ = files_.currentMode;
    }
}

void CQ350ConfigDlg::OnClose() {
    if (shutDown_) {
        return;
    }
    if (downloading_) {
        // The worker still uses the device and the record: the window closes once it is done.
        // That is soon even when the mouse has stopped answering: each transfer has its limit,
        // and a stalled channel fails the rest of the download at once.
        closeAfterDownload_ = true;
        return;
    }
    // Inside a modal loop (the setting panel, a message box, the tray menu ...) the code below
    // the loop still uses the pages: the loops are ended first and the close comes back once the
    // outermost one has returned.
    if (ui::ModalLoop::DeferClose(hwnd_)) {
        return;
    }
    shutDown_ = true;
    foregroundWatcher_.Stop();
    StopTimer(kTimerAutoSwitch);
    tray_.remove();
    events_->shutdown();
    usbDriver_.Destroy();
    pages_.DestroyAll();
    if (languageMenu_ != nullptr && IsWindow(languageMenu_->hwnd())) {
        DestroyWindow(languageMenu_->hwnd());
    }
    languageMenu_ = nullptr;
    if (dpiIndicator_.hwnd()) {
        dpiIndicator_.Destroy();
    }
    if (layered_.hwnd()) {
        layered_.Destroy();
    }
    if (keyCapture_ != nullptr) {
        keyCapture_->unload();
    }
    DestroyWindow(hwnd_);
}

}  // namespace q350::app
