#include "test_host.h"

#include <gtest/gtest.h>

#include "skin/win/images.h"

namespace q350::ui::test {

namespace {

// The tests read the skins of the program folder of this build.
class SkinFolder : public ::testing::Environment {
public:
    void SetUp() override { SetProgramFolder(Q350_PROGRAM_FOLDER); }
};
const ::testing::Environment* const kSkinFolder =
    ::testing::AddGlobalTestEnvironment(new SkinFolder);

}  // namespace

TestHost::TestHost() {
    RegisterWindowClass(L"Q350TestHost", CS_DBLCLKS, nullptr,
                        static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    Create(L"Q350TestHost", L"skin test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
           RECT{50, 50, 650, 450}, nullptr, 0);
}

TestHost::~TestHost() {
    Destroy();
}

std::vector<Received> TestHost::Of(UINT msg) const {
    std::vector<Received> out;
    for (const Received& r : log) {
        if (r.msg == msg)
            out.push_back(r);
    }
    return out;
}

bool TestHost::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
    if (msg == WM_COMMAND || msg == WM_MOUSEMOVE || msg >= WM_USER) {
        log.push_back({msg, wp, lp});
        if (onMessage)
            onMessage(msg, wp, lp);
    }
    return false;
}

void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { session_ = new GdiplusSession(); }
    void TearDown() override { delete session_; }

private:
    GdiplusSession* session_ = nullptr;
};

[[maybe_unused]] static ::testing::Environment* const kGdiplus =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace q350::ui::test
