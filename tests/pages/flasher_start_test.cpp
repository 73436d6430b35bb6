#include "pages/flasher_start.h"

#include <gtest/gtest.h>

namespace q350::pages {
namespace {

TEST(FlasherOnce, StartsAtMostOnceInARunWhetherOrNotItWorked) {
    int launches = 0;
    FlasherOnce started;
    EXPECT_FALSE(started.tried());
    EXPECT_EQ(started.start([&] { ++launches; return true; }), FlasherStart::Started);
    EXPECT_EQ(started.start([&] { ++launches; return true; }), FlasherStart::AlreadyStarted);
    EXPECT_EQ(launches, 1);

    // A flasher that could not start is not tried again in this run: the mouse is not handed
    // over in a loop, and the program stays usable.
    FlasherOnce failed;
    EXPECT_EQ(failed.start([&] { ++launches; return false; }), FlasherStart::Failed);
    EXPECT_TRUE(failed.tried());
    EXPECT_EQ(failed.start([&] { ++launches; return true; }), FlasherStart::AlreadyStarted);
    EXPECT_EQ(launches, 2);
    EXPECT_EQ(&ProcessFlasher(), &ProcessFlasher());
}

TEST(FlasherOnce, TheMessageInBothLanguages) {
    EXPECT_EQ(FlasherFailedText(false),
              u"The firmware could not be updated; the mouse is in its update mode. Unplug it and "
              u"plug it in again, or reinstall the program.");
    EXPECT_FALSE(FlasherFailedText(true).empty());
    EXPECT_NE(FlasherFailedText(true), FlasherFailedText(false));
}

}  // namespace
}  // namespace q350::pages
