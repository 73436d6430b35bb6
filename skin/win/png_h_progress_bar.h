#pragma once
// CPngHProgressBar: a horizontal bar showing a value as the filled part of a picture.
#include <windows.h>

#include <memory>

#include "skin/win/framework/gdiplus_include.h"
#include "skin/win/framework/window.h"

namespace q350::ui {

class CPngHProgressBar : public Window {
public:
    bool Create(const RECT& rect, HWND parent);
    // Both pictures become the part (x, y, width, height) of the sources; no fill source, no fill.
    void SetPictures(int x, int y, int width, int height, Gdiplus::Image* background,
                     Gdiplus::Image* fill);
    void RedrawNow();
    // Filled width for the current position.
    int FillWidth() const;

    int min = 0;
    int max = 10;
    int pos = 0;
    UINT notifyId = 777;
    int interactive = 1;
    int disabledInput = 0;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void TrackTo(int clientX);

    std::unique_ptr<Gdiplus::Bitmap> background_;
    std::unique_ptr<Gdiplus::Bitmap> fill_;
    RECT rect_{};
    bool tracking_ = false;
};

}  // namespace q350::ui
