#pragma once
// Picture loading and window shapes: the free functions every skinned window uses.
#include <windows.h>

#include <memory>
#include <string>

#include "skin/win/framework/gdi.h"
#include "skin/win/framework/gdiplus_include.h"

namespace q350::ui {

// Reads a BMP (or JPEG) file with the system picture decoder into target and stores its size.
// On any failure target holds no bitmap and size is 0 x 0.
void LoadPictureFile(const wchar_t* path, Bitmap& target, SIZE& size);

// Loads resource `id` of `type` ("PNG") of the program into a new GDI+ image. False when the
// resource is missing; data that does not decode still gives an image (with a failed status). The
// memory copy the image reads from stays allocated for the rest of the run.
bool LoadPngResource(const wchar_t* type, WORD id, std::unique_ptr<Gdiplus::Image>& image);

// The shape of a window from its normal sheet: every pixel except the key colour red 255,
// green 0, blue 253. Null for a null bitmap or when the work bitmaps cannot be made.
HRGN RegionFromKeyColour(HBITMAP bitmap);

// Target gets a copy of rect of source (copied through contexts compatible with dc); nothing
// happens when source holds no bitmap.
void CopyBitmapPart(HDC dc, Bitmap& target, const Bitmap& source, const RECT& rect);
void CopyBitmapPart(HDC dc, Bitmap& target, HBITMAP source, const RECT& rect);
// The same rect of count sources into as many targets (a null source leaves its target).
void CopyBitmapParts(HDC dc, Bitmap* targets, const HBITMAP* sources, int count, const RECT& rect);

// Draws a frame picture stretched over dest with 32-pixel corners kept 1:1. A failing piece leaves
// its status in the graphics object and the other pieces are still drawn.
void DrawNineSlice(Gdiplus::Graphics& g, Gdiplus::Image& image, const RECT& dest, int imageW,
                   int imageH);

// Shapes a window (a slider thumb) after its picture: pixels equal to the picture's top-left
// pixel (with transparency turned into black) are cut away.
void RegionFromCornerColour(HWND hwnd, Gdiplus::Bitmap& picture);

// ---- helpers shared by the skinned windows ----------------------------------------------------

// The folder the skins are read from, ending with a backslash: the one given to SetProgramFolder,
// else the running executable's folder.
const std::wstring& ProgramFolder();
// Sets that folder (the program passes its own; test programs, built elsewhere, the program's).
// Call it before any window of the toolkit is created.
void SetProgramFolder(std::wstring folder);
// Program folder + "skins\" + name.
std::wstring SkinPath(const std::wstring& name);
// A GDI+ bitmap from a PNG (or any) file without keeping the file open; null when it cannot be
// read. Each file is decoded once; every call gets its own copy.
std::unique_ptr<Gdiplus::Bitmap> LoadImageFile(const std::wstring& path);
// A new GDI+ bitmap holding rect (x, y, w, h) of source (32-bit with alpha); null for no source.
std::unique_ptr<Gdiplus::Bitmap> ImagePart(Gdiplus::Image* source, int x, int y, int w, int h);
// The same from a GDI bitmap (every pixel opaque); null for no source.
std::unique_ptr<Gdiplus::Bitmap> ImagePart(HBITMAP source, int x, int y, int w, int h);
// A bitmap resource of the program.
HBITMAP LoadBitmapResource(WORD id);

}  // namespace q350::ui
