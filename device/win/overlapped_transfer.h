#pragma once

// One transfer on a device handle opened for overlapped I/O, bounded in time: what is still pending
// when the limit runs out is cancelled and counts as timed out. On a handle opened without
// FILE_FLAG_OVERLAPPED the calls complete at once and the limit plays no part.
#include <windows.h>

#include "base/win/kernel_handle.h"

namespace q350::win {

enum class TransferOutcome { Done, Failed, TimedOut };

// A manual-reset event for one transfer at a time.
class TransferEvent {
public:
    TransferEvent() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    HANDLE get() const { return event_.get(); }
    bool valid() const { return event_.valid(); }

private:
    KernelHandle event_;
};

// started is the result of the WriteFile, ReadFile or DeviceIoControl that was given ov.
inline TransferOutcome FinishTransfer(HANDLE device, BOOL started, OVERLAPPED& ov, DWORD limitMs) {
    DWORD bytes = 0;
    if (started) {
        return TransferOutcome::Done;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        return TransferOutcome::Failed;
    }
    if (WaitForSingleObject(ov.hEvent, limitMs) == WAIT_OBJECT_0) {
        return GetOverlappedResult(device, &ov, &bytes, FALSE) ? TransferOutcome::Done
                                                                : TransferOutcome::Failed;
    }
    // The buffer and ov belong to the caller's frame: the transfer must be over before it
    // returns, cancelled or not.
    CancelIoEx(device, &ov);
    if (GetOverlappedResult(device, &ov, &bytes, TRUE)) {
        return TransferOutcome::Done;  // it finished just as the limit ran out
    }
    return GetLastError() == ERROR_OPERATION_ABORTED ? TransferOutcome::TimedOut
                                                     : TransferOutcome::Failed;
}

// Begins a transfer with start(ov) and finishes it within limitMs.
template <typename Start>
TransferOutcome BoundedTransfer(HANDLE device, DWORD limitMs, Start start) {
    TransferEvent event;
    if (!event.valid()) {
        return TransferOutcome::Failed;
    }
    OVERLAPPED ov{};
    ov.hEvent = event.get();
    const BOOL started = start(ov);
    return FinishTransfer(device, started, ov, limitMs);
}

}  // namespace q350::win
