// The simulated mouse behind a real Win32 handle. OpenSimulatedDevice hands out the client end of a
// named pipe opened for overlapped I/O, so that WriteFile and CloseHandle work on it as on a HID
// device; a thread of this library takes the reports out of the pipe and applies them to the
// mouse's state file, and GetInputReport first applies whatever is still in the pipe, so a reply
// always follows the commands written before it. The pipe holds one report: while the mouse is
// stalled nothing is taken out of it, and the next write stays pending as on a device that stopped
// answering.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "device/mouse_state_file.h"
#include "outside/HidBridge/backends.h"

namespace q350::bridge {

namespace {

constexpr DWORD kPipeBufferBytes = kReportSize;
constexpr DWORD kServeIntervalMs = 5;
// While a stalled mouse leaves a report in the pipe, the state file is looked at less often.
constexpr DWORD kStalledIntervalMs = 50;

struct Session {
    explicit Session(const std::filesystem::path& path) : transport(path, clock) {
        InitializeCriticalSection(&lock);
    }
    ~Session() {
        if (readEnd != nullptr) {
            CloseHandle(readEnd);
        }
        DeleteCriticalSection(&lock);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    WallClock clock;
    VirtualMouseFileTransport transport;
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;  // the caller's handle; identifies the session, never used here
    bool gone = false;          // caller closed the handle, or the mouse was unplugged
    bool stalled = false;       // a report waits that the mouse does not take
    CRITICAL_SECTION lock;
};

class SessionLock {
public:
    explicit SessionLock(Session& s) : s_(s) { EnterCriticalSection(&s_.lock); }
    ~SessionLock() { LeaveCriticalSection(&s_.lock); }
    SessionLock(const SessionLock&) = delete;
    SessionLock& operator=(const SessionLock&) = delete;

private:
    Session& s_;
};

SRWLOCK g_sessionsLock = SRWLOCK_INIT;
std::vector<std::shared_ptr<Session>> g_sessions;

std::shared_ptr<Session> FindSession(HANDLE writeEnd) {
    AcquireSRWLockShared(&g_sessionsLock);
    std::shared_ptr<Session> found;
    for (const auto& s : g_sessions) {
        if (s->writeEnd == writeEnd) {
            found = s;
            break;
        }
    }
    ReleaseSRWLockShared(&g_sessionsLock);
    return found;
}

void Register(const std::shared_ptr<Session>& session) {
    AcquireSRWLockExclusive(&g_sessionsLock);
    // A handle value freed by an earlier, finished session may come back: the new one wins.
    std::erase_if(g_sessions, [&](const auto& s) { return s->writeEnd == session->writeEnd; });
    g_sessions.push_back(session);
    ReleaseSRWLockExclusive(&g_sessionsLock);
}

void Unregister(const std::shared_ptr<Session>& session) {
    AcquireSRWLockExclusive(&g_sessionsLock);
    std::erase(g_sessions, session);
    ReleaseSRWLockExclusive(&g_sessionsLock);
}

// Applies every whole report waiting in the pipe. Called with the session's lock held. Marks the
// session gone when the caller has closed its end or the mouse is no longer there; closing our end
// then makes the caller's further writes fail, as with an unplugged device.
void Drain(Session& s) {
    s.stalled = false;
    while (!s.gone) {
        DWORD available = 0;
        if (!PeekNamedPipe(s.readEnd, nullptr, 0, nullptr, &available, nullptr)) {
            s.gone = true;
            break;
        }
        if (available < kReportSize) {
            break;
        }
        if (!s.transport.takesReports()) {
            s.stalled = true;
            break;
        }
        Report frame{};
        DWORD read = 0;
        if (!ReadFile(s.readEnd, frame.data(), kReportSize, &read, nullptr) ||
            read != kReportSize || !s.transport.writeReport(frame)) {
            s.gone = true;
        }
    }
    if (s.gone && s.readEnd != nullptr) {
        CloseHandle(s.readEnd);
        s.readEnd = nullptr;
    }
}

DWORD WINAPI Serve(void* param) {
    std::shared_ptr<Session> session = std::move(*static_cast<std::shared_ptr<Session>*>(param));
    delete static_cast<std::shared_ptr<Session>*>(param);
    for (;;) {
        bool stalled = false;
        {
            SessionLock hold(*session);
            Drain(*session);
            if (session->gone) {
                break;
            }
            stalled = session->stalled;
        }
        Sleep(stalled ? kStalledIntervalMs : kServeIntervalMs);
    }
    Unregister(session);
    session.reset();
    // The thread holds its own reference to this library, so the program may unload it at once.
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&Serve), &self);
    FreeLibraryAndExitThread(self, 0);
}

}  // namespace

bool SimulatedDevicePresent(const wchar_t* statePath) {
    WallClock clock;
    VirtualMouseFileTransport transport(std::filesystem::path(statePath), clock);
    return transport.open();
}

namespace {

// The two ends of a new pipe: ours to read, the caller's to write with overlapped I/O.
bool CreateReportPipe(HANDLE& readEnd, HANDLE& writeEnd) {
    static LONG counter = 0;
    const std::wstring name = L"\\\\.\\pipe\\q350-simulated-mouse-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(InterlockedIncrement(&counter));
    readEnd = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
                               PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0,
                               kPipeBufferBytes, 0, nullptr);
    if (readEnd == INVALID_HANDLE_VALUE) {
        readEnd = nullptr;
        return false;
    }
    writeEnd = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
    if (writeEnd == INVALID_HANDLE_VALUE) {
        writeEnd = nullptr;
        CloseHandle(readEnd);
        readEnd = nullptr;
        return false;
    }
    return true;
}

}  // namespace

HANDLE OpenSimulatedDevice(const wchar_t* statePath) {
    auto session = std::make_shared<Session>(std::filesystem::path(statePath));
    if (!session->transport.open()) {
        return nullptr;
    }
    if (!CreateReportPipe(session->readEnd, session->writeEnd)) {
        return nullptr;
    }
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&Serve), &self)) {
        CloseHandle(session->writeEnd);
        return nullptr;
    }
    Register(session);
    auto* param = new std::shared_ptr<Session>(session);
    HANDLE thread = CreateThread(nullptr, 0, Serve, param, 0, nullptr);
    if (thread == nullptr) {
        delete param;
        Unregister(session);
        FreeLibrary(self);
        CloseHandle(session->writeEnd);
        return nullptr;
    }
    CloseHandle(thread);
    return session->writeEnd;
}

BOOL GetSimulatedInputReport(HANDLE device, BYTE* buffer, DWORD length, bool& handled) {
    std::shared_ptr<Session> session = FindSession(device);
    handled = session != nullptr;
    if (!session) {
        return FALSE;
    }
    bool timedOut = false;
    {
        SessionLock hold(*session);
        Drain(*session);
        if (session->gone) {
            return FALSE;
        }
        timedOut = session->stalled;
    }
    if (timedOut) {
        // The report before this request was not taken: no reply comes within the limit.
        Sleep(kTransferLimitMs);
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
    }
    {
        SessionLock hold(*session);
        Report frame{};
        const DWORD n = std::min<DWORD>(length, kReportSize);
        std::memcpy(frame.data(), buffer, n);
        if (session->transport.getInputReport(frame)) {
            std::memcpy(buffer, frame.data(), n);
            return TRUE;
        }
    }
    SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
}

}  // namespace q350::bridge
