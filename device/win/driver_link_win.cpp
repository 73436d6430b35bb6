#include "device/win/driver_link_win.h"

#include <atomic>
#include <cstddef>
#include <cstring>
#include <deque>
#include <utility>
#include <string>
#include <vector>

#include "base/win/kernel_handle.h"
#include "device/driver_channel.h"
#include "device/mouse_state_file.h"
#include "device/win/hid_bridge_api.h"

namespace q350 {

namespace {

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CRITICAL_SECTION& cs) : cs_(cs) { EnterCriticalSection(&cs_); }
    ~CriticalSectionLock() { LeaveCriticalSection(&cs_); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& cs_;
};

// Handle values travel as 32 bits; widening sign-extends them, as Windows does for handles shared
// with 32-bit code.
std::uint32_t HandleToField(HANDLE h) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h));
}
HANDLE HandleFromField(std::uint32_t value) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

// ---- the kernel driver
// ---------------------------------------------------------------------------

class KernelDriver final : public DriverDevice {
public:
    explicit KernelDriver(win::KernelHandle device) : device_(std::move(device)) {}

    bool control(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override {
        DWORD returned = 0;
        return DeviceIoControl(device_.get(), code, const_cast<void*>(in), inSize, out, outSize,
                               &returned, nullptr) != FALSE;
    }

private:
    win::KernelHandle device_;
};

// ---- the simulated driver
// ------------------------------------------------------------------------

class SimulatedDriver final : public DriverDevice {
public:
    SimulatedDriver(std::filesystem::path statePath, std::uint32_t pollMs)
        : statePath_(std::move(statePath)), pollMs_(pollMs) {
        InitializeCriticalSection(&lock_);
    }
    ~SimulatedDriver() override {
        stopPolling();
        DeleteCriticalSection(&lock_);
    }
    SimulatedDriver(const SimulatedDriver&) = delete;
    SimulatedDriver& operator=(const SimulatedDriver&) = delete;

    bool control(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override {
        if (code == kCtlDriverCommand) {
            return command(ReadCommandBlock(in, inSize));
        }
        if (code == kCtlReadEvent) {
            return readEvent(in, inSize, out, outSize);
        }
        return false;
    }

private:
    bool command(const ReceivedCommand& received) {
        if (!received.valid) {
            return false;
        }
        switch (received.command) {
            case kDriverRegister:
                return startPolling(HandleFromField(received.semaphore));
            case kDriverUnregister:
                stopPolling();
                return true;
            case kDriverSetting4:
            case kDriverSetting32:
                return true;
            default:
                return false;
        }
    }

    bool readEvent(const void* in, std::uint32_t inSize, void* out, std::uint32_t outSize) {
        if (in == nullptr || out == nullptr || inSize < sizeof(DriverEventBuffer) ||
            outSize < sizeof(DriverEventBuffer)) {
            return false;
        }
        DriverEventBuffer buffer;
        std::memcpy(&buffer, in, sizeof(buffer));
        if (buffer.tag != kDriverTag) {
            return false;
        }
        {
            CriticalSectionLock hold(lock_);
            if (queue_.empty()) {
                return false;
            }
            buffer.event = queue_.front();
            queue_.pop_front();
        }
        std::memcpy(out, &buffer, sizeof(buffer));
        return true;
    }

    bool startPolling(HANDLE semaphore) {
        stopPolling();
        HANDLE own = nullptr;
        if (!DuplicateHandle(GetCurrentProcess(), semaphore, GetCurrentProcess(), &own, 0, FALSE,
                             DUPLICATE_SAME_ACCESS)) {
            return false;
        }
        semaphore_.reset(own);
        stopEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (stopEvent_.valid()) {
            poller_.reset(CreateThread(nullptr, 0, &SimulatedDriver::Poll, this, 0, nullptr));
        }
        if (!poller_.valid()) {
            stopPolling();
            return false;
        }
        return true;
    }

    void stopPolling() {
        if (poller_.valid()) {
            SetEvent(stopEvent_.get());
            WaitForSingleObject(poller_.get(), INFINITE);
            poller_.reset();
        }
        stopEvent_.reset();
        semaphore_.reset();
    }

    static DWORD WINAPI Poll(void* param) {
        auto* self = static_cast<SimulatedDriver*>(param);
        while (WaitForSingleObject(self->stopEvent_.get(), self->pollMs_) == WAIT_TIMEOUT) {
            self->takeQueuedEvents();
        }
        return 0;
    }

    // How many events the state file holds. Only the header field is read, but under the lock:
    // on Windows an open handle, even one that shares deletion, makes a writer's replace of the
    // file fail.
    std::uint32_t queuedInFile() const {
        const MouseStateLock lock(statePath_);
        if (!lock.held()) {
            return 0;
        }
        const win::KernelHandle file(
            CreateFileW(statePath_.c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::uint32_t count = 0;
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offsetof(MouseStateHeader, eventCount));
        DWORD read = 0;
        if (!file.valid() || !ReadFile(file.get(), &count, sizeof(count), &read, &at) ||
            read != sizeof(count)) {
            return 0;
        }
        return count;
    }

    void takeQueuedEvents() {
        if (queuedInFile() == 0) {
            return;
        }
        std::size_t room = 0;
        {
            CriticalSectionLock hold(lock_);
            const auto maximum = static_cast<std::size_t>(kEventSemaphoreMaximum);
            room = queue_.size() < maximum ? maximum - queue_.size() : 0;
        }
        std::vector<std::uint32_t> taken;
        UpdateMouseState(statePath_, clock_, [&](VirtualMouse& mouse) {
            while (taken.size() < room) {
                const auto word = mouse.popEvent();
                if (!word) {
                    break;
                }
                taken.push_back(*word);
            }
            return !taken.empty();
        });
        if (taken.empty()) {
            return;
        }
        {
            CriticalSectionLock hold(lock_);
            queue_.insert(queue_.end(), taken.begin(), taken.end());
        }
        // Queued before the release: a woken reader always finds its event.
        ReleaseSemaphore(semaphore_.get(), static_cast<LONG>(taken.size()), nullptr);
    }

    std::filesystem::path statePath_;
    std::uint32_t pollMs_;
    WallClock clock_;
    CRITICAL_SECTION lock_;  // guards queue_
    std::deque<std::uint32_t> queue_;
    win::KernelHandle semaphore_;  // this driver's duplicate of the registered semaphore
    win::KernelHandle stopEvent_;
    win::KernelHandle poller_;
};

std::wstring StatePathFromEnvironment() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(kVirtualMouseVariable, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return {};
    }
    return std::wstring(buffer, n);
}

}  // namespace

std::unique_ptr<DriverDevice> OpenKernelDriver() {
    win::KernelHandle device(CreateFileW(reinterpret_cast<const wchar_t*>(kDriverDevicePath),
                                         GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    if (!device.valid()) {
        return nullptr;
    }
    return std::make_unique<KernelDriver>(std::move(device));
}

std::unique_ptr<DriverDevice> OpenSimulatedDriver(std::filesystem::path statePath,
                                                  std::uint32_t pollMs) {
    return std::make_unique<SimulatedDriver>(std::move(statePath), pollMs);
}

DriverOpener DefaultDriverOpener() {
    const std::wstring state = StatePathFromEnvironment();
    if (!state.empty()) {
        return [state] { return OpenSimulatedDriver(std::filesystem::path(state)); };
    }
    return [] { return OpenKernelDriver(); };
}

// ---- the link
// ------------------------------------------------------------------------------------

// What the worker shares with the link. The worker holds its own reference, so the semaphore and
// the device stay valid until it has ended, even after shutdown has let go of them.
struct DriverLink::Shared {
    Shared() { InitializeCriticalSection(&lock); }
    ~Shared() {
        device.reset();
        DeleteCriticalSection(&lock);
    }
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    CRITICAL_SECTION lock;  // guards the device pointer, never held during a read
    std::shared_ptr<DriverDevice> device;
    win::KernelHandle semaphore;
    std::atomic<bool> stop{false};
    std::function<void(std::uint32_t)> deliver;  // set before the worker starts
};

DriverLink::DriverLink(DriverOpener opener)
    : opener_(std::move(opener)), shared_(std::make_shared<Shared>()) {}

DriverLink::~DriverLink() {
    shutdown();
}

bool DriverLink::startWorker(std::function<void(std::uint32_t)> deliver) {
    if (shutDown_ || thread_.valid()) {
        return thread_.valid();
    }
    Shared& s = *shared_;
    if (!s.semaphore.valid()) {
        s.semaphore.reset(
            CreateSemaphoreW(nullptr, kEventSemaphoreInitial, kEventSemaphoreMaximum, nullptr));
        if (!s.semaphore.valid()) {
            return false;
        }
    }
    s.deliver = std::move(deliver);
    auto* param = new std::shared_ptr<Shared>(shared_);
    thread_.reset(
        CreateThread(nullptr, kEventWorkerStackBytes, &DriverLink::Worker, param, 0, nullptr));
    if (!thread_.valid()) {
        delete param;
        return false;
    }
    return true;
}

DWORD WINAPI DriverLink::Worker(void* param) {
    std::shared_ptr<Shared> shared = std::move(*static_cast<std::shared_ptr<Shared>*>(param));
    delete static_cast<std::shared_ptr<Shared>*>(param);
    Shared& s = *shared;
    while (!s.stop.load()) {
        if (WaitForSingleObject(s.semaphore.get(), INFINITE) != WAIT_OBJECT_0 || s.stop.load()) {
            break;
        }
        DriverEventBuffer buffer = MakeEventReadBuffer();
        // The read may wait in the driver: it runs on a reference of its own, so the window's
        // thread can register or unregister meanwhile without waiting for it.
        std::shared_ptr<DriverDevice> device;
        {
            CriticalSectionLock hold(s.lock);
            device = s.device;
        }
        const bool read = device && device->control(kCtlReadEvent, &buffer, sizeof(buffer),
                                                    &buffer, sizeof(buffer));
        // A failed read is skipped; the next release brings the next event.
        if (read && !s.stop.load() && s.deliver) {
            s.deliver(buffer.event);
        }
    }
    return 0;
}

bool DriverLink::registerDriver() {
    Shared& s = *shared_;
    if (shutDown_ || !s.semaphore.valid()) {
        return false;
    }
    CriticalSectionLock hold(s.lock);
    if (s.device) {
        return true;
    }
    std::unique_ptr<DriverDevice> device = opener_ ? opener_() : nullptr;
    if (!device) {
        return false;
    }
    const DriverCommandBlock block = MakeRegisterBlock(HandleToField(s.semaphore.get()));
    if (!device->control(kCtlDriverCommand, &block, sizeof(block), nullptr, 0)) {
        return false;  // the device closes as it goes
    }
    s.device = std::move(device);
    return true;
}

bool DriverLink::sendCommand(const void* block) {
    Shared& s = *shared_;
    CriticalSectionLock hold(s.lock);
    return s.device &&
           s.device->control(kCtlDriverCommand, block, sizeof(DriverCommandBlock), nullptr, 0);
}

bool DriverLink::sendSetting32() {
    const DriverCommandBlock block = MakeSetting32Block();
    return sendCommand(&block);
}

bool DriverLink::sendSetting4() {
    const DriverCommandBlock block = MakeSetting4Block();
    return sendCommand(&block);
}

bool DriverLink::registered() const {
    Shared& s = *shared_;
    CriticalSectionLock hold(s.lock);
    return s.device != nullptr;
}

void DriverLink::unregisterDriver() {
    Shared& s = *shared_;
    CriticalSectionLock hold(s.lock);
    if (s.device) {
        const DriverCommandBlock block = MakeUnregisterBlock();
        s.device->control(kCtlDriverCommand, &block, sizeof(block), nullptr, 0);
        s.device.reset();
    }
}

void DriverLink::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    unregisterDriver();
    shared_->stop.store(true);
    if (shared_->semaphore.valid()) {
        ReleaseSemaphore(shared_->semaphore.get(), 1, nullptr);
    }
    thread_.reset();
    // The semaphore closes with the last holder of the shared state: this link or the worker,
    // whichever goes last.
}

}  // namespace q350
