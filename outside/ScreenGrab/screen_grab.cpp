// ScreenGrab.exe: takes a screenshot when a mouse button assigned to it is pressed.
//   ScreenGrab.exe -t desktop|window|region [-p] [-r X,Y,W,H]
// desktop: the whole virtual screen; window: the active window; region: a rectangle the user
// drags on a frozen picture of the screen (Escape or the right button cancels), or the one given
// with -r. The picture goes to the clipboard; with -p it is also saved as a PNG file in the
// user's Pictures folder, below "Q350 Screenshots" (Q350_SCREENSHOT_DIR names another folder).
// Exit status: 0 taken, 1 cancelled or failed, 2 bad command line.
#include <windows.h>
#include "skin/win/framework/gdiplus_include.h"
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <string>

#include "outside/tool_log.h"

namespace {

enum class Target { Desktop, Window, Region };

struct Options {
    Target target = Target::Desktop;
    bool save = false;
    bool haveRect = false;
    RECT rect{};
};

bool ParseRect(const wchar_t* text, RECT& r) {
    int x = 0, y = 0, w = 0, h = 0;
    if (std::swscanf(text, L"%d,%d,%d,%d", &x, &y, &w, &h) != 4 || w <= 0 || h <= 0) {
        return false;
    }
    r = {x, y, x + w, y + h};
    return true;
}

bool ParseArgs(Options& o) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) {
        return false;
    }
    bool ok = true;
    for (int i = 1; i < argc && ok; ++i) {
        const std::wstring a = argv[i];
        if (a == L"-t" && i + 1 < argc) {
            const std::wstring t = argv[++i];
            if (t == L"desktop") {
                o.target = Target::Desktop;
            } else if (t == L"window") {
                o.target = Target::Window;
            } else if (t == L"region") {
                o.target = Target::Region;
            } else {
                ok = false;
            }
        } else if (a == L"-p") {
            o.save = true;
        } else if (a == L"-r" && i + 1 < argc) {
            ok = ParseRect(argv[++i], o.rect);
            o.haveRect = ok;
        } else {
            ok = false;
        }
    }
    LocalFree(argv);
    return ok;
}

RECT VirtualScreen() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// A copy of part of the screen as a device-dependent bitmap (owned by the caller).
HBITMAP CaptureScreen(const RECT& r) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0) {
        return nullptr;
    }
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bmp;
}

// ---- region selection on a frozen picture of the screen ----

struct Selection {
    HBITMAP frozen = nullptr;
    RECT screen{};
    POINT start{};
    POINT current{};
    bool dragging = false;
    bool done = false;
    bool cancelled = false;
};

RECT Normalised(POINT a, POINT b) {
    return {a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.x < b.x ? b.x : a.x,
            a.y < b.y ? b.y : a.y};
}

LRESULT CALLBACK SelectionProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* sel = reinterpret_cast<Selection*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
            break;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, sel->frozen);
            BitBlt(dc, 0, 0, sel->screen.right - sel->screen.left,
                   sel->screen.bottom - sel->screen.top, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
            if (sel->dragging) {
                RECT r = Normalised(sel->start, sel->current);
                DrawFocusRect(dc, &r);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            sel->start = sel->current = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            sel->dragging = true;
            SetCapture(hwnd);
            return 0;
        case WM_MOUSEMOVE:
            if (sel->dragging) {
                sel->current = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONUP:
            if (sel->dragging) {
                sel->current = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
                sel->dragging = false;
                ReleaseCapture();
                sel->done = true;
                DestroyWindow(hwnd);
            }
            return 0;
        case WM_RBUTTONDOWN:
            sel->cancelled = true;
            DestroyWindow(hwnd);
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_ESCAPE) {
                sel->cancelled = true;
                DestroyWindow(hwnd);
            }
            return 0;
        case WM_DESTROY:
            if (!sel->done) {
                sel->cancelled = true;
            }
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

bool SelectRegion(HBITMAP frozen, const RECT& screen, RECT& out) {
    Selection sel;
    sel.frozen = frozen;
    sel.screen = screen;
    WNDCLASSW wc{};
    wc.lpfnWndProc = SelectionProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32515));  // cross
    wc.lpszClassName = L"Q350ScreenGrabSelection";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName,
                                L"ScreenGrab", WS_POPUP | WS_VISIBLE, screen.left, screen.top,
                                screen.right - screen.left, screen.bottom - screen.top, nullptr,
                                nullptr, wc.hInstance, &sel);
    if (!hwnd) {
        return false;
    }
    SetForegroundWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (sel.cancelled || !sel.done) {
        return false;
    }
    RECT r = Normalised(sel.start, sel.current);
    if (r.right - r.left < 2 || r.bottom - r.top < 2) {
        return false;
    }
    OffsetRect(&r, screen.left, screen.top);
    out = r;
    return true;
}

// ---- output ----

void CopyToClipboard(HBITMAP bmp) {
    if (!OpenClipboard(nullptr)) {
        return;
    }
    EmptyClipboard();
    // The clipboard takes ownership of the copy.
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(bmp, IMAGE_BITMAP, 0, 0, LR_COPYRETURNORG));
    if (copy && !SetClipboardData(CF_BITMAP, copy)) {
        DeleteObject(copy);
    }
    CloseClipboard();
}

std::wstring OutputFolder() {
    wchar_t env[MAX_PATH] = {};
    const DWORD len = GetEnvironmentVariableW(L"Q350_SCREENSHOT_DIR", env, MAX_PATH);
    if (len > 0 && len < MAX_PATH) {
        return env;
    }
    PWSTR pictures = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &pictures))) {
        folder = std::wstring(pictures) + L"\\Q350 Screenshots";
    }
    CoTaskMemFree(pictures);
    return folder;
}

bool SavePng(HBITMAP bmp, const std::wstring& folder) {
    if (folder.empty()) {
        return false;
    }
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t name[64];
    std::swprintf(name, 64, L"\\Screenshot %04u-%02u-%02u %02u.%02u.%02u.png", t.wYear, t.wMonth,
                  t.wDay, t.wHour, t.wMinute, t.wSecond);
    const std::wstring path = folder + name;
    // PNG encoder of GDI+.
    static const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3,
                                      {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    Gdiplus::Bitmap picture(bmp, nullptr);
    return picture.Save(path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
}

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ok_) {
            Gdiplus::GdiplusShutdown(token_);
        }
    }
    bool ok() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

int Run() {
    Options o;
    if (!ParseArgs(o)) {
        return 2;
    }
    SetProcessDPIAware();
    const RECT screen = VirtualScreen();
    RECT area = screen;
    if (o.target == Target::Window) {
        HWND active = GetForegroundWindow();
        if (!active || !GetWindowRect(active, &area)) {
            area = screen;
        }
    } else if (o.target == Target::Region) {
        if (o.haveRect) {
            area = o.rect;
        } else {
            HBITMAP frozen = CaptureScreen(screen);
            const bool chosen = frozen && SelectRegion(frozen, screen, area);
            if (frozen) {
                DeleteObject(frozen);
            }
            if (!chosen) {
                return 1;
            }
        }
    }
    // Only what lies on the screen can be taken.
    RECT onScreen;
    if (!IntersectRect(&onScreen, &area, &screen)) {
        return 1;
    }
    HBITMAP shot = CaptureScreen(onScreen);
    if (!shot) {
        return 1;
    }
    CopyToClipboard(shot);
    bool ok = true;
    if (o.save) {
        GdiplusSession gdiplus;
        ok = gdiplus.ok() && SavePng(shot, OutputFolder());
    }
    DeleteObject(shot);
    return ok ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    q350::tools::NoteStart();
    return Run();
}
