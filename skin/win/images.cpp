#include "skin/win/images.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <climits>
#include <map>
#include <mutex>
#include <new>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "base/win/kernel_handle.h"
#include "base/win/module.h"
#include "skin/bmp_file.h"
#include "skin/region_runs.h"

namespace q350::ui {

namespace {

// Releases a COM interface at scope end.
template <class T>
struct ComRelease {
    T* p = nullptr;
    ~ComRelease() {
        if (p)
            p->Release();
    }
};

// An uncompressed BMP straight into a section of its own depth and row order: no decoder, no
// second copy. Null for any other file.
HBITMAP BitmapFromBmpFile(std::span<const std::uint8_t> file) {
    const auto layout = skin::ReadBmpPixels(file);
    if (!layout)
        return nullptr;
    const BITMAPINFO bi =
        PixelInfo(layout->width, layout->height, layout->bitCount,
                  layout->topDown ? RowOrder::TopDown : RowOrder::BottomUp);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr) {
        if (section != nullptr)
            DeleteObject(section);
        return nullptr;
    }
    std::memcpy(bits, file.data() + layout->pixelOffset,
                layout->stride * static_cast<std::size_t>(layout->height));
    return section;
}

// Any picture the system decoder reads (JPEG, palette or compressed BMP), copied into a section.
HBITMAP BitmapFromDecoder(std::span<const std::uint8_t> file) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, file.size());
    if (block == nullptr)
        return nullptr;
    void* data = GlobalLock(block);
    if (data == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(data, file.data(), file.size());
    GlobalUnlock(block);
    ComRelease<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream.p))) {  // the stream frees the block
        GlobalFree(block);
        return nullptr;
    }
    // The decoder's library is loaded only for the pictures that need it.
    static const auto decode =
        win::SystemProc<decltype(&OleLoadPicture)>(L"oleaut32.dll", "OleLoadPicture");
    ComRelease<IPicture> picture;
    if (decode == nullptr ||
        FAILED(decode(stream.p, static_cast<LONG>(file.size()), FALSE, IID_IPicture,
                      reinterpret_cast<void**>(&picture.p))) ||
        picture.p == nullptr) {
        return nullptr;
    }
    OLE_HANDLE handle = 0;
    SHORT type = 0;
    if (FAILED(picture.p->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(picture.p->get_Handle(&handle))) {
        return nullptr;
    }
    // The picture object owns its bitmap; keep a copy of our own.
    const auto source = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    return static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

void LoadPictureFile(const wchar_t* path, Bitmap& target, SIZE& size) {
    target.Reset();
    size = {0, 0};
    std::vector<std::uint8_t> file;
    {
        const win::KernelHandle handle{CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr)};
        if (!handle.valid())
            return;
        const DWORD bytes = GetFileSize(handle.get(), nullptr);
        if (bytes == INVALID_FILE_SIZE || bytes == 0 || bytes > static_cast<DWORD>(LONG_MAX))
            return;
        try {
            file.resize(bytes);
        } catch (const std::bad_alloc&) {
            return;  // no room for it: as an unreadable file
        }
        DWORD read = 0;
        if (!ReadFile(handle.get(), file.data(), bytes, &read, nullptr) || read != bytes)
            return;
    }
    HBITMAP picture = BitmapFromBmpFile(file);
    if (picture == nullptr)
        picture = BitmapFromDecoder(file);
    target.Reset(picture);
    size = BitmapSize(target.get());
}

bool LoadPngResource(const wchar_t* type, WORD id, std::unique_ptr<Gdiplus::Image>& image) {
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (res == nullptr)
        return false;
    const DWORD bytes = SizeofResource(module, res);
    HGLOBAL loaded = LoadResource(module, res);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (bytes == 0 || data == nullptr)
        return false;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, bytes);
    if (block == nullptr)
        return false;
    std::memcpy(reinterpret_cast<void*>(block), data, bytes);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream))) {
        GlobalFree(block);
        return false;
    }
    image.reset(Gdiplus::Image::FromStream(stream));
    stream->Release();
    if (!image)
        image = std::make_unique<Gdiplus::Bitmap>(1, 1, PixelFormat32bppARGB);
    return true;
}

HRGN RegionFromKeyColour(HBITMAP bitmap) {
    if (bitmap == nullptr)
        return nullptr;
    MemoryDc dc(nullptr);
    if (!dc)
        return nullptr;
    const SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;
    const BITMAPINFO bi = PixelInfo(size.cx, size.cy, 32, RowOrder::BottomUp);
    void* bits = nullptr;
    Bitmap section(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr)
        return nullptr;
    {
        SelectGuard selectSection(dc.get(), section.get());
        MemoryDc source(dc.get());
        if (!source)
            return nullptr;
        SelectGuard selectSource(source.get(), bitmap);
        BitBlt(dc.get(), 0, 0, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    BITMAP bm{};
    GetObjectW(section.get(), sizeof(bm), &bm);
    const std::ptrdiff_t stride = (bm.bmWidthBytes + 3) & ~3;
    const auto* base = static_cast<const std::uint8_t*>(bits);
    const std::uint8_t* topRow = base + stride * (size.cy - 1);

    HRGN result = nullptr;
    std::vector<std::uint8_t> buffer;
    skin::CollectShapeRuns(
        topRow, -stride, size.cx, size.cy,
        [&](std::span<const skin::Rect> runs, const skin::Rect& bounds) {
            buffer.assign(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT), 0);
            auto* header = reinterpret_cast<RGNDATAHEADER*>(buffer.data());
            header->dwSize = sizeof(RGNDATAHEADER);
            header->iType = RDH_RECTANGLES;
            header->nCount = static_cast<DWORD>(runs.size());
            header->nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
            header->rcBound = {bounds.left, bounds.top, bounds.right, bounds.bottom};
            auto* rects = reinterpret_cast<RECT*>(buffer.data() + sizeof(RGNDATAHEADER));
            for (std::size_t i = 0; i < runs.size(); ++i) {
                rects[i] = {runs[i].left, runs[i].top, runs[i].right, runs[i].bottom};
            }
            HRGN part = ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()),
                                        reinterpret_cast<const RGNDATA*>(buffer.data()));
            if (part == nullptr)
                return;
            if (result == nullptr) {
                result = part;
            } else {
                CombineRgn(result, result, part, RGN_OR);
                DeleteObject(part);
            }
        });
    return result;
}

void CopyBitmapPart(HDC dc, Bitmap& target, HBITMAP source, const RECT& r) {
    CopyBitmapParts(dc, &target, &source, 1, r);
}

void CopyBitmapParts(HDC dc, Bitmap* targets, const HBITMAP* sources, int count, const RECT& r) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    MemoryDc to(dc);
    MemoryDc from(dc);
    for (int i = 0; i < count; ++i) {
        if (sources[i] == nullptr)
            continue;
        // A part as deep as its sheet: copying it is then a plain copy, and a 24-bit sheet's
        // parts take three bytes a pixel, not four.
        BITMAP bm{};
        const bool deep24 = GetObjectW(sources[i], sizeof(bm), &bm) != 0 && bm.bmBitsPixel == 24;
        const int depth = deep24 ? 24 : 32;
        targets[i].Reset(CreatePixelBitmap(w, h, depth));
        SelectGuard selTo(to.get(), targets[i].get());
        SelectGuard selFrom(from.get(), sources[i]);
        BitBlt(to.get(), 0, 0, w, h, from.get(), r.left, r.top, SRCCOPY);
    }
}

void CopyBitmapPart(HDC dc, Bitmap& target, const Bitmap& source, const RECT& r) {
    CopyBitmapPart(dc, target, source.get(), r);
}

void DrawNineSlice(Gdiplus::Graphics& g, Gdiplus::Image& image, const RECT& dest, int imageW,
                   int imageH) {
    const auto pieces =
        skin::NineSlicePieces({dest.left, dest.top, dest.right, dest.bottom}, imageW, imageH);
    for (const auto& p : pieces) {
        g.DrawImage(&image, Gdiplus::Rect(p.dest.x, p.dest.y, p.dest.width, p.dest.height),
                    p.source.x, p.source.y, p.source.width, p.source.height, Gdiplus::UnitPixel);
    }
}

void RegionFromCornerColour(HWND hwnd, Gdiplus::Bitmap& picture) {
    HBITMAP raw = nullptr;
    if (picture.GetHBITMAP(Gdiplus::Color(255, 0, 0, 0), &raw) != Gdiplus::Ok)
        return;
    Bitmap converted(raw);
    RECT wr{};
    GetWindowRect(hwnd, &wr);
    const int w = wr.right - wr.left;
    const int h = wr.bottom - wr.top;
    HRGN region = CreateRectRgn(0, 0, w, h);
    // The pixels of the corner's colour leave the window, read from the picture at once and
    // taken away run by run (a pixel of the window outside the picture stays).
    const SIZE size = BitmapSize(converted.get());
    if (size.cx > 0 && size.cy > 0) {
        BITMAPINFO bi = PixelInfo(size.cx, size.cy, 32, RowOrder::TopDown);
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size.cx) *
                                         static_cast<std::size_t>(size.cy) * 4);
        MemoryDc dc(nullptr);
        if (GetDIBits(dc.get(), converted.get(), 0, static_cast<UINT>(size.cy), pixels.data(), &bi,
                      DIB_RGB_COLORS) == size.cy) {
            const auto runs = skin::CornerColourRuns(pixels.data(), size.cx * 4,
                                                     std::min<int>(w, size.cx),
                                                     std::min<int>(h, size.cy));
            for (const skin::Rect& r : runs) {
                Region cut(CreateRectRgn(r.left, r.top, r.right, r.bottom));
                CombineRgn(region, region, cut.get(), RGN_DIFF);
            }
        }
    }
    if (SetWindowRgn(hwnd, region, TRUE) == 0)
        DeleteObject(region);
}

namespace {

std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.erase(path.find_last_of(L"\\/") + 1);
    return path;
}

std::wstring& ChosenProgramFolder() {
    static std::wstring folder;
    return folder;
}

}  // namespace

const std::wstring& ProgramFolder() {
    std::wstring& folder = ChosenProgramFolder();
    if (folder.empty()) {
        folder = ExecutableFolder();
    }
    return folder;
}

void SetProgramFolder(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') {
        folder += L'\\';
    }
    ChosenProgramFolder() = std::move(folder);
}

std::wstring SkinPath(const std::wstring& name) {
    return ProgramFolder() + L"skins\\" + name;
}

static std::unique_ptr<Gdiplus::Bitmap> DecodeImageFile(const std::wstring& path) {
    // Through a stream of the file's bytes, so the file is not held open by GDI+.
    const win::KernelHandle file{CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (!file.valid())
        return nullptr;
    const DWORD bytes = GetFileSize(file.get(), nullptr);
    if (bytes == INVALID_FILE_SIZE || bytes == 0)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (block == nullptr)
        return nullptr;
    void* data = GlobalLock(block);
    DWORD read = 0;
    const BOOL ok = data != nullptr && ReadFile(file.get(), data, bytes, &read, nullptr);
    if (data)
        GlobalUnlock(block);
    ComRelease<IStream> stream;
    if (!ok || read != bytes || FAILED(CreateStreamOnHGlobal(block, TRUE, &stream.p))) {
        GlobalFree(block);
        return nullptr;
    }
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream.p));
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    // A copy that no longer reads from the stream.
    return ImagePart(decoded.get(), 0, 0, static_cast<int>(decoded->GetWidth()),
                     static_cast<int>(decoded->GetHeight()));
}

namespace {

// Decoded pictures by path: a slider thumb or a bar is read by every control that shows it, and
// the files do not change while the program runs.
struct DecodedImages {
    std::mutex lock;
    std::map<std::wstring, std::unique_ptr<Gdiplus::Bitmap>> byPath;
};
DecodedImages& Decoded() {
    static DecodedImages images;
    return images;
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> LoadImageFile(const std::wstring& path) {
    DecodedImages& decoded = Decoded();
    std::lock_guard<std::mutex> hold(decoded.lock);
    auto it = decoded.byPath.find(path);
    if (it == decoded.byPath.end()) {
        auto picture = DecodeImageFile(path);
        if (!picture)
            return nullptr;  // not kept: the file may turn up later
        it = decoded.byPath.emplace(path, std::move(picture)).first;
    }
    Gdiplus::Bitmap& master = *it->second;
    return std::unique_ptr<Gdiplus::Bitmap>(master.Clone(
        0, 0, static_cast<INT>(master.GetWidth()), static_cast<INT>(master.GetHeight()),
        PixelFormat32bppARGB));
}

void ForgetDecodedImages() {
    DecodedImages& decoded = Decoded();
    std::lock_guard<std::mutex> hold(decoded.lock);
    decoded.byPath.clear();
}

std::unique_ptr<Gdiplus::Bitmap> ImagePart(Gdiplus::Image* source, int x, int y, int w, int h) {
    if (source == nullptr || w <= 0 || h <= 0)
        return nullptr;
    auto part = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
    Gdiplus::Graphics g(part.get());
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    g.DrawImage(source, Gdiplus::Rect(0, 0, w, h), x, y, w, h, Gdiplus::UnitPixel);
    return part;
}

std::unique_ptr<Gdiplus::Bitmap> ImagePart(HBITMAP source, int x, int y, int w, int h) {
    if (source == nullptr || w <= 0 || h <= 0)
        return nullptr;
    // Through a 32-bit top-down section, whose rows GDI+ takes as they are; every pixel opaque,
    // as a decoded picture without transparency would be.
    const BITMAPINFO bi = PixelInfo(w, h, 32, RowOrder::TopDown);
    void* bits = nullptr;
    Bitmap section(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr)
        return nullptr;
    {
        MemoryDc to(nullptr);
        MemoryDc from(nullptr);
        SelectGuard selTo(to.get(), section.get());
        SelectGuard selFrom(from.get(), source);
        BitBlt(to.get(), 0, 0, w, h, from.get(), x, y, SRCCOPY);
    }
    GdiFlush();
    auto part = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, w, h);
    if (part->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok)
        return nullptr;
    const auto* from = static_cast<const std::uint32_t*>(bits);
    for (int row = 0; row < h; ++row) {
        auto* to = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(data.Scan0) +
                                                    static_cast<std::ptrdiff_t>(row) * data.Stride);
        for (int col = 0; col < w; ++col)
            to[col] = from[static_cast<std::size_t>(row) * static_cast<std::size_t>(w) +
                           static_cast<std::size_t>(col)] |
                      0xFF000000u;
    }
    part->UnlockBits(&data);
    return part;
}

HBITMAP LoadBitmapResource(WORD id) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace q350::ui
