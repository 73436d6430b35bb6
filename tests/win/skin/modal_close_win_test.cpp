// A close of the program that arrives while modal loops run: the loops end as if cancelled, no
// window goes while its code is on the stack, and the close is carried out afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "skin/win/framework/window.h"
#include "test_host.h"

namespace q350::ui {
namespace {

constexpr wchar_t kMainClass[] = L"Q350ModalCloseTestMain";
constexpr UINT kOpenInner = WM_APP + 7;

// Stands for the main window: a close inside a modal loop is deferred, otherwise it destroys
// the window at once.
class MainStandIn : public Window {
public:
    MainStandIn() {
        RegisterWindowClass(kMainClass, 0, nullptr, nullptr);
        Create(kMainClass, L"", WS_POPUP, 0, RECT{0, 0, 50, 50}, nullptr, 0);
    }
    int closes = 0;
    int deferred = 0;

protected:
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
        if (msg != WM_CLOSE)
            return false;
        ++closes;
        if (ModalLoop::DeferClose(hwnd_)) {
            ++deferred;
        } else {
            DestroyWindow(hwnd_);
        }
        return true;
    }
};

// A modal dialog that runs a step once it is up.
class StepDialog : public Dialog {
public:
    explicit StepDialog(std::function<void(HWND)> step) : Dialog(Template{}), step_(step) {}

protected:
    bool OnInitDialog() override {
        PostMessageW(hwnd_, kOpenInner, 0, 0);
        return true;
    }
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
        if (msg == kOpenInner && step_) {
            auto step = std::move(step_);
            step_ = nullptr;
            step(hwnd_);
            return true;
        }
        return false;
    }

private:
    std::function<void(HWND)> step_;
};

TEST(ModalClose, NestedDialogsEndAsCancelledAndTheCloseComesAfterTheOutermost) {
    MainStandIn main;
    ASSERT_NE(main.hwnd(), nullptr);
    const HWND mainWindow = main.hwnd();
    INT_PTR inner = 0;
    bool aliveAfterInner = false;
    INT_PTR opened = 0;
    StepDialog outer([&](HWND self) {
        StepDialog innerDialog([&](HWND) { PostMessageW(mainWindow, WM_CLOSE, 0, 0); });
        inner = innerDialog.DoModal(self);
        // Back in the outer dialog's code: nothing it stands on is gone.
        aliveAfterInner = IsWindow(mainWindow) != FALSE;
        EXPECT_TRUE(ModalLoop::Closing());
        // A dialog opened while the close is under way ends at once.
        StepDialog late([](HWND) {});
        opened = late.DoModal(self);
    });
    const INT_PTR r = outer.DoModal(mainWindow);
    EXPECT_EQ(inner, IDCANCEL);
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_EQ(opened, IDCANCEL);
    EXPECT_TRUE(aliveAfterInner);
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_EQ(main.deferred, 1);
    EXPECT_FALSE(ModalLoop::Running());
    // The close was posted again and is carried out from the ordinary message loop.
    test::Pump();
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_EQ(main.closes, 2);
    // With the window gone, dialogs run again.
    EXPECT_FALSE(ModalLoop::Closing());
}

TEST(ModalClose, SystemMessageBoxIsEndedToo) {
    MainStandIn main;
    const HWND mainWindow = main.hwnd();
    int box = 0;
    {
        ModalLoop loop;
        PostMessageW(mainWindow, WM_CLOSE, 0, 0);
        box = MessageBoxW(nullptr, L"closing", L"Info", MB_OK);
        EXPECT_TRUE(IsWindow(mainWindow));
    }
    EXPECT_NE(box, 0);
    EXPECT_EQ(main.deferred, 1);
    test::Pump();
    EXPECT_FALSE(IsWindow(mainWindow));
}

TEST(ModalClose, WithoutAModalLoopTheCloseIsImmediate) {
    MainStandIn main;
    const HWND mainWindow = main.hwnd();
    EXPECT_FALSE(ModalLoop::Running());
    SendMessageW(mainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(main.deferred, 0);
    EXPECT_FALSE(IsWindow(mainWindow));
}

}  // namespace
}  // namespace q350::ui
