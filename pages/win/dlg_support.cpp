#include "pages/win/dlg_support.h"

#include <commdlg.h>
#include "skin/win/framework/gdiplus_include.h"
#include <shellapi.h>

#include <filesystem>

#include "base/utf.h"
#include "base/win/module.h"
#include "device/device_commands.h"
#include "device/hid_channel.h"
#include "device/win/hid_bridge_transport.h"
#include "lang/win/shared_xml_reader.h"
#include "skin/win/images.h"
#include "skin/win/info_dlg.h"

namespace q350::pages {

namespace {

constexpr const wchar_t* kSheetFiles[] = {L"support_normal.bmp", L"support_over.bmp",
                                          L"support_down.bmp"};
constexpr wchar_t kVersionFont[] = L"MS Shell Dlg";
constexpr float kVersionFontSize = 12.0f;
constexpr Gdiplus::ARGB kVersionColour = 0xFFC1D2EE;
constexpr DWORD kPathChars = 1024;

RECT ToRect(const skin::Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// The maker's server; a build made for the tests may be pointed at another one. The shipped
// program has no such way in at all: neither the code nor the variable's name is in it.
std::u16string UpdateServer() {
#if defined(Q350_TRUST_TEST_KEY)
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"Q350_UPDATE_SERVER", buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return {};
    }
    return std::u16string(buffer, buffer + n);
#else
    return {};
#endif
}

// The system's own text for what went wrong with a file.
std::wstring FileErrorText(FileError error) {
    const DWORD code = error == FileError::NotFound       ? ERROR_PATH_NOT_FOUND
                       : error == FileError::AccessDenied ? ERROR_ACCESS_DENIED
                                                          : ERROR_WRITE_FAULT;
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = n != 0 && text != nullptr ? std::wstring(text, n) : L"File error";
    LocalFree(text);
    return result;
}

// The profile file dialogs: no owner, the .cfg filter, no read-only box, the current folder kept.
bool AskForProfileFile(bool save, std::wstring& path) {
    wchar_t buffer[kPathChars] = {};
    const std::wstring filter = Wide(kProfileFileFilter);
    const std::wstring extension = Wide(kProfileFileExtension);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = kPathChars;
    ofn.lpstrDefExt = extension.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    static const auto saveDialog =
        win::SystemProc<decltype(&GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
    static const auto openDialog =
        win::SystemProc<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    const auto dialog = save ? saveDialog : openDialog;
    if (dialog == nullptr || !dialog(&ofn)) {
        return false;
    }
    path = buffer;
    return !path.empty();
}

}  // namespace

// What the update checks need from the system: the skinned message box, the shell, the flasher
// and a second connection to the mouse.
class CDlgSupport::Environment final : public UpdateEnvironment {
public:
    explicit Environment(CDlgSupport& page) : page_(page) {}

    void notify(UpdateMessage message) override { Show(message, 0); }
    bool ask(UpdateMessage message) override { return Show(message, 1) == 1; }
    void openAddress(const std::u16string& address) override {
        ShellExecuteW(nullptr, L"open", Wide(address).c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    }
    void startFlasher() override {
        HandMouseToFlasher(page_.host_.programFolder(), page_.host_.mainWindow(), page_.hwnd(),
                           page_.host_.chinese());
    }
    bool readMouseFirmware(std::uint32_t& version) override {
        // A connection of its own for the check; closing it releases the HID library once.
        HidBridgeTransport transport;
        HidChannel channel(transport);
        if (!channel.open()) {
            return false;
        }
        SystemClock clock;
        DeviceCommands commands(channel, clock, [] { return 0; });
        const bool read = commands.query(kOpQueryFirmware, version);
        channel.close();
        return read;
    }

private:
    int Show(UpdateMessage message, int questionForm) {
        const std::wstring text = Wide(UpdateMessageText(message, page_.host_.chinese()));
        // Also to the debugger output, where the outcome of a check can be followed.
        OutputDebugStringW((L"support page: " + text + L"\n").c_str());
        return ui::ShowInfoBox(text, questionForm, page_.hwnd());
    }

    CDlgSupport& page_;
};

CDlgSupport::CDlgSupport(WinPageHost& host, ProfileFiles& files, bool chineseLayout)
    : CPageBase(host),
      files_(files),
      chineseLayout_(chineseLayout),
      updateXml_(UpdateXmlAddress(UpdateServer())),
      environment_(std::make_unique<Environment>(*this)) {}

CDlgSupport::~CDlgSupport() {
    Destroy();
}

void CDlgSupport::SetFirmwareText(std::wstring text) {
    firmwareText_ = std::move(text);
    if (hwnd_ != nullptr) {
        const RECT r{kFirmwareVersionBox.x, kFirmwareVersionBox.y,
                     kFirmwareVersionBox.x + kFirmwareVersionBox.width,
                     kFirmwareVersionBox.y + kFirmwareVersionBox.height};
        InvalidateRect(hwnd_, &r, FALSE);
    }
}

bool CDlgSupport::OnInitDialog() {
    LoadSheets();
    const HBITMAP n = sheets_[kNormal].get(), o = sheets_[kOver].get(), d = sheets_[kDown].get();
    for (const SupportButtonPlace& place : kSupportButtons) {
        ui::CGDIBitmapBtn& b = buttons_[static_cast<std::size_t>(place.button)];
        const RECT rect = ToRect(place.rect);
        b.Create(hwnd_, rect);
        b.SetSheetImages(n, o, d, n, rect);
    }
    // The buttons have cut their looks out of the sheets; painting needs the normal one only.
    sheets_[kOver].Reset();
    sheets_[kDown].Reset();
    return true;
}

void CDlgSupport::LoadSheets() {
    LoadLayoutSheets(kSheetFiles, chineseLayout_, sheets_);
}

void CDlgSupport::Paint() {
    ui::PaintDc dc(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    DrawSheet(dc.get(), sheets_[kNormal].get(), POINT{0, 0}, client);

    Gdiplus::Graphics g(dc.get());
    Gdiplus::FontFamily named(kVersionFont);
    const Gdiplus::FontFamily* family =
        named.IsAvailable() ? &named : Gdiplus::FontFamily::GenericSansSerif();
    Gdiplus::Font font(family, kVersionFontSize);
    Gdiplus::SolidBrush brush{Gdiplus::Color(kVersionColour)};
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    auto draw = [&](std::u16string_view text, const skin::Box& box) {
        const std::wstring wide = Wide(text);
        g.DrawString(
            wide.c_str(), static_cast<INT>(wide.size()), &font,
            Gdiplus::RectF(static_cast<Gdiplus::REAL>(box.x), static_cast<Gdiplus::REAL>(box.y),
                           static_cast<Gdiplus::REAL>(box.width),
                           static_cast<Gdiplus::REAL>(box.height)),
            &format, &brush);
    };
    draw(kSoftwareVersionText, kSoftwareVersionBox);
    const std::u16string firmware(firmwareText_.begin(), firmwareText_.end());
    draw(FirmwareVersionText(firmware), kFirmwareVersionBox);
}

UpdateChecker& CDlgSupport::Checker() {
    downloader_.setOwner(hwnd_);
    if (!checker_) {
        const std::wstring& folder = host_.programFolder();
        checker_ = std::make_unique<UpdateChecker>(
            *environment_, downloader_, lang::TheXmlReader(),
            PathFromUtf16(std::u16string(folder.begin(), folder.end())), updateXml_);
    }
    return *checker_;
}

bool CDlgSupport::CheckSoftwareUpdate() {
    return Checker().checkSoftware();
}

bool CDlgSupport::CheckFirmwareUpdate() {
    return Checker().checkFirmware();
}

void CDlgSupport::OpenWebSite() {
    ShellExecuteW(nullptr, L"open", Wide(kMakerWebSite).c_str(), nullptr, nullptr,
                  SW_SHOWMAXIMIZED);
}

void CDlgSupport::RestoreDefaults() {
    if (ui::ShowInfoBox(Wide(RestoreQuestion(host_.chinese())), 1, hwnd_) != 1) {
        return;
    }
    if (const HWND main = host_.mainWindow()) {
        PostMessageW(main, kMsgRestoreDefaults, 0, 0);
    }
}

void CDlgSupport::ImportProfile() {
    std::wstring path;
    if (!AskForProfileFile(false, path)) {
        return;
    }
    // A file without the profile magic, or with settings out of range, is reported by the
    // profile files and changes nothing. The pages show the imported record when next
    // refreshed; Apply sends and saves it.
    files_.importProfile(std::filesystem::path(path));
}

void CDlgSupport::ExportProfile() {
    std::wstring path;
    if (!AskForProfileFile(true, path)) {
        return;
    }
    // The export is written completely or not at all: a failed write leaves no partial file.
    FileError error = FileError::None;
    if (!files_.exportProfile(std::filesystem::path(path), &error)) {
        MessageBoxW(hwnd_, FileErrorText(error).c_str(), L"Info", MB_OK);
    }
}

void CDlgSupport::OnButton(HWND button) {
    auto is = [&](SupportButton b) {
        return buttons_[static_cast<std::size_t>(b)].hwnd() == button;
    };
    if (is(SupportButton::SoftwareUpdate)) {
        CheckSoftwareUpdate();
    } else if (is(SupportButton::FirmwareUpdate)) {
        CheckFirmwareUpdate();
    } else if (is(SupportButton::WebSite)) {
        OpenWebSite();
    } else if (is(SupportButton::RestoreDefaults)) {
        RestoreDefaults();
    } else if (is(SupportButton::Import)) {
        ImportProfile();
    } else if (is(SupportButton::Export)) {
        ExportProfile();
    }
}

bool CDlgSupport::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_COMMAND:
            if (lp != 0) {
                OnButton(reinterpret_cast<HWND>(lp));
            }
            return true;
        case WM_MOUSEMOVE:
            if (const int hint =
                    SupportHintAt(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)))) {
                PostHint(hint);
            }
            return false;
        default:
            return false;
    }
}

}  // namespace q350::pages
