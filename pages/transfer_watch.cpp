#include "pages/transfer_watch.h"

namespace q350::pages {

void TransferWatch::received(std::uint64_t nowMs, std::uint64_t bytes, std::uint64_t total) {
    if (state_ != TransferState::Running) {
        return;
    }
    if (bytes > bytes_) {
        bytes_ = bytes;
        lastByte_ = nowMs;
    }
    total_ = total;
}

void TransferWatch::finished(bool complete) {
    if (state_ == TransferState::Running) {
        state_ = complete ? TransferState::Done : TransferState::Failed;
    }
}

void TransferWatch::cancel() {
    if (state_ == TransferState::Running) {
        state_ = TransferState::Cancelled;
    }
}

TransferState TransferWatch::check(std::uint64_t nowMs) {
    if (state_ == TransferState::Running) {
        // A clock that went back counts as no time passed.
        const std::uint64_t sinceStart = nowMs > start_ ? nowMs - start_ : 0;
        const std::uint64_t sinceByte = nowMs > lastByte_ ? nowMs - lastByte_ : 0;
        if (sinceStart >= kTransferTotalMs) {
            state_ = TransferState::TooLong;
        } else if (sinceByte >= kTransferStallMs) {
            state_ = TransferState::Stalled;
        }
    }
    return state_;
}

int TransferWatch::percent() const {
    if (total_ == 0) {
        return 0;
    }
    if (bytes_ >= total_) {
        return 100;
    }
    return static_cast<int>(bytes_ * 100 / total_);
}

}  // namespace q350::pages
