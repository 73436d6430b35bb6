#include "pages/win/setting_dlg.h"

#include "skin/win/images.h"
#include "skin/win/info_dlg.h"

namespace q350::pages {

namespace {
constexpr RECT kCloseRect{383, 1, 411, 24};
constexpr RECT kOkRect{316, 254, 393, 289};
constexpr RECT kRestoreRect{238, 254, 315, 289};
constexpr RECT kDisableRect{23, 258, 42, 277};
constexpr RECT kTabRects[4] = {
    {0, 37, 110, 64}, {111, 37, 207, 64}, {208, 37, 303, 64}, {304, 37, 412, 64}};
constexpr RECT kSubPanelRect{21, 74, 391, 243};
constexpr SIZE kDefaultSize{412, 296};  // without pictures

constexpr RECT kTitleRect{135, 1, 277, 20};
constexpr RECT kCurrentRect{5, 16, 180, 38};
constexpr RECT kDisableTextRect{46, 258, 106, 278};
constexpr COLORREF kTitleColour = RGB(88, 95, 105);
constexpr COLORREF kTextColour = RGB(189, 189, 200);
constexpr COLORREF kTabText = RGB(83, 97, 103);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Texts {
    const wchar_t* english;
    const wchar_t* chinese;
    const wchar_t* of(bool zh) const { return zh ? chinese : english; }
};
constexpr Texts kTabTexts[4] = {
    {L"Singlecomb", L"组合键"}, {L"Macro Set", L"宏设置"}, {L"Base", L"基本功能"},
    {L"Advanced", L"高级功能"}};
constexpr Texts kOkText{L"OK", L"确定"};
constexpr Texts kRestoreText{L"Restore", L"恢复默认"};
constexpr Texts kTitleText{L"Key setting panel", L"按键设定面板"};
constexpr Texts kCurrentText{L"Current function: ", L"当前功能: "};
constexpr Texts kDisableText{L"Disable key", L"禁用按键"};

ui::Dialog::Template PanelTemplate() {
    ui::Dialog::Template t;
    t.style = WS_POPUP | DS_SETFONT;
    return t;
}
}  // namespace

CSettingDlg::CSettingDlg(WinPageHost& host, int button, std::wstring currentFunction)
    : Dialog(PanelTemplate()),
      host_(host),
      model_(button, host.currentMode()),
      currentFunction_(std::move(currentFunction)),
      macroSet_(host.macros(), host.chinese()),
      advanced_(button) {}

CSettingDlg::~CSettingDlg() {
    // However the panel went, the hook no longer delivers keys to its windows.
    host_.setKeyDelivery(false);
}

bool CSettingDlg::Run(HWND page) {
    page_ = page;
    ModalKeyFilter keys;
    const INT_PTR end = DoModal(page);
    host_.setKeyDelivery(false);
    return end == IDOK;
}

bool CSettingDlg::OnInitDialog() {
    SetWindowTextW(hwnd_, L"QuorvQ300Setting");
    sheets_.Load(L"setting", L"Setting");
    const SIZE size = sheets_.size.cx > 0 ? sheets_.size : kDefaultSize;
    RECT page{};
    GetWindowRect(page_, &page);
    const int left = page.left + ((page.right - page.left) - size.cx) / 2;
    const int top = page.top + ((page.bottom - page.top) - size.cy) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ui::Region shape(ui::RegionFromKeyColour(sheets_.normal()));
    if (shape && SetWindowRgn(hwnd_, shape.get(), TRUE)) {
        shape.Release();
    }
    font_.Reset(MakePanelFont());

    const bool zh = host_.chinese();
    CreateSheetButton(close_, hwnd_, kCloseRect, sheets_, false);
    CreateSheetButton(ok_, hwnd_, kOkRect, sheets_, false);
    ok_.SetText(kOkText.of(zh));
    CreateSheetButton(restore_, hwnd_, kRestoreRect, sheets_, false);
    restore_.SetText(kRestoreText.of(zh));
    for (std::size_t i = 0; i < tabs_.size(); ++i) {
        CreateSheetButton(tabs_[i], hwnd_, kTabRects[i], sheets_, true);
        tabs_[i].SetText(kTabTexts[i].of(zh));
        tabs_[i].textColourNormal = kTabText;
        tabs_[i].textColourHover = kWhite;
        tabs_[i].textColourDown = kWhite;
    }
    CreateSheetButton(disable_, hwnd_, kDisableRect, sheets_, true);

    for (CSubPanel* panel : std::initializer_list<CSubPanel*>{&combo_, &macroSet_, &basic_,
                                                              &advanced_}) {
        panel->Create(hwnd_, kSubPanelRect);
        panel->Show(false);
    }
    SelectTab(kTabCombo);
    return true;
}

void CSettingDlg::ApplyHook(SettingPanelModel::Hook hook) {
    switch (hook) {
        case SettingPanelModel::Hook::Start:
            host_.setKeyReceiver(combo_.hwnd());
            host_.setKeyDelivery(true);
            break;
        case SettingPanelModel::Hook::Stop:
            host_.setKeyDelivery(false);
            break;
        case SettingPanelModel::Hook::Unchanged:
            break;
    }
}

void CSettingDlg::SelectTab(int tab) {
    ApplyHook(model_.selectTab(tab));
    ShowTabs();
}

void CSettingDlg::ShowTabs() {
    CSubPanel* panels[4] = {&combo_, &macroSet_, &basic_, &advanced_};
    for (int i = 0; i < 4; ++i) {
        const int tab = kTabCombo + i;
        tabs_[static_cast<std::size_t>(i)].SetCheck(model_.tabButtonSet(tab) ? 1 : 0);
        panels[i]->Show(model_.panelShown(tab));
    }
    disable_.SetCheck(model_.disabled() ? 1 : 0);
}

void CSettingDlg::Finish(bool ok) {
    host_.setKeyDelivery(false);
    End(ok ? IDOK : IDCANCEL);
}

void CSettingDlg::OnCommand(HWND from) {
    for (std::size_t i = 0; i < tabs_.size(); ++i) {
        if (from == tabs_[i].hwnd()) {
            SelectTab(kTabCombo + static_cast<int>(i));
            return;
        }
    }
    if (from == disable_.hwnd()) {
        ApplyHook(model_.clickDisable());
        ShowTabs();
    } else if (from == close_.hwnd()) {
        Finish(false);
    } else if (from == restore_.hwnd()) {
        result_ = model_.restore();
        Finish(true);
    } else if (from == ok_.hwnd()) {
        SettingPanelModel::SubPanels panels;
        panels.basic = [this] {
            PanelResult r;
            r.value = basic_.SelectedCode();
            return r;
        };
        panels.advanced = [this] { return advanced_.Result(); };
        panels.macro = [this] { return macroSet_.Result(); };
        panels.combo = [this] { return combo_.Result(); };
        result_ = model_.ok(panels);
        Finish(SettingPanelModel::EndsWithOk(result_));
    }
}

void CSettingDlg::Paint() {
    ui::PaintDc dc(hwnd_);
    const RECT client = ClientRect();
    DrawSheet(dc.get(), sheets_.normal(), POINT{0, 0}, client);
    const bool zh = host_.chinese();
    DrawPanelText(dc.get(), font_.get(), kTitleText.of(zh), kTitleRect, kTitleColour, true);
    DrawPanelText(dc.get(), font_.get(), std::wstring(kCurrentText.of(zh)) + currentFunction_,
                  kCurrentRect, kTextColour);
    DrawPanelText(dc.get(), font_.get(), kDisableText.of(zh), kDisableTextRect, kTextColour);
}

bool CSettingDlg::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
        case WM_HELP:
            result = 1;
            return true;
        case WM_LBUTTONDOWN:
            PostMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, lp);
            return true;
        case WM_COMMAND:
            if (lp != 0) {
                OnCommand(reinterpret_cast<HWND>(lp));
            }
            // Keyboard commands (Enter, Escape) never end the panel.
            return true;
        case WM_CLOSE:
            Finish(false);
            return true;
        case WM_DESTROY:
            host_.setKeyDelivery(false);
            return false;
        default:
            return false;
    }
}

}  // namespace q350::pages

