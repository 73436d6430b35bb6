#include <windows.h>

#include "base/file_io.h"

namespace q350 {

namespace {

// A file that another program (a virus scanner, an indexer, a reader without delete sharing)
// holds open for a moment refuses the replace; such holds end quickly, so the replace is tried
// again for a short while before it counts as refused.
constexpr int kReplaceAttempts = 50;
constexpr DWORD kReplaceRetryMs = 10;

bool IsTransientRefusal(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
           error == ERROR_LOCK_VIOLATION;
}

}  // namespace

bool ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target) {
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(source.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
            return true;
        }
        const DWORD error = GetLastError();
        if (attempt >= kReplaceAttempts || !IsTransientRefusal(error)) {
            SetLastError(error);
            return false;
        }
        Sleep(kReplaceRetryMs);
    }
}

}  // namespace q350
