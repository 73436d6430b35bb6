// The Windows half of a save: write, FlushFileBuffers and close a new file; process ids.
#include <windows.h>

#include <algorithm>

#include "base/file_io.h"
#include "base/win/kernel_handle.h"

namespace q350::file_io_platform {

namespace {

FileError FromLastError(DWORD e) {
    switch (e) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return FileError::NotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_SHARING_VIOLATION:
            return FileError::AccessDenied;
        default:
            return FileError::Other;
    }
}

constexpr DWORD kWriteChunk = 1u << 20;

}  // namespace

bool WriteNewFileDurably(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                         FileError* error) {
    win::KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        if (error) {
            *error = FromLastError(GetLastError());
        }
        return false;
    }
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < data.size()) {
        const DWORD want =
            static_cast<DWORD>(std::min<std::size_t>(data.size() - done, kWriteChunk));
        DWORD wrote = 0;
        ok = WriteFile(file.get(), data.data() + done, want, &wrote, nullptr) != 0 && wrote > 0;
        done += wrote;
    }
    ok = ok && FlushFileBuffers(file.get()) != 0;
    const DWORD failure = ok ? ERROR_SUCCESS : GetLastError();
    file.reset();
    if (!ok) {
        if (error) {
            *error = FromLastError(failure);
        }
        DeleteFileW(path.c_str());
        return false;
    }
    return true;
}

void SyncFolder(const std::filesystem::path&) {}

std::uint32_t CurrentProcessId() {
    return GetCurrentProcessId();
}

bool ProcessIsRunning(std::uint32_t id) {
    win::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process.valid()) {
        // No such process; any other refusal (another user's process) counts as running.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    return GetExitCodeProcess(process.get(), &code) == 0 || code == STILL_ACTIVE;
}

}  // namespace q350::file_io_platform
