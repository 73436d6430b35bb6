#pragma once

// Owner of one kernel handle (file, event, semaphore, thread, device) that CloseHandle closes.
// Both failure values the system uses, INVALID_HANDLE_VALUE (CreateFileW) and null (the others),
// mean "no handle"; the owner closes its handle at scope end.
#include <windows.h>

#include <utility>

namespace q350::win {

class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE h) : h_(Normal(h)) {}
    ~KernelHandle() { reset(); }
    KernelHandle(KernelHandle&& other) noexcept
        : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.h_, INVALID_HANDLE_VALUE));
        }
        return *this;
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    // Closes the held handle and takes h.
    void reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (valid()) {
            CloseHandle(h_);
        }
        h_ = Normal(h);
    }

private:
    static HANDLE Normal(HANDLE h) { return h == nullptr ? INVALID_HANDLE_VALUE : h; }

    HANDLE h_ = INVALID_HANDLE_VALUE;
};

}  // namespace q350::win
