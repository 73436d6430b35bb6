#pragma once
// CAVIButton: a still picture that plays a short clip when double-clicked.
#include <windows.h>

#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"

namespace q350::ui {

class CAVIButton : public Window {
public:
    CAVIButton();
    bool Create(HWND parent, const RECT& rect, UINT id = 0);

    int animationId = 0;  // "AVI" resource of the clip
    int playing = 0;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Play();
    void StopClip();

    static constexpr UINT_PTR kStopTimer = 1;
    static constexpr UINT kPlayMs = 2500;
    Bitmap still_;
    HWND animation_ = nullptr;
};

}  // namespace q350::ui
