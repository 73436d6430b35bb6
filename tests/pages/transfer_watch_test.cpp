#include "pages/transfer_watch.h"

#include <gtest/gtest.h>

namespace q350::pages {
namespace {

constexpr std::uint64_t kStart = 1000000;

TEST(TransferWatch, TwentySecondsWithoutAByteEndIt) {
    TransferWatch watch(kStart);
    EXPECT_EQ(watch.check(kStart + kTransferStallMs - 1), TransferState::Running);
    EXPECT_EQ(watch.check(kStart + kTransferStallMs), TransferState::Stalled);
    // Given up is given up: late bytes and a late end change nothing.
    watch.received(kStart + kTransferStallMs + 1, 500, 1000);
    watch.finished(true);
    EXPECT_EQ(watch.check(kStart + kTransferStallMs + 2), TransferState::Stalled);
    EXPECT_EQ(watch.bytes(), 0u);
}

TEST(TransferWatch, BytesKeepItAliveButNotBeyondFiveMinutes) {
    TransferWatch watch(kStart);
    std::uint64_t now = kStart;
    std::uint64_t bytes = 0;
    // A slow server that sends a byte every 19 seconds.
    while (now + 19000 < kStart + kTransferTotalMs) {
        now += 19000;
        watch.received(now, ++bytes, 100);
        EXPECT_EQ(watch.check(now), TransferState::Running) << now - kStart;
    }
    EXPECT_EQ(watch.check(kStart + kTransferTotalMs), TransferState::TooLong);

    // The same count again is no progress: the stall counts from the last new byte.
    TransferWatch same(kStart);
    same.received(kStart + 5000, 10, 100);
    same.received(kStart + 15000, 10, 100);
    EXPECT_EQ(same.check(kStart + 5000 + kTransferStallMs - 1), TransferState::Running);
    EXPECT_EQ(same.check(kStart + 5000 + kTransferStallMs), TransferState::Stalled);
}

TEST(TransferWatch, EndsCancelAndProgress) {
    TransferWatch done(kStart);
    EXPECT_EQ(done.percent(), 0);
    done.received(kStart + 10, 250, 1000);
    EXPECT_EQ(done.percent(), 25);
    done.received(kStart + 20, 1500, 1000);  // more than announced
    EXPECT_EQ(done.percent(), 100);
    done.finished(true);
    EXPECT_EQ(done.check(kStart + kTransferTotalMs * 2), TransferState::Done);

    TransferWatch unknownSize(kStart);
    unknownSize.received(kStart + 10, 250, 0);
    EXPECT_EQ(unknownSize.percent(), 0);
    unknownSize.finished(false);
    EXPECT_EQ(unknownSize.check(kStart + 20), TransferState::Failed);

    TransferWatch cancelled(kStart);
    cancelled.cancel();
    cancelled.finished(true);
    EXPECT_EQ(cancelled.check(kStart + 1), TransferState::Cancelled);

    // A clock that goes back does not end a transfer.
    TransferWatch back(kStart);
    EXPECT_EQ(back.check(kStart - 500000), TransferState::Running);
}

}  // namespace
}  // namespace q350::pages
