#pragma once
// Owners of GDI and GDI+ resources: every handle the skin creates is released by one of these.
#include <windows.h>

#include <utility>

namespace q350::ui {

// Owns one GDI object (bitmap, brush, font, pen or region) and deletes it.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h_(h) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o)
            Reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Deletes the held object and takes h.
    void Reset(H h = nullptr) {
        if (h_ != nullptr && h_ != h)
            DeleteObject(h_);
        h_ = h;
    }
    // Gives the handle away without deleting it.
    H Release() { return std::exchange(h_, nullptr); }

private:
    H h_ = nullptr;
};

using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Pen = GdiObject<HPEN>;
using Region = GdiObject<HRGN>;

// A memory device context, deleted at the end of its scope.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatible = nullptr) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDc() {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A window's (or the screen's, for a null window) device context, released at scope end.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintDc() { EndPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return ps_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects an object into a context and selects the previous one back at scope end.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() {
        if (old_)
            SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The description of an uncompressed picture of width x height pixels at bitCount bits a pixel,
// its rows stored from the top down or from the bottom up.
enum class RowOrder { TopDown, BottomUp };
BITMAPINFO PixelInfo(int width, int height, int bitCount, RowOrder rows);

// A picture of the given size (at least 1 x 1) and depth (24 or 32 bits) in the program's own
// memory. Drawing into it and out of it looks as with a bitmap compatible with the screen, but
// making and selecting it needs no round trip to the display.
HBITMAP CreatePixelBitmap(int width, int height, int bitCount = 32);

// An off-screen picture of a given size drawn into through its own context; Present copies it to
// the target context.
class OffscreenBuffer {
public:
    OffscreenBuffer(HDC target, int width, int height);
    ~OffscreenBuffer();
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;
    HDC dc() const { return mem_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }
    void Present(HDC target, int x = 0, int y = 0) const;

private:
    MemoryDc mem_;
    Bitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    int width_, height_;
};

// Size of a bitmap, 0 x 0 for none.
SIZE BitmapSize(HBITMAP bitmap);

// A font described by height, weight, character set, pitch-and-family and face.
HFONT MakeFont(int height, int weight, const wchar_t* face, BYTE charset = DEFAULT_CHARSET,
               BYTE pitchAndFamily = DEFAULT_PITCH | FF_SWISS, BYTE quality = DEFAULT_QUALITY);

// Lets go of the pictures LoadImageFile keeps (before GDI+ ends).
void ForgetDecodedImages();

// Starts GDI+ for the program's lifetime of this object; the picture code needs one alive.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

}  // namespace q350::ui
