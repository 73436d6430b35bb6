#pragma once
// CPngHSliderBar, a horizontal slider track painted from a piece of the page background, and its
// thumb CPngHSlider, a small window shaped like its PNG picture and dragged by the mouse.
#include <windows.h>

#include <memory>
#include <string>

#include "skin/win/framework/gdiplus_include.h"
#include "skin/win/framework/window.h"

namespace q350::ui {

class CPngHSlider : public Window {
public:
    // Loads the picture and creates the thumb on the track (parent coordinates).
    bool Create(const std::wstring& picturePath, HWND parent, UINT id, const RECT& track);
    // Moves the thumb to a value; one outside [min, max] becomes min.
    void SetPos(int value);
    // Shows another picture (the greyed thumb of a disabled slider) and reshapes the thumb.
    void SetPicture(const std::wstring& picturePath);
    int pos() const { return pos_; }
    // What the thumb shows through its transparent pixels (the bar's background).
    void SetBackdrop(Gdiplus::Image* backdrop) { backdrop_ = backdrop; }

    int min = 1;
    int max = 10;
    int placeTop = 0;  // 0: the thumb's bottom sits on the track's bottom; 1: top on top
    int enabled = 1;
    int disabledInput = 0;
    SIZE size() const { return size_; }

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Paint();

    std::unique_ptr<Gdiplus::Bitmap> picture_;
    Gdiplus::Image* backdrop_ = nullptr;
    SIZE size_{};
    RECT track_{};
    int pos_ = 0;
    UINT id_ = 0;
    bool dragging_ = false;
    int pressX_ = 0;
};

class CPngHSliderBar : public Window {
public:
    // Creates the track window at rect with its thumb at position 0; the range becomes 0..10.
    bool Init(const std::wstring& thumbPicturePath, HWND parent, UINT id, const RECT& rect);
    // 0 stops clicks on the track and dragging of the thumb; 1 allows them.
    virtual void SetEnabled(int flag);
    // The thumb shows this picture from now on.
    void SetThumbPicture(const std::wstring& picturePath);
    // Sets the track's background (the bar owns it) and redraws.
    void SetBackground(std::unique_ptr<Gdiplus::Bitmap> background);

    CPngHSlider& thumb() { return thumb_; }
    UINT id() const { return id_; }

    int min = 0;
    int max = 10;
    RECT travel{};  // parent coordinates; clicks are mapped onto it
    int disabledInput = 0;
    SIZE thumbSize{};

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    std::wstring thumbPath_;
    std::unique_ptr<Gdiplus::Bitmap> background_;
    CPngHSlider thumb_;
    UINT id_ = 0;
};

}  // namespace q350::ui
