#include "device/win/driver_link_win.h"

#include <gtest/gtest.h>

#include "tests/win/driver/driver_test_support.h"

namespace q350::testing {
namespace {

using Words = std::vector<std::uint32_t>;

std::vector<std::uint32_t> Commands(DriverScript& script) {
    std::lock_guard<std::mutex> hold(script.lock);
    return script.commands;
}

// ---- without a driver
// ----------------------------------------------------------------------------

TEST(DriverLinkAbsent, KernelDriverMissingFailsEveryAttemptQuietly) {
    EXPECT_EQ(OpenKernelDriver(), nullptr);  // no "\\.\qvvmsd" here
    EventSink sink;
    DriverLink link([] { return OpenKernelDriver(); });
    ASSERT_TRUE(link.startWorker(sink.poster()));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(link.registerDriver());
    }
    EXPECT_FALSE(link.registered());
    EXPECT_FALSE(link.sendSetting32());
    EXPECT_FALSE(link.sendSetting4());
    link.shutdown();
    EXPECT_TRUE(sink.waitFor(1, 300).empty());
}

TEST(DriverLinkAbsent, RegisteringNeedsTheWorkersSemaphore) {
    auto script = std::make_shared<DriverScript>();
    DriverLink link(ScriptedOpener(script));
    EXPECT_FALSE(link.registerDriver());
    EXPECT_EQ(script->opens, 0);
}

// ---- registration
// --------------------------------------------------------------------------------

TEST(DriverLinkRegistration, HandsTheDriverALiveSemaphoreThenSettingsThenLeaves) {
    auto script = std::make_shared<DriverScript>();
    EventSink sink;
    DriverLink link(ScriptedOpener(script));
    ASSERT_TRUE(link.startWorker(sink.poster()));
    ASSERT_TRUE(link.registerDriver());
    EXPECT_TRUE(link.registerDriver());  // already registered: no second device
    EXPECT_EQ(script->opens, 1);
    EXPECT_NE(script->semaphore, 0u);
    EXPECT_TRUE(link.sendSetting32());
    EXPECT_TRUE(link.sendSetting4());
    link.unregisterDriver();
    EXPECT_EQ(Commands(*script), (Words{1, 32, 4, 2}));
    EXPECT_TRUE(script->closed);
    EXPECT_FALSE(link.registered());
    EXPECT_FALSE(link.sendSetting4());
}

TEST(DriverLinkRegistration, RefusedRegistrationClosesTheDeviceAndCanBeRetried) {
    auto script = std::make_shared<DriverScript>();
    script->refuseRegister = true;
    DriverLink link(ScriptedOpener(script));
    ASSERT_TRUE(link.startWorker(nullptr));
    EXPECT_FALSE(link.registerDriver());
    EXPECT_TRUE(script->closed);
    EXPECT_FALSE(link.registered());
    script->refuseRegister = false;
    EXPECT_TRUE(link.registerDriver());
    EXPECT_EQ(script->opens, 2);
}

TEST(DriverLinkRegistration, ShutdownUnregistersOnceAndEndsEverything) {
    auto script = std::make_shared<DriverScript>();
    DriverLink link(ScriptedOpener(script));
    ASSERT_TRUE(link.startWorker(nullptr));
    ASSERT_TRUE(link.registerDriver());
    link.shutdown();
    link.shutdown();
    EXPECT_EQ(Commands(*script), (Words{1, 2}));
    EXPECT_FALSE(link.registerDriver());
    EXPECT_FALSE(link.startWorker(nullptr));
}

// ---- the worker
// ----------------------------------------------------------------------------------

class DriverLinkWorker : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(link.startWorker(sink.poster()));
        ASSERT_TRUE(link.registerDriver());
    }
    std::shared_ptr<DriverScript> script = std::make_shared<DriverScript>();
    EventSink sink;
    DriverLink link{ScriptedOpener(script)};
};

TEST_F(DriverLinkWorker, EachReleaseBringsOneEventToTheWindowInOrder) {
    script->signal({0x4000C302, 0x9001, 0x0001});
    EXPECT_EQ(sink.waitFor(3), (Words{0x4000C302, 0x9001, 0x0001}));
    EXPECT_EQ(sink.lparams, (std::vector<LPARAM>{0, 0, 0}));
    sink.waitFor(4, 200);
    EXPECT_EQ(sink.words.size(), 3u);
    EXPECT_EQ(script->reads, 3);
}

TEST_F(DriverLinkWorker, FailedReadIsSkippedAndTheNextEventStillArrives) {
    script->failReads = 1;
    script->signal({0x0002, 0x0004});
    EXPECT_EQ(sink.waitFor(1), (Words{0x0004}));
}

TEST_F(DriverLinkWorker, ManyEventsInABurstAllArrive) {
    Words burst;
    for (std::uint32_t i = 0; i < 500; ++i) {
        burst.push_back(0x0B01 + (i << 16));
    }
    script->signal(burst);
    EXPECT_EQ(sink.waitFor(burst.size()), burst);
}

TEST_F(DriverLinkWorker, AReadWaitingInTheDriverNeverHoldsUpTheWindowsThread) {
    const HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(gate, nullptr);
    script->readGate = gate;
    script->signal({0x0001});
    Sleep(100);  // the worker waits inside its read now
    // What the window's timers do meanwhile returns at once instead of waiting for the read.
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(link.registered());
    EXPECT_TRUE(link.sendSetting4());
    EXPECT_TRUE(link.registerDriver());
    EXPECT_LT(GetTickCount64() - start, 1000u);
    SetEvent(gate);
    EXPECT_EQ(sink.waitFor(1), (Words{0x0001}));
    script->readGate = nullptr;
    CloseHandle(gate);
}

TEST_F(DriverLinkWorker, NothingIsReadOrDeliveredAfterShutdown) {
    link.shutdown();
    Sleep(50);
    const int readsAtShutdown = script->reads;
    // A driver that still holds the semaphore may release it; nobody reads any more.
    script->signal({0x0001});
    EXPECT_TRUE(sink.waitFor(1, 300).empty());
    EXPECT_EQ(script->reads, readsAtShutdown);
}

// ---- the simulated driver
// ------------------------------------------------------------------------

TEST(SimulatedDriver, QueuedEventsOfTheStateFileReachTheWindowAndLeaveTheFile) {
    VirtualMouseState state;
    state.events = {0x4000C302, 0x9001};
    TempMouse mouse(state);
    EventSink sink;
    const auto path = mouse.path();
    DriverLink link([path] { return OpenSimulatedDriver(path, 10); });
    ASSERT_TRUE(link.startWorker(sink.poster()));
    EXPECT_TRUE(sink.waitFor(1, 200).empty()) << "nothing before registration";
    ASSERT_TRUE(link.registerDriver());
    EXPECT_TRUE(link.sendSetting32());
    EXPECT_TRUE(link.sendSetting4());
    EXPECT_EQ(sink.waitFor(2), (Words{0x4000C302, 0x9001}));
    EXPECT_TRUE(mouse.queued().empty());

    ASSERT_TRUE(mouse.queue(0x8B01));
    EXPECT_EQ(sink.waitFor(3), (Words{0x4000C302, 0x9001, 0x8B01}));

    link.unregisterDriver();
    ASSERT_TRUE(mouse.queue(0x0001));
    EXPECT_EQ(sink.waitFor(4, 300).size(), 3u);
    EXPECT_EQ(mouse.queued(), (Words{0x0001})) << "left for the next registration";
}

TEST(SimulatedDriver, RefusesForeignBlocksAndReadsWithoutEvents) {
    TempMouse mouse;
    auto driver = OpenSimulatedDriver(mouse.path(), 10);
    DriverCommandBlock block = MakeSetting4Block();
    block.tag = 0x12345678;
    EXPECT_FALSE(driver->control(kCtlDriverCommand, &block, sizeof(block), nullptr, 0));
    DriverEventBuffer buffer = MakeEventReadBuffer();
    EXPECT_FALSE(driver->control(kCtlReadEvent, &buffer, sizeof(buffer), &buffer, sizeof(buffer)));
    EXPECT_FALSE(driver->control(0x222404, &buffer, sizeof(buffer), &buffer, sizeof(buffer)));
}

TEST(SimulatedDriver, ChosenWhenTheEnvironmentNamesAStateFile) {
    TempMouse mouse;
    const std::wstring path = mouse.path().wstring();
    ASSERT_TRUE(SetEnvironmentVariableW(L"Q350_VIRTUAL_MOUSE", path.c_str()));
    auto simulated = DefaultDriverOpener()();
    SetEnvironmentVariableW(L"Q350_VIRTUAL_MOUSE", nullptr);
    ASSERT_NE(simulated, nullptr);
    const DriverCommandBlock block = MakeSetting32Block();
    EXPECT_TRUE(simulated->control(kCtlDriverCommand, &block, sizeof(block), nullptr, 0));
    EXPECT_EQ(DefaultDriverOpener()(), nullptr) << "the kernel driver, absent here";
}

}  // namespace
}  // namespace q350::testing
