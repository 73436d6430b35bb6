#pragma once

// Owner of a kernel handle from CreateFileW (invalid as INVALID_HANDLE_VALUE) or from the calls
// that report failure with a null handle; closes it at scope end.
#include <windows.h>

#include <utility>

namespace q350::win {

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(HANDLE h) : h_(h == nullptr ? INVALID_HANDLE_VALUE : h) {}
    ~FileHandle() { reset(); }
    FileHandle(FileHandle&& other) noexcept : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            reset();
            h_ = std::exchange(other.h_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    void reset() {
        if (valid()) {
            CloseHandle(h_);
        }
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

}  // namespace q350::win
