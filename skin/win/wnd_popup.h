#pragma once
// CWndPopup: a borderless topmost popup whose picture is composed off-screen and handed to the
// system as a layered window; CMenuEx, a vertical list of clickable items with icons on it; and
// CMenuExA, the language menu.
//
// A popup object lives on the heap and deletes itself after its window is destroyed; its creator
// keeps only a pointer and forgets it when the owner hears 1025 with lParam 0 (the popup closing).
// When Create fails the creator deletes the object.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/geometry.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/framework/gdiplus_include.h"
#include "skin/win/framework/window.h"

namespace q350::ui {

class CWndPopup : public Window {
public:
    CWndPopup();
    // The frame picture: "PNG" resource 173 (65 x 65). False when it is missing.
    bool LoadFrameImage();
    // Creates the popup owned by parent at rect (screen coordinates) and shows it.
    bool Create(HWND parent, const RECT& rect);
    // Composes the picture and hands it to the system.
    void Render();
    bool hasFrame() const { return frame_ != nullptr; }

protected:
    virtual void DrawContent(HDC dc, const RECT& client);
    virtual void DrawImages(HDC dc, const RECT& client);
    virtual void OnInitItems() {}
    virtual bool OnHover(int x, int y);
    virtual bool OnPress(int x, int y);
    virtual bool OnRelease(int x, int y);

    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnFinalMessage() override { delete this; }

    Font font_;
    UINT notifyMessage_ = 1025;

private:
    void HoverAtCursor();

    std::unique_ptr<Gdiplus::Image> frame_;
    int frameW_ = 0;
    int frameH_ = 0;
    POINT showPos_{};
    bool hoverRequested_ = false;
    bool leftDown_ = false;
    bool captured_ = false;
};

class CMenuEx : public CWndPopup {
public:
    struct Item {
        int command = 0;
        std::unique_ptr<Gdiplus::Image> icon;
        int iconW = 0;
        int iconH = 0;
        std::wstring text;
        skin::Rect rect;
    };
    // Appends an item with the icon of "PNG" resource pngId; returns the number of items.
    int AppendItem(const std::wstring& text, int pngId, int command);
    int hotItem() const { return hot_; }
    const std::vector<Item>& items() const { return items_; }

protected:
    void DrawContent(HDC dc, const RECT& client) override;
    void DrawImages(HDC dc, const RECT& client) override;
    bool OnHover(int x, int y) override;
    bool OnRelease(int x, int y) override;

private:
    void Layout();

    std::vector<Item> items_;
    int hot_ = -1;
};

// The language menu: the twelve languages with their flags, reporting the language index.
class CMenuExA : public CMenuEx {
protected:
    void OnInitItems() override;
};

}  // namespace q350::ui
