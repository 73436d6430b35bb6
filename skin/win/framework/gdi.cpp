#include "skin/win/framework/gdi.h"

#include "skin/win/framework/gdiplus_include.h"

namespace q350::ui {

BITMAPINFO PixelInfo(int width, int height, int bitCount, RowOrder rows) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = rows == RowOrder::TopDown ? -height : height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

HBITMAP CreatePixelBitmap(int width, int height, int bitCount) {
    const BITMAPINFO bi = PixelInfo(width > 0 ? width : 1, height > 0 ? height : 1,
                                    bitCount == 24 ? 24 : 32, RowOrder::BottomUp);
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

OffscreenBuffer::OffscreenBuffer(HDC target, int width, int height)
    : mem_(target), width_(width), height_(height) {
    bitmap_.Reset(CreatePixelBitmap(width, height));
    if (mem_ && bitmap_)
        old_ = SelectObject(mem_.get(), bitmap_.get());
}

OffscreenBuffer::~OffscreenBuffer() {
    if (old_)
        SelectObject(mem_.get(), old_);
}

void OffscreenBuffer::Present(HDC target, int x, int y) const {
    BitBlt(target, x, y, width_, height_, mem_.get(), 0, 0, SRCCOPY);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(bm), &bm) == 0)
        return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

HFONT MakeFont(int height, int weight, const wchar_t* face, BYTE charset, BYTE pitchAndFamily,
               BYTE quality) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, pitchAndFamily, face);
}

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok)
        token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    ForgetDecodedImages();
    if (token_ != 0)
        Gdiplus::GdiplusShutdown(token_);
}

}  // namespace q350::ui
