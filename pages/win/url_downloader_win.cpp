#include "pages/win/url_downloader_win.h"

#include <wininet.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/win/kernel_handle.h"
#include "base/win/module.h"
#include "pages/transfer_watch.h"
#include "skin/win/info_dlg.h"
#include "skin/win/progress_dlg.h"
#include "skin/win/skin_ids.h"

namespace q350::pages {

namespace {

// No answer of the update server is anywhere near this; a server sending more is refused.
constexpr std::uint64_t kMaxDownloadBytes = std::uint64_t{256} << 20;
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchTimerMs = 200;
constexpr int kCancelId = 1001;
constexpr RECT kCancelRect{230, 58, 295, 78};

// WinINet, loaded at the first download.
struct Internet {
    decltype(&InternetOpenW) open = nullptr;
    decltype(&InternetSetOptionW) setOption = nullptr;
    decltype(&InternetOpenUrlW) openUrl = nullptr;
    decltype(&HttpQueryInfoW) query = nullptr;
    decltype(&InternetQueryDataAvailable) available = nullptr;
    decltype(&InternetReadFile) read = nullptr;
    decltype(&InternetCloseHandle) close = nullptr;
    bool ready() const { return open && setOption && openUrl && query && available && read && close; }
};

const Internet& TheInternet() {
    static const Internet api = [] {
        Internet a;
        constexpr const wchar_t* dll = L"wininet.dll";
        a.open = win::SystemProc<decltype(&InternetOpenW)>(dll, "InternetOpenW");
        a.setOption = win::SystemProc<decltype(&InternetSetOptionW)>(dll, "InternetSetOptionW");
        a.openUrl = win::SystemProc<decltype(&InternetOpenUrlW)>(dll, "InternetOpenUrlW");
        a.query = win::SystemProc<decltype(&HttpQueryInfoW)>(dll, "HttpQueryInfoW");
        a.available = win::SystemProc<decltype(&InternetQueryDataAvailable)>(
            dll, "InternetQueryDataAvailable");
        a.read = win::SystemProc<decltype(&InternetReadFile)>(dll, "InternetReadFile");
        a.close = win::SystemProc<decltype(&InternetCloseHandle)>(dll, "InternetCloseHandle");
        return a;
    }();
    return api;
}

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h) : h_(h) {}
    ~InternetHandle() {
        if (h_) {
            TheInternet().close(h_);
        }
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return h_; }

private:
    HINTERNET h_;
};

// What the worker and the UI thread share.
struct Transfer {
    std::mutex lock;
    std::uint64_t bytes = 0;
    std::uint64_t total = 0;
    bool ended = false;
    bool complete = false;
    bool abandoned = false;  // the UI thread gave up: the worker stops and cleans up
    std::filesystem::path part;
};

void RemoveQuietly(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
}

bool Abandoned(Transfer& t) {
    std::lock_guard<std::mutex> hold(t.lock);
    return t.abandoned;
}

bool Fetch(Transfer& t, const std::wstring& url) {
    const Internet& api = TheInternet();
    if (!api.ready()) {
        return false;
    }
    InternetHandle session(
        api.open(L"Q350Config", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session.get()) {
        return false;
    }
    DWORD timeout = kTransferStallMs;
    for (DWORD option : {DWORD{INTERNET_OPTION_CONNECT_TIMEOUT}, DWORD{INTERNET_OPTION_SEND_TIMEOUT},
                         DWORD{INTERNET_OPTION_RECEIVE_TIMEOUT}}) {
        api.setOption(session.get(), option, &timeout, sizeof(timeout));
    }
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                        INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
    InternetHandle request(api.openUrl(session.get(), url.c_str(), nullptr, 0, flags, 0));
    if (!request.get()) {
        return false;
    }
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!api.query(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                   nullptr) ||
        status != 200) {
        return false;  // errors, and redirections too: only the address asked for is followed
    }
    DWORD length = 0;
    size = sizeof(length);
    if (api.query(request.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length,
                  &size, nullptr)) {
        std::lock_guard<std::mutex> hold(t.lock);
        t.total = length;
    }
    win::KernelHandle file(CreateFileW(t.part.wstring().c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    std::vector<char> buffer(64 * 1024);
    std::uint64_t bytes = 0;
    for (;;) {
        if (Abandoned(t)) {
            return false;
        }
        // Only what has arrived is read, so that a slow server's every byte is seen (and a
        // transfer given up stops) at once; a full buffer would wait for the whole of it.
        DWORD ready = 0;
        if (!api.available(request.get(), &ready, 0, 0)) {
            return false;
        }
        if (Abandoned(t)) {
            return false;
        }
        const DWORD want =
            ready == 0 ? 1 : std::min<DWORD>(ready, static_cast<DWORD>(buffer.size()));
        DWORD got = 0;
        if (!api.read(request.get(), buffer.data(), want, &got)) {
            return false;
        }
        if (got == 0) {
            break;
        }
        DWORD written = 0;
        bytes += got;
        if (bytes > kMaxDownloadBytes ||
            !WriteFile(file.get(), buffer.data(), got, &written, nullptr) || written != got) {
            return false;
        }
        std::lock_guard<std::mutex> hold(t.lock);
        t.bytes = bytes;
    }
    // An announced length that did not arrive is a broken transfer.
    std::lock_guard<std::mutex> hold(t.lock);
    return t.total == 0 || bytes == t.total;
}

void Work(std::shared_ptr<Transfer> t, std::wstring url) {
    const bool complete = Fetch(*t, url);
    std::lock_guard<std::mutex> hold(t->lock);
    t->ended = true;
    t->complete = complete;
    if (t->abandoned || !complete) {
        RemoveQuietly(t->part);
    }
}

// The skinned progress dialog with a Cancel button, watching the transfer.
class CDownloadDlg final : public ui::CProgressDlg {
public:
    explicit CDownloadDlg(std::shared_ptr<Transfer> transfer)
        : transfer_(std::move(transfer)), watch_(GetTickCount64()) {}
    TransferState state() const { return state_; }

protected:
    bool OnInitDialog() override {
        const bool focus = CProgressDlg::OnInitDialog();
        const wchar_t* text = ui::SkinChinese() ? L"\x53D6\x6D88" : L"Cancel";
        cancel_ = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                  kCancelRect.left, kCancelRect.top,
                                  kCancelRect.right - kCancelRect.left,
                                  kCancelRect.bottom - kCancelRect.top, hwnd_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCancelId)),
                                  GetModuleHandleW(nullptr), nullptr);
        SendMessageW(cancel_, WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
        SetTimer(hwnd_, kWatchTimer, kWatchTimerMs, nullptr);
        return focus;
    }

    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg == WM_TIMER && wp == kWatchTimer) {
            Watch();
            return true;
        }
        if (msg == WM_COMMAND && LOWORD(wp) == kCancelId) {
            watch_.cancel();
            Watch();
            return true;
        }
        if (msg == WM_DESTROY) {
            KillTimer(hwnd_, kWatchTimer);
        }
        return CProgressDlg::OnMessage(msg, wp, lp, result);
    }

private:
    void Watch() {
        const std::uint64_t now = GetTickCount64();
        {
            std::lock_guard<std::mutex> hold(transfer_->lock);
            watch_.received(now, transfer_->bytes, transfer_->total);
            if (transfer_->ended) {
                watch_.finished(transfer_->complete);
            }
        }
        state_ = watch_.check(now);
        const int percent = watch_.percent();
        if (percent != lastPosition()) {
            SendMessageW(hwnd_, ui::kMsgProgress, static_cast<WPARAM>(percent), 0);
        }
        if (state_ != TransferState::Running) {
            KillTimer(hwnd_, kWatchTimer);
            End(state_ == TransferState::Done ? IDOK : IDCANCEL);
        }
    }

    std::shared_ptr<Transfer> transfer_;
    TransferWatch watch_;
    TransferState state_ = TransferState::Running;
    HWND cancel_ = nullptr;
};

}  // namespace

bool WinUrlDownloader::download(const std::u16string& address,
                                const std::filesystem::path& target) {
    auto transfer = std::make_shared<Transfer>();
    transfer->part = target;
    transfer->part += L".part" + std::to_wstring(GetTickCount64());
    std::wstring url(address.begin(), address.end());
    try {
        std::thread(Work, transfer, std::move(url)).detach();
    } catch (const std::system_error&) {
        return false;
    }
    CDownloadDlg dialog(transfer);
    const INT_PTR ended = dialog.DoModal(owner_);
    const TransferState state = dialog.state();
    OutputDebugStringW((L"download: " + std::to_wstring(static_cast<int>(state)) + L" " +
                        std::wstring(address.begin(), address.end()) + L"\n")
                           .c_str());

    std::lock_guard<std::mutex> hold(transfer->lock);
    if (ended == IDOK && state == TransferState::Done && transfer->complete) {
        std::error_code ec;
        std::filesystem::rename(transfer->part, target, ec);
        if (!ec) {
            return true;
        }
        RemoveQuietly(transfer->part);
        return false;
    }
    // Given up (or the dialog could not run): the worker, still running or not, leaves nothing.
    transfer->abandoned = true;
    if (transfer->ended) {
        RemoveQuietly(transfer->part);
    }
    return false;
}

}  // namespace q350::pages
