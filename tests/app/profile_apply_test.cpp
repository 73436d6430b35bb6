#include "app/profile_apply.h"  // first: it reads the device headers

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <thread>

#include "base/file_io.h"
#include "device/virtual_mouse.h"

namespace q350::app {
namespace {

namespace fs = std::filesystem;

class RecordingPointer final : public PointerSettingsApplier {
public:
    void apply(const PointerSettingsFields& f) override {
        applied.push_back(f);
        // Telling Windows sends messages to the program's windows: the device must be free.
        if (device != nullptr) {
            deviceFree = device->try_lock();
            if (deviceFree) {
                device->unlock();
            }
        }
    }
    std::vector<PointerSettingsFields> applied;
    std::mutex* device = nullptr;
    bool deviceFree = false;
};

class ApplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        folder = fs::temp_directory_path() / ("q350-apply-" + std::to_string(rd()));
        fs::create_directories(folder / "Profile");
        files = std::make_unique<ProfileFiles>(folder, store, notifier);
        files->ensureFirstRun();
        files->startupLoad();
        ASSERT_TRUE(channel.open());
        services.macros = &library;
        services.device = &device;
        services.deviceMutex = &mutex;
        services.clock = &clock;
        services.pointer = &pointer;
        pointer.device = &mutex;
        services.notifier = &deferred;
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
    MemorySettingsStore store;
    RecordingNotifier notifier;
    std::unique_ptr<ProfileFiles> files;
    FakeClock clock;
    VirtualMouse mouse{clock};
    VirtualMouseTransport transport{mouse};
    HidChannel channel{transport};
    DeviceCommands device{channel, clock};
    std::mutex mutex;
    MacroLibrary library{"/nonexistent-q350-folder", store, notifier, clock};
    RecordingPointer pointer;
    DeferredNotifier deferred;
    ApplyServices services;
};

TEST_F(ApplyTest, WritesTheActiveProfileAndRestoresTheMode) {
    files->currentMode = 2;
    files->profile().pointerSpeed[2] = 14;
    files->profile().pointerSpeed[0] = 3;
    std::vector<int> progress;
    DownloadReport report;
    ASSERT_TRUE(RunApply(*files, services, [&](int p) { progress.push_back(p); }, &report));
    EXPECT_EQ(report.buttonWordsWritten, kModeCount * kButtonCount);
    EXPECT_EQ(progress.front(), kProgressStart);
    EXPECT_EQ(progress.back(), kProgressDone);
    EXPECT_EQ(files->currentMode, 2);
    // Windows gets the pointer settings of the mode current before the download.
    ASSERT_EQ(pointer.applied.size(), 1u);
    EXPECT_EQ(pointer.applied[0].pointerSpeed, 14);
    EXPECT_TRUE(pointer.deviceFree);
    EXPECT_TRUE(mutex.try_lock());  // released afterwards
    mutex.unlock();
}

TEST_F(ApplyTest, UnpluggedMouseFailsAndNothingIsSaved) {
    mouse.state().plugged = false;
    EXPECT_FALSE(RunApply(*files, services, {}));
    // Without a device or a lock there is nothing to run.
    ApplyServices none;
    EXPECT_FALSE(RunApply(*files, none, {}));
}

TEST_F(ApplyTest, FinishStoresTableAndSavesTheActiveFile) {
    store.deleteValue(u"", kValueConfigInfo);
    files->profile().liftHeight[1] = 21;
    files->pendingMacroId[1][2] = 0x15000001;
    DownloadReport report;
    report.macroIds[1][2] = 0x15000001;  // the download used the pending id
    ASSERT_TRUE(FinishApply(*files, report));
    EXPECT_EQ(files->pendingMacroId[1][2], 0);
    EXPECT_EQ(files->activeSlotRecord().buttonMacroId[1][2], 0x15000001);
    EXPECT_NE(store.find(u"", kValueConfigInfo), nullptr);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(folder / "Profile" / "Profile1.cfg", bytes));
    ProfileData saved;
    FillRecord(saved, bytes);
    EXPECT_EQ(saved.liftHeight[1], 21);

    store.failWrites = true;
    EXPECT_FALSE(FinishApply(*files, report));  // a refused table is reported, not hidden
}

TEST_F(ApplyTest, WorkerMessagesWaitForTheWindowThread) {
    files->profile().reportRate[0] = 7;  // not a rate the mouse takes: the download says so
    std::thread worker([&] { RunApply(*files, services, {}); });
    worker.join();
    EXPECT_TRUE(notifier.shown.empty());
    ASSERT_EQ(deferred.pending(), 1u);
    deferred.flushTo(notifier);
    EXPECT_EQ(deferred.pending(), 0u);
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].form, MessageForm::SkinnedNotice);
}

TEST(DeferredNotifier, KeepsOrderAcrossThreads) {
    DeferredNotifier deferred;
    std::thread a([&] {
        for (int i = 0; i < 100; ++i) {
            deferred.show(MessageForm::StandardInfo, u"a");
        }
    });
    std::thread b([&] {
        for (int i = 0; i < 100; ++i) {
            deferred.show(MessageForm::StandardWarning, u"b");
        }
    });
    a.join();
    b.join();
    RecordingNotifier out;
    deferred.flushTo(out);
    ASSERT_EQ(out.shown.size(), 200u);
    int as = 0;
    for (const auto& s : out.shown) {
        as += s.text == u"a" ? 1 : 0;
        EXPECT_EQ(s.form, s.text == u"a" ? MessageForm::StandardInfo : MessageForm::StandardWarning);
    }
    EXPECT_EQ(as, 100);
}

}  // namespace
}  // namespace q350::app
