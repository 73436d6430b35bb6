#pragma once
// A parent window for control tests that records the messages its children send it.
#include <windows.h>

#include <functional>
#include <vector>

#include "skin/win/framework/gdiplus_include.h"
#include "skin/win/framework/window.h"
#include "skin/win/framework/gdi.h"

namespace q350::ui::test {

struct Received {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

class TestHost : public Window {
public:
    TestHost();
    ~TestHost() override;
    // Messages received with this number, in order.
    std::vector<Received> Of(UINT msg) const;
    std::vector<Received> log;
    // Called for every logged message as it arrives.
    std::function<void(UINT, WPARAM, LPARAM)> onMessage;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

// Handles every message waiting on this thread.
void Pump();

// GDI+ for the whole test program.
class GdiplusEnvironment;

}  // namespace q350::ui::test
