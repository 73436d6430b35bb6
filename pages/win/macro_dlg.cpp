#include "pages/win/macro_dlg.h"

#include <windowsx.h>

#include <string>
#include <vector>

#include "base/utf.h"
#include "config/key_tables.h"
#include "outside/KeyCapture/key_capture.h"
#include "skin/win/images.h"
#include "skin/win/info_dlg.h"
#include "skin/win/skin_ids.h"
#include "skin/win/skin_scroll.h"

namespace q350::pages {

namespace {

using namespace macro_layout;

constexpr const wchar_t* kSheetFiles[] = {L"Macro_normal.bmp", L"Macro_down.bmp",
                                          L"Macro_over.bmp"};
constexpr WORD kScrollSkinResource = 147;
constexpr COLORREF kListBackground = RGB(20, 20, 20);
constexpr COLORREF kEditText = RGB(21, 140, 185);
constexpr COLORREF kEditBackground = RGB(15, 15, 15);
constexpr COLORREF kRowText = RGB(150, 150, 150);
constexpr COLORREF kSelectedFill = RGB(37, 37, 37);
// Posted to the page when an in-place edit has ended: wParam = the row.
constexpr UINT kMsgRowRenamed = WM_APP + 16;
constexpr DWORD kNumberEdit = WS_CHILD | WS_VISIBLE | ES_NUMBER | ES_AUTOHSCROLL | ES_CENTER;
constexpr DWORD kKeyEditStyle = WS_CHILD | ES_READONLY | ES_AUTOHSCROLL | ES_CENTER;

RECT ToRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

std::wstring Wide(std::u16string_view s) {
    return std::wstring(s.begin(), s.end());
}

std::u16string WindowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return std::u16string(text.begin(), text.end());
}

void ShowControl(HWND hwnd, bool shown) {
    if (hwnd != nullptr) {
        ShowWindow(hwnd, shown ? SW_SHOW : SW_HIDE);
    }
}

}  // namespace

CMacroDlg::CMacroDlg(WinPageHost& host, bool chineseLayout)
    : CPageBase(host), model_(host), chineseLayout_(chineseLayout) {}

bool CMacroDlg::OnInitDialog() {
    LoadSheets();
    // Without the menu library the group menu does not open; everything else works.
    menus_.load();
    BuildControls();
    // The controls have cut their looks out of the sheets; painting needs the normal one only.
    sheets_[kOver].Reset();
    sheets_[kDown].Reset();
    OnGroupChosen(kGroupCustom);
    return true;
}

void CMacroDlg::LoadSheets() {
    LoadLayoutSheets(kSheetFiles, chineseLayout_, sheets_);
}

HWND CMacroDlg::MakeEdit(const Rect& r, UINT id, DWORD style, int limit, const wchar_t* text) {
    const HWND edit = CreateWindowExW(
        0, L"EDIT", text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd_,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (edit != nullptr) {
        SendMessageW(edit, WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
        SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    }
    return edit;
}

void CMacroDlg::BuildControls() {
    const HBITMAP n = sheets_[kNormal].get(), o = sheets_[kOver].get(), d = sheets_[kDown].get();
    auto button = [&](ui::CGDIBitmapBtn& b, const Rect& r, bool twoState) {
        const RECT rect = ToRect(r);
        b.Create(hwnd_, rect);
        b.SetSheetImages(n, o, d, n, rect);
        b.checkMode = twoState ? 1 : 0;
        b.toggleOnClick = 0;
    };
    button(record_, kRecord, false);
    button(group_, kGroup, false);
    button(noPause_, kNoPause, true);
    button(loop_, kLoop, true);
    button(toggle_, kToggle, true);
    button(hold_, kHold, true);
    button(newMacro_, kNewMacro, false);
    button(deleteMacro_, kDeleteMacro, false);
    button(insertEvent_, kInsertEvent, false);
    button(deleteEvent_, kDeleteEvent, false);
    button(modifyEvent_, kModifyEvent, false);
    button(keyType_, kKeyType, true);
    button(keyOk_, kKeyOk, false);
    button(pauseType_, kPauseType, true);
    button(pauseOk_, kPauseOk, false);
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        button(pictures_[i], kPictures[i], false);
        pictures_[i].notifyPress = 1;
    }
    listBrush_.Reset(CreateSolidBrush(kListBackground));
    editBrush_.Reset(CreateSolidBrush(kEditBackground));
    scrollSkin_.Reset(ui::LoadBitmapResource(kScrollSkinResource));
    for (auto [list, r, id] : {std::tuple{&macroList_, kMacroList, kMacroListId},
                               std::tuple{&eventList_, kEventList, kEventListId}}) {
        if (!list->Create(hwnd_, ToRect(r), id)) {
            continue;
        }
        list->SetBackground(listBrush_.get());
        list->textColour = kRowText;
        list->selectedFill = kSelectedFill;
        list->selectedText = kEditText;
        list->SetNotifyTarget(hwnd_);
        if (scrollSkin_) {
            ui::SkinWndScroll(list->hwnd(), scrollSkin_.get());
        }
    }
    macroList_.editableByDoubleClick = 1;
    loopEdit_ = MakeEdit(kLoopCount, kLoopEditId, kNumberEdit, 4, L"1");
    keyEdit_ = MakeEdit(kKeyEdit, kKeyEditId, kKeyEditStyle, 1, L"A");
    pauseEdit_ = MakeEdit(kPauseEdit, kPauseEditId, kNumberEdit & ~WS_VISIBLE, 4, L"7");
    for (ui::CGDIBitmapBtn* hidden : {&keyType_, &keyOk_, &pauseType_, &pauseOk_}) {
        ShowControl(hidden->hwnd(), false);
    }
    LanguageChanged();
}

void CMacroDlg::LanguageChanged() {
    ShowRecorder();
    ShowGroup();
    Invalidate(false);
}

// ---- showing the model --------------------------------------------------------------------------

void CMacroDlg::ShowGroup() {
    group_.SetText(Wide(GroupName(model_.group(), host_.chinese())));
}

void CMacroDlg::ShowMacros() {
    const HWND list = macroList_.hwnd();
    if (list == nullptr) {
        return;
    }
    macroList_.EndEdit(false);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const MacroRow& row : model_.macros()) {
        macroList_.AddItem(Wide(row.name), 0, row.id, false);
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(model_.selectedRow()), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CMacroDlg::ShowEvents() {
    const HWND list = eventList_.hwnd();
    if (list == nullptr) {
        return;
    }
    if (model_.loadCutShort()) {
        OutputDebugStringW(Wide(kNotAnItemTrace).c_str());
    }
    const int selected = SelectedEvent();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    AppendNewEvents();
    const int count = eventList_.Count();
    SendMessageW(list, LB_SETCURSEL, selected < count ? static_cast<WPARAM>(selected) : -1, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CMacroDlg::AppendNewEvents() {
    const auto& events = model_.events();
    for (std::size_t i = static_cast<std::size_t>(eventList_.Count()); i < events.size(); ++i) {
        eventList_.AddItem(Wide(EventText(events[i])), EventRowKind(events[i]),
                           MacroEventValue(events[i]), false);
    }
}

void CMacroDlg::ShowRepeat() {
    const RepeatOption option = model_.repeatOption();
    loop_.SetCheck(option == RepeatOption::Loop ? 1 : 0);
    toggle_.SetCheck(option == RepeatOption::Toggle ? 1 : 0);
    hold_.SetCheck(option == RepeatOption::Hold ? 1 : 0);
    const std::u16string text = model_.loopText();
    if (loopEdit_ != nullptr && WindowText(loopEdit_) != text) {
        // Writing the box is no edit of the user's: it saves nothing.
        loading_ = true;
        SetWindowTextW(loopEdit_, Wide(text).c_str());
        loading_ = false;
    }
}

void CMacroDlg::ShowEditor() {
    const EditorMode mode = model_.editorMode();
    const bool types = mode != EditorMode::Hidden;
    ShowControl(keyType_.hwnd(), types);
    ShowControl(pauseType_.hwnd(), types);
    keyType_.SetCheck(mode == EditorMode::Key ? 1 : 0);
    pauseType_.SetCheck(mode == EditorMode::Pause ? 1 : 0);
    ShowControl(keyEdit_, mode == EditorMode::Key);
    ShowControl(keyOk_.hwnd(), mode == EditorMode::Key);
    ShowControl(pauseEdit_, mode == EditorMode::Pause);
    ShowControl(pauseOk_.hwnd(), mode == EditorMode::Pause);
}

void CMacroDlg::ShowRecorder() {
    const bool recording = model_.recording();
    record_.SetText(Wide(RecordCaption(recording, host_.chinese())));
    for (ui::CGDIBitmapBtn* b :
         {&newMacro_, &deleteMacro_, &insertEvent_, &deleteEvent_, &modifyEvent_}) {
        if (b->hwnd() != nullptr) {
            EnableWindow(b->hwnd(), recording ? FALSE : TRUE);
        }
    }
    noPause_.SetCheck(model_.noPause ? 1 : 0);
    UpdateHook();
}

void CMacroDlg::UpdateHook() {
    const bool wanted = model_.recording() || model_.capturing();
    if (wanted == hookOn_) {
        return;
    }
    if (wanted) {
        host_.setKeyReceiver(hwnd_);
        host_.setKeyDelivery(true);
        // The keys the user presses now are for the hook: typed into a list they would select
        // another macro by its first letter. The record button does nothing with them.
        SetFocus(record_.hwnd());
    } else {
        host_.setKeyDelivery(false);
    }
    hookOn_ = wanted;
}

void CMacroDlg::StopEverything() {
    Report(model_.stopRecording());
    if (model_.capturing()) {
        model_.closeEditor();
        ShowEditor();
    }
    ShowRecorder();
}

void CMacroDlg::SessionEnding() {
    if (hwnd_ != nullptr) {
        const SaveOutcome out = model_.stopRecording();
        (void)out;  // nobody is there to be told any more
        ShowRecorder();
    }
}

void CMacroDlg::Report(SaveOutcome outcome) {
    std::u16string_view text;
    const bool chinese = host_.chinese();
    switch (outcome) {
        case SaveOutcome::LibraryFull:
            text = LibraryFullText(chinese);
            break;
        case SaveOutcome::NotWritten:
            text = NotSavedText(chinese);
            break;
        case SaveOutcome::TooLong:
            text = TooLongText(chinese);
            break;
        case SaveOutcome::Saved:
        case SaveOutcome::Nothing:
            return;
    }
    ui::ShowInfoBox(Wide(text), 0, hwnd_);
}

int CMacroDlg::SelectedEvent() const {
    if (eventList_.hwnd() == nullptr) {
        return -1;
    }
    const LRESULT row = SendMessageW(eventList_.hwnd(), LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? -1 : static_cast<int>(row);
}

// ---- what the user does -------------------------------------------------------------------------

void CMacroDlg::OpenGroupMenu() {
    std::vector<skinmenu::MenuItem> items(kGroupCount);
    for (int g = 1; g <= kGroupCount; ++g) {
        skinmenu::MenuItem& item = items[static_cast<std::size_t>(g - 1)];
        item.parent = skinmenu::kTopLevel;
        item.command = g;
        SetField(item.text, skinmenu::kTextChars, GroupMenuText(g, host_.chinese()));
    }
    RECT r{};
    GetWindowRect(group_.hwnd(), &r);
    menus_.openMenu(hwnd_, POINT{r.left + 1, r.bottom + 1}, items, host_.programFolder());
}

void CMacroDlg::OnGroupChosen(int group) {
    // A recording ends before the lists change: it is stored into its own macro.
    Report(model_.listGroup(group));
    ShowGroup();
    ShowMacros();
    ShowEvents();
    ShowRepeat();
    ShowEditor();
    ShowRecorder();
}

void CMacroDlg::ToggleRecording() {
    if (model_.recording()) {
        Report(model_.stopRecording());
    } else if (model_.startRecording()) {
        ShowEvents();
        ShowEditor();
    }
    ShowRecorder();
}

void CMacroDlg::EndRename() {
    // A click anywhere else on the page ends the in-place rename as the loss of the focus does
    // (Enter never reaches the edit: the program drops it before any window sees it).
    if (macroList_.editRow() >= 0) {
        macroList_.EndEdit(true);
    }
}

void CMacroDlg::OnRenamed(int row) {
    if (row < 0 || row >= static_cast<int>(model_.macros().size()) || row >= macroList_.Count()) {
        return;
    }
    const MacroRow& macro = model_.macros()[static_cast<std::size_t>(row)];
    if (macroList_.ItemText(row) != Wide(macro.name)) {
        const LRESULT selected = SendMessageW(macroList_.hwnd(), LB_GETCURSEL, 0, 0);
        macroList_.ReplaceItem(row, 0, Wide(macro.name), macro.id);
        SendMessageW(macroList_.hwnd(), LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
}

void CMacroDlg::OnCommand(HWND from, int code) {
    if (from == loopEdit_) {
        if (code == EN_CHANGE && !loading_) {
            Report(model_.editLoopText(WindowText(loopEdit_)));
        }
        return;
    }
    if (from == record_.hwnd()) {
        ToggleRecording();
    } else if (from == group_.hwnd()) {
        OpenGroupMenu();
    } else if (from == noPause_.hwnd()) {
        model_.noPause = !model_.noPause;
        ShowRecorder();
    } else if (from == loop_.hwnd() || from == toggle_.hwnd() || from == hold_.hwnd()) {
        const RepeatOption option = from == loop_.hwnd()     ? RepeatOption::Loop
                                    : from == toggle_.hwnd() ? RepeatOption::Toggle
                                                             : RepeatOption::Hold;
        Report(model_.chooseRepeat(option));
        ShowRepeat();
    } else if (from == newMacro_.hwnd()) {
        model_.newMacro(GetTickCount());
        ShowMacros();
        ShowEvents();
        ShowRepeat();
    } else if (from == deleteMacro_.hwnd()) {
        switch (model_.deleteSelected()) {
            case DeleteOutcome::InUse:
                ui::ShowInfoBox(Wide(MacroInUseText(host_.chinese())), 0, hwnd_);
                break;
            case DeleteOutcome::NotWritten:
                Report(SaveOutcome::NotWritten);
                break;
            case DeleteOutcome::Deleted:
                ShowMacros();
                ShowEvents();
                ShowEditor();
                break;
            case DeleteOutcome::Nothing:
                break;
        }
    } else if (from == insertEvent_.hwnd()) {
        model_.showTypes();
        ShowEditor();
    } else if (from == deleteEvent_.hwnd()) {
        const int selected = SelectedEvent();
        Report(model_.deleteEvent(selected));
        ShowEvents();
    } else if (from == modifyEvent_.hwnd()) {
        model_.modifyEvent(SelectedEvent());
        if (model_.editorMode() == EditorMode::Key) {
            SetWindowTextW(keyEdit_, L"");
        }
        ShowEditor();
    } else if (from == keyType_.hwnd()) {
        model_.keyMode();
        SetWindowTextW(keyEdit_, L"");
        ShowEditor();
    } else if (from == pauseType_.hwnd()) {
        model_.pauseMode();
        SetWindowTextW(pauseEdit_, L"");
        ShowEditor();
        SetFocus(pauseEdit_);
    } else if (from == keyOk_.hwnd() || from == pauseOk_.hwnd()) {
        const std::u16string text = WindowText(pauseEdit_);
        std::uint32_t ms = 0;
        for (char16_t c : text) {
            if (c >= u'0' && c <= u'9') {
                ms = ms * 10 + static_cast<std::uint32_t>(c - u'0');
            }
        }
        Report(model_.confirmEditor(SelectedEvent(), ms));
        ShowEvents();
        ShowEditor();
    }
    UpdateHook();
}

void CMacroDlg::OnKey(int virtualKey, unsigned flags) {
    switch (model_.onKey(virtualKey, flags, GetTickCount())) {
        case KeyUse::Captured:
            SetWindowTextW(keyEdit_, Wide(MacroKeyNames(virtualKey & 0xFF)).c_str());
            break;
        case KeyUse::Recorded:
            AppendNewEvents();
            SendMessageW(eventList_.hwnd(), LB_SETCURSEL, -1, 0);
            SendMessageW(eventList_.hwnd(), LB_SETTOPINDEX,
                         static_cast<WPARAM>(eventList_.Count() - 1), 0);
            break;
        case KeyUse::Ignored:
        case KeyUse::Dropped:
            break;
    }
}

void CMacroDlg::OnPicture(WPARAM press, HWND picture) {
    if (!model_.recording() && !model_.capturing()) {
        return;
    }
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        if (picture == pictures_[i].hwnd()) {
            SendMessageW(hwnd_, keycapture::kKeyMessage, static_cast<WPARAM>(kPictureKeys[i]),
                         press == WM_LBUTTONDOWN ? 0 : kKeyReleasedFlag);
        }
    }
}

void CMacroDlg::PostHints(POINT p) {
    const bool editor = model_.editorMode() != EditorMode::Hidden;
    for (const HintArea& area : MacroHintAreas()) {
        const bool editorControl = area.hint == 41 || area.hint == 42;
        const Rect& r = area.rect;
        if ((!editorControl || editor) && p.x >= r.left - 1 && p.x <= r.right && p.y >= r.top - 1 &&
            p.y <= r.bottom) {
            PostHint(area.hint);
        }
    }
}

void CMacroDlg::Paint() {
    ui::PaintDc dc(hwnd_);
    DrawSheet(dc.get(), sheets_[kNormal].get(), POINT{0, 0}, ClientRect());
}

bool CMacroDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_COMMAND:
            menus_.destroyMenu();
            EndRename();
            if (lp != 0) {
                OnCommand(reinterpret_cast<HWND>(lp), HIWORD(wp));
            }
            return true;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            const HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, kEditText);
            SetBkColor(dc, kEditBackground);
            result = reinterpret_cast<LRESULT>(editBrush_.get());
            return true;
        }
        case ui::kMsgListSelection:
            if (wp == kEventListId) {
                EndRename();
            }
            if (wp == kMacroListId) {
                const LRESULT row = SendMessageW(macroList_.hwnd(), LB_GETCURSEL, 0, 0);
                const bool wasRecording = model_.recording();
                Report(model_.select(row == LB_ERR ? -1 : static_cast<int>(row)));
                ShowEvents();
                ShowRepeat();
                if (wasRecording) {
                    ShowRecorder();
                }
            }
            result = 1;
            return true;
        case ui::kMsgListEdited:
            if (wp == kMacroListId) {
                const int row = static_cast<int>(lp);
                const HWND edit = macroList_.editWindow();
                if (edit == nullptr) {
                    return true;
                }
                const std::u16string text = WindowText(edit);
                if (model_.rename(row, text) == RenameOutcome::Failed) {
                    MessageBoxW(hwnd_, Wide(kRenameErrorText).c_str(),
                                Wide(kRenameErrorTitle).c_str(), MB_OK);
                }
                PostMessageW(hwnd_, kMsgRowRenamed, static_cast<WPARAM>(row), 0);
            }
            result = 1;
            return true;
        case kMsgRowRenamed:
            OnRenamed(static_cast<int>(wp));
            return true;
        case keycapture::kKeyMessage:
            OnKey(static_cast<int>(wp), static_cast<unsigned>(lp));
            result = 1;
            return true;
        case ui::kMsgButtonPress:
            OnPicture(wp, reinterpret_cast<HWND>(lp));
            result = 1;
            return true;
        case kMsgMenuChoice:
            menus_.destroyMenu();
            OnGroupChosen(LOWORD(lp));
            return true;
        case WM_MOUSEMOVE:
            PostHints(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return false;
        case WM_LBUTTONDOWN:
            menus_.destroyMenu();
            EndRename();
            return false;
        case WM_KEYDOWN:
        case WM_KEYUP:
            return wp == VK_RETURN || wp == VK_ESCAPE || wp == VK_SPACE || wp == VK_F1;
        case WM_SHOWWINDOW:
            if (wp == FALSE) {
                // A hidden page records nothing and captures nothing.
                StopEverything();
            } else {
                // The library is read after the pages are made, and other pages change it.
                model_.refresh();
                ShowMacros();
                ShowEvents();
                ShowRepeat();
            }
            return false;
        case WM_DESTROY:
            SessionEnding();
            if (hookOn_) {
                host_.setKeyDelivery(false);
                hookOn_ = false;
            }
            return false;
        case WM_CLOSE:
            DestroyWindow(hwnd_);
            return true;
        default:
            return false;
    }
}

}  // namespace q350::pages
