// The mouse page and its button setting panel as windows: the panel's tabs, keys and ends, the
// keyboard hook it drives, the keys it keeps from the dialog manager, and the page's labels,
// mode buttons and its menu library.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/function_catalog.h"
#include "outside/KeyCapture/key_capture.h"
#include "pages/win/dlg_main_set.h"
#include "pages/win/setting_dlg.h"
#include "pages/win/skin_menu_library.h"
#include "tests/win/pages/page_test_host.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/images.h"

namespace q350::pages {
namespace {

using test::ControlAt;
using test::Pump;
using test::RecordingHost;

// Clicks a skinned button of a window as the button reports a click to its parent.
void Click(HWND window, POINT p) {
    const HWND control = ControlAt(window, p);
    PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}

void PostKey(HWND to, UINT vk) {
    PostMessageW(to, WM_KEYDOWN, vk, 1);
    PostMessageW(to, WM_KEYUP, vk, 0xC0000001);
}

// A setting panel that plays a script once it is up: each step runs after the messages of the
// one before it have been handled.
class ScriptedPanel : public CSettingDlg {
public:
    using Step = std::function<void(ScriptedPanel&)>;
    ScriptedPanel(WinPageHost& host, int button, std::vector<Step> steps)
        : CSettingDlg(host, button, L"Click"), steps_(std::move(steps)) {}
    bool aliveAfterKeys = false;

protected:
    bool OnInitDialog() override {
        const bool r = CSettingDlg::OnInitDialog();
        SetTimer(hwnd(), kStepTimer, 60, nullptr);
        return r;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg == WM_TIMER && wp == kStepTimer) {
            if (next_ < steps_.size()) {
                steps_[next_++](*this);
            }
            return true;
        }
        return CSettingDlg::OnMessage(msg, wp, lp, result);
    }

private:
    static constexpr UINT_PTR kStepTimer = 4711;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
};

constexpr POINT kOk{354, 271};
constexpr POINT kRestore{276, 271};
constexpr POINT kDisable{32, 267};
constexpr POINT kBaseTab{255, 50};
constexpr POINT kComboTab{55, 50};

class PanelWin : public ::testing::Test {
protected:
    void SetUp() override {
        page_ = CreateWindowExW(0, L"STATIC", L"page", WS_POPUP | WS_VISIBLE, 0, 0, 925, 457,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(page_, nullptr);
    }
    void TearDown() override { DestroyWindow(page_); }
    HWND page_ = nullptr;
    RecordingHost host;
};

TEST_F(PanelWin, DialogKeysNeverEndThePanelAndDisableKeyWinsAtOk) {
    ScriptedPanel panel(host, 4, {
        [](ScriptedPanel& p) {
            for (UINT vk : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
                PostKey(p.hwnd(), vk);
                PostKey(ControlAt(p.hwnd(), kOk), vk);
            }
        },
        [](ScriptedPanel& p) {
            p.aliveAfterKeys = IsWindow(p.hwnd()) != FALSE;
            Click(p.hwnd(), kBaseTab);
        },
        [](ScriptedPanel& p) { Click(p.hwnd(), kDisable); },
        [](ScriptedPanel& p) { Click(p.hwnd(), kOk); },
    });
    ASSERT_TRUE(panel.Run(page_));
    EXPECT_TRUE(panel.aliveAfterKeys);
    EXPECT_EQ(panel.result().value, 7);
    EXPECT_EQ(panel.result().kind, kResultDisable);
}

TEST_F(PanelWin, KeysFromTheHookMakeACombinationAndDeliveryFollowsTheTab) {
    ScriptedPanel panel(host, 5, {
        [this](ScriptedPanel& p) {
            ASSERT_NE(host.receiver, nullptr);
            EXPECT_EQ(host.receiver, p.combo().hwnd());
            PostMessageW(host.receiver, keycapture::kKeyMessage, 0xA2, 0x00);  // left Ctrl
            PostMessageW(host.receiver, keycapture::kKeyMessage, 0xA2, 0x80);
            PostMessageW(host.receiver, keycapture::kKeyMessage, 'C', 0x00);
        },
        [](ScriptedPanel& p) { Click(p.hwnd(), kBaseTab); },
        [](ScriptedPanel& p) { Click(p.hwnd(), kComboTab); },
        [](ScriptedPanel& p) { Click(p.hwnd(), kOk); },
    });
    ASSERT_TRUE(panel.Run(page_));
    EXPECT_EQ(panel.result().kind, kResultCombo);
    EXPECT_EQ(static_cast<std::uint32_t>(panel.result().value), 0x06020002u);
    // On at the key tab, off at the basic tab, on again, and off when the panel ends.
    ASSERT_GE(host.delivery.size(), 4u);
    EXPECT_TRUE(host.delivery[0]);
    EXPECT_FALSE(host.delivery[1]);
    EXPECT_TRUE(host.delivery[2]);
    EXPECT_FALSE(host.delivery.back());
}

TEST_F(PanelWin, ClosedFromOutsideItCancelsAndTheHookLetsGo) {
    ScriptedPanel panel(host, 2, {
        [](ScriptedPanel& p) { PostMessageW(p.hwnd(), WM_CLOSE, 0, 0); },
    });
    EXPECT_FALSE(panel.Run(page_));
    ASSERT_FALSE(host.delivery.empty());
    EXPECT_TRUE(host.delivery.front());
    EXPECT_FALSE(host.delivery.back());
}

TEST_F(PanelWin, RestoreGivesTheDefaultOfTheModeAndOkWithoutAKeyCancels) {
    host.mode = 1;
    ScriptedPanel restore(host, 5, {[](ScriptedPanel& p) { Click(p.hwnd(), kRestore); }});
    ASSERT_TRUE(restore.Run(page_));
    EXPECT_EQ(restore.result().value, kDefaultButtonCodes[1][5]);
    EXPECT_TRUE(restore.result().restored);

    ScriptedPanel nothing(host, 5, {[](ScriptedPanel& p) { Click(p.hwnd(), kOk); }});
    EXPECT_FALSE(nothing.Run(page_));
}

// ---- the page -------------------------------------------------------------------------------------

TEST(SkinMenuLibraryWin, AMissingLibraryIsNeverCalledThrough) {
    SkinMenuLibrary missing;
    EXPECT_FALSE(missing.load(L"NoSuchMenuLibrary.dll"));
    EXPECT_FALSE(missing.usable());
    missing.destroyMenu();  // harmless
    skinmenu::MenuItem item{skinmenu::kTopLevel, 1, u"One"};
    EXPECT_FALSE(missing.openMenu(nullptr, POINT{0, 0}, {&item, 1}, L""));

    SkinMenuLibrary real;
    EXPECT_TRUE(real.load(Q350_SKINMENU_DLL));
    real.destroyMenu();
}

class PageWin : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 0, 0, 960, 650,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }
    // The page's control under a page point, as the object behind it.
    template <typename T>
    T* At(CDlgMainSet& page, POINT p) {
        return dynamic_cast<T*>(ui::Window::FromHandle(ControlAt(page.hwnd(), p)));
    }
    HWND parent_ = nullptr;
    RecordingHost host;
};

constexpr POINT kLabel5{602, 408};
constexpr POINT kMode2{831, 432};

TEST_F(PageWin, LabelsAndModeButtonsShowTheRecordOfTheCurrentMode) {
    SetDllDirectoryW(ui::ProgramFolder().c_str());  // where SkinMenu.dll ships
    CDlgMainSet page(host, false);
    ASSERT_TRUE(page.Create(parent_, RECT{17, 129, 942, 586}));
    page.Show(true);
    Pump();
    ASSERT_NE(page.hwnd(), nullptr) << "the page closed although its menu library is there";
    auto* label5 = At<ui::CIrrButton>(page, kLabel5);
    ASSERT_NE(label5, nullptr);
    EXPECT_EQ(label5->selected, 0);

    host.profile().buttons[0][5].function = fn::kBack;
    page.ShowRecord();
    EXPECT_EQ(label5->selected, 1);

    // A click on the FPS mode button: the host's mode changes (it then has the pages show it).
    auto* mode2 = At<ui::CGDIBitmapBtn>(page, kMode2);
    ASSERT_NE(mode2, nullptr);
    PostMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(mode2->hwnd()));
    Pump();
    EXPECT_EQ(host.mode, 2);
    EXPECT_EQ(mode2->checkState, 1);
    page.ShowRecord();
    EXPECT_EQ(label5->selected, 0);  // FPS mode's button 5 is its default
    SetDllDirectoryW(nullptr);
}

TEST_F(PageWin, WithoutItsMenuLibraryThePageClosesItself) {
    SetDllDirectoryW(L"Z:\\nonexistent");
    CDlgMainSet page(host, false);
    ASSERT_TRUE(page.Create(parent_, RECT{17, 129, 942, 586}));
    Pump();
    EXPECT_EQ(page.hwnd(), nullptr);
    page.ShowRecord();  // a closed page ignores the main window's calls
    page.Show(true);
    SetDllDirectoryW(nullptr);
}

}  // namespace
}  // namespace q350::pages

int main(int argc, char** argv) {
    q350::ui::SetProgramFolder(Q350_PROGRAM_FOLDER);
    q350::ui::GdiplusSession gdiplus;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
