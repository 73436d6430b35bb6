// skindemo.exe: every skinned control and popup on one window, in its states, so that a person
// (and the screenshot test) can look at the toolkit. "/autoclose" ends it after ten seconds.
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/win/avi_button.h"
#include "skin/win/bitmap_edit.h"
#include "skin/win/color_btn.h"
#include "skin/win/dpi_progress_dlg.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"
#include "skin/win/gdi_bitmap_btn.h"
#include "skin/win/images.h"
#include "skin/win/info_dlg.h"
#include "skin/win/irr_button.h"
#include "skin/win/list_box_ex.h"
#include "skin/win/png_h_progress_bar.h"
#include "skin/win/png_h_slider.h"
#include "skin/win/skin_ids.h"
#include "skin/win/skin_scroll.h"
#include "skin/win/wnd_popup.h"

namespace q350::ui {
namespace {

constexpr UINT_PTR kCloseTimer = 1;

class DemoWindow : public Window {
public:
    bool Open(bool autoClose) {
        autoClose_ = autoClose;
        SIZE size{};
        LoadPictureFile(SkinPath(L"Main_Normal.bmp").c_str(), normal_, size);
        LoadPictureFile(SkinPath(L"Main_Over.bmp").c_str(), over_, size);
        LoadPictureFile(SkinPath(L"Main_Down.bmp").c_str(), down_, size);
        if (!normal_)
            size = {960, 650};
        size_ = size;
        RegisterWindowClass(L"Q350SkinDemo", CS_DBLCLKS, nullptr, nullptr);
        const int x = (GetSystemMetrics(SM_CXFULLSCREEN) - size.cx) / 2;
        const int y = (GetSystemMetrics(SM_CYFULLSCREEN) - size.cy) / 2;
        return Create(L"Q350SkinDemo", L"Q350 Skin Demo", WS_POPUP | WS_CLIPCHILDREN, 0,
                      RECT{x, y, x + size.cx, y + size.cy}, nullptr, 0);
    }

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        switch (msg) {
            case WM_CREATE:
                Build();
                return false;
            case WM_PAINT:
                Paint();
                return true;
            case WM_ERASEBKGND:
                result = 1;
                return true;
            case WM_COMMAND:
                OnCommand(reinterpret_cast<HWND>(lp));
                return true;
            case kMsgMenuChoice:
                if (lp == 0) {
                    menu_ = nullptr;
                } else if (menu_) {
                    PostMessageW(menu_->hwnd(), WM_CLOSE, 0, 0);
                }
                return true;
            case kMsgSliderPos:
                progress_.pos = static_cast<int>(wp) * 10;
                progress_.RedrawNow();
                SendMessageW(dpi_.hwnd(), kMsgProgress, wp * 8 + 1, 0);
                return true;
            case WM_TIMER:
                if (wp == kCloseTimer)
                    DestroyWindow(hwnd_);
                return true;
            case WM_DESTROY:
                PostQuitMessage(0);
                return false;
            default:
                return false;
        }
    }

private:
    void Build() {
        Region shape(RegionFromKeyColour(normal_.get()));
        if (shape && SetWindowRgn(hwnd_, shape.get(), TRUE))
            shape.Release();
        const HBITMAP n = normal_.get(), o = over_.get(), d = down_.get();

        minimise_.Create(hwnd_, RECT{888, 3, 921, 34});
        minimise_.SetSheetImages(n, o, d, n, RECT{888, 3, 921, 34});
        close_.Create(hwnd_, RECT{923, 3, 956, 35});
        close_.SetSheetImages(n, o, d, n, RECT{923, 3, 956, 35});
        language_.Create(hwnd_, RECT{15, 617, 57, 635});
        language_.SetSheetImages(n, o, d, n, RECT{15, 617, 57, 635});

        const std::vector<std::vector<POINT>> tabs = {
            {{27, 85}, {190, 85}, {212, 121}, {27, 121}},
            {{192, 84}, {374, 84}, {396, 121}, {210, 121}},
            {{375, 85}, {558, 85}, {581, 121}, {397, 121}},
            {{560, 85}, {743, 85}, {766, 121}, {581, 121}},
            {{746, 85}, {927, 85}, {927, 121}, {767, 121}},
            {{344, 606}, {438, 606}, {414, 634}, {321, 635}},
            {{440, 606}, {534, 606}, {510, 634}, {417, 635}},
            {{534, 606}, {628, 606}, {605, 635}, {511, 635}},
            {{629, 606}, {724, 606}, {700, 635}, {606, 635}},
            {{724, 608}, {820, 608}, {797, 635}, {701, 635}},
            {{837, 589}, {943, 589}, {943, 635}, {799, 635}},
        };
        for (std::size_t i = 0; i < tabs.size(); ++i) {
            auto tab = std::make_unique<CIrrButton>();
            tab->CreateFromPolygon(tabs[i], hwnd_);
            tab->SetSheets(n, o, d, n);
            tab->selectionMode = i < 10 ? 1 : 0;
            tabs_.push_back(std::move(tab));
        }
        tabs_[0]->SetSelected(true);
        tabs_[5]->SetSelected(true);

        // Message box buttons cut from the compiled-in sheets, in three states.
        infoNormal_.Reset(LoadBitmapResource(IDB_INFO_QUESTION_NORMAL));
        infoOver_.Reset(LoadBitmapResource(IDB_INFO_QUESTION_OVER));
        infoDown_.Reset(LoadBitmapResource(IDB_INFO_QUESTION_DOWN));
        const wchar_t* captions[3] = {L"Normal", L"Hover", L"Checked"};
        for (int i = 0; i < 3; ++i) {
            auto& b = buttons_[i];
            const int x = 40 + i * 80;
            b.Create(hwnd_, RECT{x, 150, x + 66, 182});
            b.SetSheetImages(infoNormal_.get(), infoOver_.get(), infoDown_.get(), infoNormal_.get(),
                             RECT{178, 127, 244, 159});
            b.SetText(captions[i]);
            b.textColourNormal = RGB(83, 97, 103);
            b.textColourHover = RGB(255, 255, 255);
            b.textColourDown = RGB(255, 255, 255);
        }
        buttons_[1].hover = 1;
        buttons_[2].checkMode = 1;
        buttons_[2].SetCheck(1);
        buttons_[2].toggleOnClick = 1;
        infoButton_.Create(hwnd_, RECT{280, 150, 346, 182});
        infoButton_.SetSheetImages(infoNormal_.get(), infoOver_.get(), infoDown_.get(),
                                   infoNormal_.get(), RECT{245, 127, 311, 159});
        infoButton_.SetText(L"Message");
        infoButton_.textColourNormal = RGB(83, 97, 103);

        const COLORREF swatches[6] = {RGB(255, 0, 0),   RGB(0, 255, 0),    RGB(0, 0, 255),
                                      RGB(255, 255, 0), RGB(31, 161, 211), RGB(255, 255, 255)};
        for (int i = 0; i < 6; ++i) {
            colours_[i].Create(hwnd_, RECT{40 + i * 30, 200, 64 + i * 30, 224});
            colours_[i].colour = swatches[i];
            colours_[i].frameOn = 1;
        }
        colours_[1].selectedLook = 1;
        colours_[2].hover = 1;

        avi_.animationId = IDR_DBLCLICK_AVI;
        avi_.Create(hwnd_, RECT{240, 196, 293, 236});

        const RECT sliderRect{40, 250, 300, 280};
        slider_.Init(SkinPath(L"Slider.png"), hwnd_, 5, sliderRect);
        slider_.min = slider_.thumb().min = 0;
        slider_.max = slider_.thumb().max = 10;
        slider_.travel = RECT{40, 250, 295, 280};
        slider_.SetBackground(PartOfSheet(sliderRect));
        slider_.thumb().SetPos(6);
        disabledSlider_.Init(SkinPath(L"SliderDisable.PNG"), hwnd_, 6, RECT{40, 285, 300, 315});
        disabledSlider_.min = disabledSlider_.thumb().min = 0;
        disabledSlider_.max = disabledSlider_.thumb().max = 10;
        disabledSlider_.SetBackground(PartOfSheet(RECT{40, 285, 300, 315}));
        disabledSlider_.SetEnabled(0);
        disabledSlider_.thumb().SetPos(3);

        progressBack_ = LoadImageFile(ProgramFolder() + L"skins\\ProgressBar\\Progress_Normal.png");
        progressFill_ = LoadImageFile(ProgramFolder() + L"skins\\ProgressBar\\Progress_Over.png");
        progress_.Create(RECT{40, 330, 300, 339}, hwnd_);
        progress_.SetPictures(35, 47, 260, 9, progressBack_.get(), progressFill_.get());
        progress_.min = 0;
        progress_.max = 100;
        progress_.pos = 60;
        progress_.disabledInput = 1;

        edit_.Create(hwnd_, RECT{320, 252, 380, 276}, 9);
        edit_.min = 0;
        edit_.max = 255;
        edit_.SetBackground(normal_.get(), 320, 252, 60, 24);
        SetWindowTextW(edit_.hwnd(), L"128");

        list_.Create(hwnd_, RECT{420, 150, 620, 330}, 20);
        list_.SetBackground(static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const wchar_t* rows[] = {L"A down", L"Delay 30 ms", L"A up",
                                 L"B down", L"Delay 45 ms", L"B up"};
        const int kinds[] = {3, 4, 2, 3, 4, 2};
        for (int rep = 0; rep < 3; ++rep) {
            for (int i = 0; i < 6; ++i)
                list_.AddItem(rows[i], kinds[i], 0, false);
        }
        SendMessageW(list_.hwnd(), LB_SETCURSEL, 1, 0);
        scrollSkin_.Reset(LoadBitmapResource(IDB_SCROLLBAR));
        SkinWndScroll(list_.hwnd(), scrollSkin_.get());

        layered_.Create(hwnd_);
        dpi_.Create(layered_.hwnd());
        dpi_.minimum = 1;
        dpi_.maximum = 82;
        const int bar[4] = {4, 36, 324, 85};
        std::copy(bar, bar + 4, dpi_.barRect);
        RECT wr{};
        GetWindowRect(hwnd_, &wr);
        SetWindowPos(dpi_.hwnd(), HWND_TOPMOST, wr.left + 600, wr.top + 440, 330, 94,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
        SendMessageW(dpi_.hwnd(), kMsgProgress, 32, 0);

        if (autoClose_)
            StartTimer(kCloseTimer, 10000);
    }

    std::unique_ptr<Gdiplus::Bitmap> PartOfSheet(const RECT& r) {
        std::unique_ptr<Gdiplus::Bitmap> sheet(
            Gdiplus::Bitmap::FromHBITMAP(normal_.get(), nullptr));
        return ImagePart(sheet.get(), r.left, r.top, r.right - r.left, r.bottom - r.top);
    }

    void OpenLanguageMenu() {
        if (menu_)
            PostMessageW(menu_->hwnd(), WM_CLOSE, 0, 0);
        RECT b{};
        GetWindowRect(language_.hwnd(), &b);
        auto* menu = new CMenuExA();
        menu->LoadFrameImage();
        if (!menu->Create(hwnd_, RECT{b.left - 4, b.bottom - 287, b.right, b.bottom})) {
            delete menu;
            return;
        }
        menu_ = menu;
    }

    void OnCommand(HWND from) {
        if (from == close_.hwnd()) {
            DestroyWindow(hwnd_);
        } else if (from == minimise_.hwnd()) {
            ShowWindow(hwnd_, SW_MINIMIZE);
        } else if (from == language_.hwnd()) {
            OpenLanguageMenu();
        } else if (from == infoButton_.hwnd()) {
            ShowInfoBox(L"Every window of the program is drawn from pictures.", 1, hwnd_);
        } else {
            for (std::size_t i = 0; i < tabs_.size(); ++i) {
                if (tabs_[i]->hwnd() != from || i == 10)
                    continue;
                const std::size_t first = i < 5 ? 0 : 5;
                for (std::size_t k = first; k < first + 5; ++k)
                    tabs_[k]->SetSelected(k == i);
            }
        }
    }

    void Paint() {
        PaintDc paint(hwnd_);
        if (normal_) {
            MemoryDc src(paint.get());
            SelectGuard sel(src.get(), normal_.get());
            BitBlt(paint.get(), 0, 0, size_.cx, size_.cy, src.get(), 0, 0, SRCCOPY);
        }
        Font font(MakeFont(14, 300, L"MS Shell Dlg"));
        SelectGuard sel(paint.get(), font.get());
        SetBkMode(paint.get(), TRANSPARENT);
        SetTextColor(paint.get(), RGB(83, 97, 103));
        RECT status{67, 598, 313, 631};
        DrawTextW(paint.get(), L"Skinned controls demo", -1, &status,
                  DT_VCENTER | DT_WORDBREAK | DT_NOCLIP | DT_EDITCONTROL | DT_END_ELLIPSIS);
    }

    bool autoClose_ = false;
    SIZE size_{};
    Bitmap normal_, over_, down_;
    Bitmap infoNormal_, infoOver_, infoDown_, scrollSkin_;
    CGDIBitmapBtn minimise_, close_, language_, infoButton_;
    CGDIBitmapBtn buttons_[3];
    std::vector<std::unique_ptr<CIrrButton>> tabs_;
    CColorBtn colours_[6];
    CAVIButton avi_;
    CPngHSliderBar slider_, disabledSlider_;
    std::unique_ptr<Gdiplus::Bitmap> progressBack_, progressFill_;
    CPngHProgressBar progress_;
    CBitmapEdit edit_;
    CListBoxEx list_;
    CUpLayeredDlg layered_;
    CDpiProgressDlg dpi_;
    CMenuExA* menu_ = nullptr;
};

}  // namespace
}  // namespace q350::ui

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR cmdLine, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc),
                             ICC_STANDARD_CLASSES | ICC_ANIMATE_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    q350::ui::SetProgramFolder(Q350_PROGRAM_FOLDER);
    int code = 0;
    {
        q350::ui::GdiplusSession gdiplus;
        q350::ui::DemoWindow demo;
        const bool autoClose =
            cmdLine && std::wstring(cmdLine).find(L"/autoclose") != std::wstring::npos;
        if (!demo.Open(autoClose))
            return 1;
        ShowWindow(demo.hwnd(), SW_SHOW);
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0) > 0) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        code = static_cast<int>(m.wParam);
    }
    OleUninitialize();
    return code;
}
