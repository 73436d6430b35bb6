// The macro page as a window: the keyboard hook it switches on for recording and key capture and
// off again at every end (stop, another kind of event, the page hidden or destroyed), the mouse-
// button pictures as keys while recording, and the loop count box that the page itself fills.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/utf.h"
#include "outside/KeyCapture/key_capture.h"
#include "pages/win/macro_dlg.h"
#include "tests/win/pages/page_test_host.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::pages {
namespace {

constexpr std::uint32_t kMacroId = (21u << 24) | 1;

using test::ControlAt;
using test::Pump;

// The recording host with one macro of the player's group; its library saves into memory.
class RecordingHost final : public test::RecordingHost {
public:
    RecordingHost() {
        macros().setFileWriter(
            [this](const std::filesystem::path&, std::span<const std::uint8_t>, FileError*) {
                ++saves;
                return true;
            });
        const std::uint32_t events[] = {MacroEvent(kMacroKeyDown, 'A'),
                                        MacroEvent(kMacroKeyUp, 'A')};
        EXPECT_EQ(macros().commitBlock(MakeExchangeBlock(kMacroId, 7, u"Mine", events)),
                  MacroLibrary::Change::Done);
        saves = 0;
    }
    int saves = 0;
};

constexpr POINT kRecord{841, 36};
constexpr POINT kInsert{376, 426};
constexpr POINT kKeyType{713, 348};
constexpr POINT kPauseType{720, 397};
constexpr POINT kLeftPicture{731, 238};
constexpr POINT kMiddlePicture{768, 231};
constexpr POINT kRightPicture{803, 238};

class MacroPageWin : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 0, 0, 960, 650,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
        page_ = std::make_unique<CMacroDlg>(host, false);
        ASSERT_TRUE(page_->Create(parent_, RECT{17, 129, 942, 586}));
        page_->Show(true);
        Pump();
        // The first macro of the player's own group, chosen as a click chooses it.
        const HWND list = GetDlgItem(page_->hwnd(), kMacroListId);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        PostMessageW(page_->hwnd(), ui::kMsgListSelection, kMacroListId, 0);
        Pump();
    }
    void TearDown() override {
        page_.reset();
        DestroyWindow(parent_);
    }
    void Click(POINT p) {
        const HWND control = ControlAt(page_->hwnd(), p);
        ASSERT_NE(control, page_->hwnd()) << "no control at " << p.x << "," << p.y;
        PostMessageW(page_->hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
        Pump();
    }
    void Picture(POINT p) {
        const HWND control = ControlAt(page_->hwnd(), p);
        SendMessageW(page_->hwnd(), ui::kMsgButtonPress, WM_LBUTTONDOWN,
                     reinterpret_cast<LPARAM>(control));
        SendMessageW(page_->hwnd(), ui::kMsgButtonPress, WM_LBUTTONUP,
                     reinterpret_cast<LPARAM>(control));
    }
    void Key(UINT vk, LPARAM flags) {
        PostMessageW(page_->hwnd(), keycapture::kKeyMessage, vk, flags);
        Pump();
    }
    std::vector<std::uint32_t> Stored() {
        const MacroRecord* r = host.macros().find(kMacroId);
        return {r->events, r->events + r->eventCount};
    }

    HWND parent_ = nullptr;
    RecordingHost host;
    std::unique_ptr<CMacroDlg> page_;
};

TEST_F(MacroPageWin, TheHookIsOnOnlyWhileRecordingOrCapturing) {
    EXPECT_TRUE(host.delivery.empty());
    Click(kRecord);
    EXPECT_EQ(host.receiver, page_->hwnd());
    EXPECT_EQ(host.delivery, std::vector<bool>{true});
    Key('B', 0);
    Key('B', keycapture::kReleasedFlag);
    Click(kRecord);
    EXPECT_EQ(host.delivery, (std::vector<bool>{true, false}));
    const auto stored = Stored();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0], MacroEvent(kMacroKeyDown, 'B'));
    EXPECT_EQ(MacroEventType(stored[1]), kMacroPause);
    EXPECT_EQ(stored[2], MacroEvent(kMacroKeyUp, 'B'));
    // A key that arrives after the stop changes nothing.
    Key('C', 0);
    EXPECT_EQ(Stored(), stored);

    // Key capture of the editor: on for the key kind, off for the pause kind and when the page
    // is hidden or destroyed.
    Click(kInsert);
    Click(kKeyType);
    EXPECT_EQ(host.delivery.back(), true);
    Click(kPauseType);
    EXPECT_EQ(host.delivery.back(), false);
    Click(kKeyType);
    EXPECT_EQ(host.delivery.back(), true);
    page_->Show(false);
    EXPECT_EQ(host.delivery.back(), false);
    page_->Show(true);
    Click(kRecord);
    EXPECT_EQ(host.delivery.back(), true);
    const std::size_t calls = host.delivery.size();
    page_->Destroy();
    ASSERT_EQ(host.delivery.size(), calls + 1);
    EXPECT_EQ(host.delivery.back(), false);
}

TEST_F(MacroPageWin, PicturesAreMouseButtonsOnlyWhileRecording) {
    Picture(kLeftPicture);
    Pump();
    EXPECT_EQ(host.saves, 0);
    Click(kRecord);
    Picture(kLeftPicture);
    Picture(kMiddlePicture);
    Picture(kRightPicture);
    Pump();
    Click(kRecord);
    std::vector<std::uint32_t> keys;
    for (std::uint32_t e : Stored()) {
        if (MacroEventType(e) != kMacroPause)
            keys.push_back(e);
    }
    EXPECT_EQ(keys, (std::vector<std::uint32_t>{
                        MacroEvent(kMacroKeyDown, 1), MacroEvent(kMacroKeyUp, 1),
                        MacroEvent(kMacroKeyDown, 4), MacroEvent(kMacroKeyUp, 4),
                        MacroEvent(kMacroKeyDown, 2), MacroEvent(kMacroKeyUp, 2)}));
}

TEST_F(MacroPageWin, TheLoopCountBoxShowsTheRuleWithoutSavingAndSavesTheUsersEdits) {
    const HWND loop = GetDlgItem(page_->hwnd(), kLoopEditId);
    ASSERT_NE(loop, nullptr);
    wchar_t text[8] = {};
    GetWindowTextW(loop, text, 8);
    EXPECT_STREQ(text, L"7");
    EXPECT_EQ(host.saves, 0);
    SetWindowTextW(loop, L"12");  // as typed: the box tells the page
    Pump();
    EXPECT_EQ(host.macros().find(kMacroId)->repeat, 12u);
    EXPECT_GE(host.saves, 1);
}

}  // namespace
}  // namespace q350::pages

int main(int argc, char** argv) {
    q350::ui::SetProgramFolder(Q350_PROGRAM_FOLDER);
    q350::ui::GdiplusSession gdiplus;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
