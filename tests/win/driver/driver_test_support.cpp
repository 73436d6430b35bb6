#include "tests/win/driver/driver_test_support.h"

#include <cstring>
#include <string>

namespace q350::testing {

namespace {
constexpr wchar_t kSinkClass[] = L"Q350DriverEventSink";
}  // namespace

EventSink::EventSink() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &EventSink::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kSinkClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    hwnd_ = CreateWindowExW(0, kSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                            nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

EventSink::~EventSink() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK EventSink::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kMsgDriverEvent) {
        if (auto* self = reinterpret_cast<EventSink*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
            self->words.push_back(static_cast<std::uint32_t>(wp));
            self->lparams.push_back(lp);
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

std::function<void(std::uint32_t)> EventSink::poster() const {
    const HWND target = hwnd_;
    return [target](std::uint32_t word) { PostMessageW(target, kMsgDriverEvent, word, 0); };
}

const std::vector<std::uint32_t>& EventSink::waitFor(std::size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (words.size() < count && GetTickCount() - start < timeoutMs) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        if (words.size() < count) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return words;
}

void DriverScript::signal(const std::vector<std::uint32_t>& words) {
    HANDLE target = nullptr;
    {
        std::lock_guard<std::mutex> hold(lock);
        pending.insert(pending.end(), words.begin(), words.end());
        target = reinterpret_cast<HANDLE>(
            static_cast<std::intptr_t>(static_cast<std::int32_t>(this->semaphore)));
    }
    ReleaseSemaphore(target, static_cast<LONG>(words.size()), nullptr);
}

ScriptedDriver::~ScriptedDriver() {
    std::lock_guard<std::mutex> hold(script_->lock);
    script_->closed = true;
}

bool ScriptedDriver::control(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                             std::uint32_t outSize) {
    if (code == kCtlReadEvent && script_->readGate != nullptr) {
        WaitForSingleObject(script_->readGate, 5000);
    }
    std::lock_guard<std::mutex> hold(script_->lock);
    if (code == kCtlDriverCommand) {
        const ReceivedCommand got = ReadCommandBlock(in, inSize);
        if (!got.valid) {
            return false;
        }
        script_->commands.push_back(got.command);
        if (got.command == kDriverRegister) {
            if (script_->refuseRegister) {
                return false;
            }
            script_->semaphore = got.semaphore;
        }
        return true;
    }
    if (code != kCtlReadEvent || inSize != sizeof(DriverEventBuffer) ||
        outSize != sizeof(DriverEventBuffer) || in != out) {
        return false;
    }
    ++script_->reads;
    DriverEventBuffer buffer;
    std::memcpy(&buffer, in, sizeof(buffer));
    if (buffer.tag != kDriverTag || script_->pending.empty()) {
        return false;
    }
    const std::uint32_t word = script_->pending.front();
    script_->pending.pop_front();
    if (script_->failReads > 0) {
        --script_->failReads;
        return false;  // the event is lost, as with a failed read of the real driver
    }
    buffer.event = word;
    std::memcpy(out, &buffer, sizeof(buffer));
    return true;
}

DriverOpener ScriptedOpener(const std::shared_ptr<DriverScript>& script) {
    return [script]() -> std::unique_ptr<DriverDevice> {
        {
            std::lock_guard<std::mutex> hold(script->lock);
            ++script->opens;
            script->closed = false;
        }
        return std::make_unique<ScriptedDriver>(script);
    };
}

TempMouse::TempMouse(const VirtualMouseState& state) {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("q350_driver_" + std::to_string(GetCurrentProcessId()) + "_" +
             std::to_string(++counter) + ".state");
    SaveMouseState(path_, state);
}

TempMouse::~TempMouse() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

bool TempMouse::queue(std::uint32_t word) {
    WallClock clock;
    return UpdateMouseState(path_, clock,
                            [word](VirtualMouse& mouse) { return mouse.pushEvent(word); });
}

std::vector<std::uint32_t> TempMouse::queued() const {
    VirtualMouseState state;
    if (!ReadMouseState(path_, state)) {
        return {};
    }
    return state.events;
}

}  // namespace q350::testing
