#pragma once

// The limits of one download from the update server, kept by whoever shows its progress: a
// transfer that brings no byte for 20 seconds, or takes 5 minutes in all, is given up, and so is
// one the user cancels. The clock is the caller's (milliseconds, any origin).
#include <cstdint>

namespace q350::pages {

inline constexpr std::uint32_t kTransferStallMs = 20000;
inline constexpr std::uint32_t kTransferTotalMs = 300000;

enum class TransferState {
    Running,
    Done,       // the whole file arrived
    Failed,     // the transfer itself ended without the file
    Stalled,    // no byte for kTransferStallMs
    TooLong,    // kTransferTotalMs in all
    Cancelled,  // by the user
};

class TransferWatch {
public:
    explicit TransferWatch(std::uint64_t startMs) : start_(startMs), lastByte_(startMs) {}

    // Bytes arrived at nowMs; total is the announced size (0 when unknown).
    void received(std::uint64_t nowMs, std::uint64_t bytes, std::uint64_t total);
    void finished(bool complete);
    void cancel();
    // The state at nowMs: a running transfer past a limit is given up from then on.
    TransferState check(std::uint64_t nowMs);
    // 0..100 of the announced size; 0 while the size is unknown.
    int percent() const;
    std::uint64_t bytes() const { return bytes_; }

private:
    std::uint64_t start_;
    std::uint64_t lastByte_;
    std::uint64_t bytes_ = 0;
    std::uint64_t total_ = 0;
    TransferState state_ = TransferState::Running;
};

}  // namespace q350::pages
