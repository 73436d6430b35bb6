#include "app/main_window_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>

#include "base/file_io.h"
#include "lang/language_table.h"

namespace q350::app {
namespace {

namespace fs = std::filesystem;

class MainWindowModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        folder = fs::temp_directory_path() / ("q350-app-" + std::to_string(rd()));
        fs::create_directories(folder / "Profile");
        files = std::make_unique<ProfileFiles>(folder, store, notifier);
        files->ensureFirstRun();
        files->startupLoad();
        model = std::make_unique<MainWindowModel>(*files);
        model->markActiveProfileTab();
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path profileFile(int n) const {
        return folder / "Profile" / ("Profile" + std::to_string(n) + ".cfg");
    }
    // Writes a profile file for slot n whose lift value tells it apart.
    void writeProfile(int n, std::int32_t lift) {
        auto p = std::make_unique<ProfileData>();
        BuildDefaults(*p, false);
        p->liftHeight[0] = lift;
        ASSERT_TRUE(WriteFileAtomic(profileFile(n), RecordBytes(*p)));
    }
    bool tableStored() const { return store.find(u"", kValueConfigInfo) != nullptr; }

    fs::path folder;
    MemorySettingsStore store;
    RecordingNotifier notifier;
    std::unique_ptr<ProfileFiles> files;
    std::unique_ptr<MainWindowModel> model;
};

TEST_F(MainWindowModelTest, StartsOnTheFirstPageAndTheActiveProfile) {
    EXPECT_EQ(model->selectedPage(), 0);
    EXPECT_TRUE(model->pageTabSelected(0));
    EXPECT_EQ(model->selectedProfileTab(), files->activeSlot());
}

TEST_F(MainWindowModelTest, PageTabsShowTheirPagesAndOnlyTheFirstTwoRefresh) {
    EXPECT_FALSE(model->clickPageTab(3));  // statistics
    EXPECT_EQ(model->selectedPage(), static_cast<int>(Page::Statistics));
    EXPECT_TRUE(model->pageTabSelected(3));
    int selectedTabs = 0, shownPages = 0;
    for (int i = 0; i < kPageCount; ++i) {
        selectedTabs += model->pageTabSelected(i) ? 1 : 0;
        shownPages += model->pageShown(i) ? 1 : 0;
    }
    EXPECT_EQ(selectedTabs, 1);
    EXPECT_EQ(shownPages, 1);

    EXPECT_FALSE(model->clickPageTab(2));
    EXPECT_EQ(model->selectedPage(), static_cast<int>(Page::Macros));
    EXPECT_TRUE(model->clickPageTab(1));
    EXPECT_EQ(model->selectedPage(), static_cast<int>(Page::Lighting));
    // Out of range: nothing changes.
    EXPECT_FALSE(model->clickPageTab(7));
    EXPECT_EQ(model->selectedPage(), static_cast<int>(Page::Lighting));
}

TEST_F(MainWindowModelTest, ProfileTabLoadsItsFileAndStoresTheTableOnlyWhenHidden) {
    writeProfile(3, 17);
    store.deleteValue(u"", kValueConfigInfo);
    EXPECT_TRUE(model->clickProfileTab(2));
    EXPECT_EQ(files->activeSlot(), 2);
    EXPECT_EQ(files->profile().liftHeight[0], 17);
    EXPECT_TRUE(model->profileTabSelected(2));
    EXPECT_FALSE(model->profileTabSelected(0));
    EXPECT_FALSE(tableStored());

    writeProfile(2, 9);
    model->windowHidden = true;
    EXPECT_TRUE(model->clickProfileTab(1));
    EXPECT_EQ(files->profile().liftHeight[0], 9);
    EXPECT_TRUE(tableStored());
}

TEST_F(MainWindowModelTest, FailedLoadMarksTheProfileStillInUse) {
    const std::vector<std::uint8_t> foreign(kProfileSize, 0x5A);
    ASSERT_TRUE(WriteFileAtomic(profileFile(4), foreign));
    EXPECT_FALSE(model->clickProfileTab(3));
    EXPECT_EQ(files->activeSlot(), 0);
    // The tab of the clicked, unloadable profile does not stay marked.
    EXPECT_TRUE(model->profileTabSelected(0));
    EXPECT_FALSE(model->profileTabSelected(3));
    EXPECT_FALSE(notifier.shown.empty());
}

TEST_F(MainWindowModelTest, StatusLineTakesHintsAndMovesClearIt) {
    lang::LanguageTable saved = lang::TheLanguage().table;
    lang::TheLanguage().table.set(lang::StringId::str_profile3, u"Third profile");
    EXPECT_FALSE(model->clearStatusOnMove());  // nothing to clear
    EXPECT_TRUE(model->setHint(2, false));
    EXPECT_EQ(model->statusText(), u"Third profile");
    EXPECT_FALSE(model->setHint(2, false));  // same text: no repaint needed
    EXPECT_TRUE(model->clearStatusOnMove());
    EXPECT_TRUE(model->statusText().empty());
    EXPECT_TRUE(model->setHint(2, false));
    EXPECT_TRUE(model->setHint(99, false));
    EXPECT_TRUE(model->statusText().empty());
    lang::TheLanguage().table = saved;
}

}  // namespace
}  // namespace q350::app
