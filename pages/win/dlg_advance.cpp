#include "pages/win/dlg_advance.h"

#include <commdlg.h>
#include <shlobj.h>

#include "base/win/module.h"
#include "lang/language_table.h"
#include "skin/win/framework/window.h"
#include "skin/win/info_dlg.h"

namespace q350::pages {

namespace {
struct RowRects {
    RECT label, choice, path, browse;
};
constexpr RowRects kRows[kAdvancedRowCount] = {
    {{41, 36, 127, 56}, {21, 37, 38, 54}, {124, 36, 263, 52}, {273, 33, 349, 55}},
    {{41, 63, 127, 83}, {21, 63, 38, 80}, {124, 63, 262, 79}, {273, 59, 349, 81}},
    {{41, 89, 127, 109}, {21, 88, 38, 105}, {124, 89, 262, 105}, {273, 86, 349, 108}},
    {{41, 116, 127, 136}, {21, 114, 38, 131}, {124, 116, 262, 132}, {273, 113, 349, 135}},
};
constexpr lang::StringId kRowTexts[kAdvancedRowCount] = {
    lang::StringId::str_advanced_sound, lang::StringId::str_advanced_exe,
    lang::StringId::str_advanced_file, lang::StringId::str_advanced_dir};
constexpr COLORREF kLabelColour = RGB(88, 95, 105);

std::wstring Wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
}  // namespace

CDlgAdvance::CDlgAdvance(int button)
    : CSubPanel(L"QuorvQ350AdvanceDlg", L"advanced", L"Advanced"), choices_(button) {}

void CDlgAdvance::BuildControls() {
    font_.Reset(MakePanelFont());
    const wchar_t* browseText = ui::SkinChinese() ? L"浏览" : L"Browse";
    for (int i = 0; i < kAdvancedRowCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        CreateSheetButton(choice_[n], hwnd_, kRows[i].choice, sheets_, true);
        CreateSheetButton(pathBox_[n], hwnd_, kRows[i].path, sheets_, true);
        CreateSheetButton(browse_[n], hwnd_, kRows[i].browse, sheets_, false);
        browse_[n].SetText(browseText);
    }
}

void CDlgAdvance::PaintOver(HDC dc) {
    for (int i = 0; i < kAdvancedRowCount; ++i) {
        DrawPanelText(dc, font_.get(), Wide(lang::Str(kRowTexts[i])), kRows[i].label,
                      kLabelColour);
    }
}

void CDlgAdvance::Choose(int row) {
    choices_.choose(row);
    for (int i = 0; i < kAdvancedRowCount; ++i) {
        choice_[static_cast<std::size_t>(i)].SetCheck(i == row ? 1 : 0);
    }
}

void CDlgAdvance::Browse(int row) {
    Choose(row);
    const std::u16string path =
        row == kAdvancedRowFolder ? AskForFolder() : AskForFile(BrowseSpecOf(row));
    if (path.empty()) {
        return;  // cancelled: the choice stays
    }
    choices_.setPath(row, path);
    auto& box = pathBox_[static_cast<std::size_t>(row)];
    box.SetText(Wide(path));
    box.SetToolTipText(Wide(path));
}

bool CDlgAdvance::OnPanelMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
    if (msg != WM_COMMAND) {
        return false;
    }
    const HWND from = reinterpret_cast<HWND>(lp);
    for (int i = 0; i < kAdvancedRowCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        if (from == choice_[n].hwnd()) {
            Choose(i);
            return true;
        }
        if (from == browse_[n].hwnd() ||
            (from == pathBox_[n].hwnd() && HIWORD(wp) == BN_DOUBLECLICKED)) {
            Browse(i);
            return true;
        }
        if (from == pathBox_[n].hwnd()) {
            return true;  // a single click on a path does nothing
        }
    }
    return false;
}

std::u16string AskForFile(const BrowseSpec& browse) {
    // "(*.exe)|*.exe||" becomes the dialog's list of zero-terminated strings.
    std::wstring filter = Wide(browse.filter);
    for (wchar_t& c : filter) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    std::wstring fileName = Wide(browse.fileName);
    fileName.resize(MAX_PATH, L'\0');
    const std::wstring folder = Wide(browse.startFolder);
    std::wstring ext = Wide(browse.defaultExtension);
    if (!ext.empty() && ext.front() == L'.') {
        ext.erase(0, 1);
    }
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = fileName.data();
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    static const auto open =
        win::SystemProc<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    if (open == nullptr) {
        return {};
    }
    ui::ModalLoop loop;
    if (!open(&ofn)) {
        return {};
    }
    const std::size_t n = wcsnlen(fileName.data(), MAX_PATH);
    return std::u16string(fileName.begin(), fileName.begin() + static_cast<std::ptrdiff_t>(n));
}

std::u16string AskForFolder() {
    BROWSEINFOW info{};
    PIDLIST_ABSOLUTE list = nullptr;
    {
        ui::ModalLoop loop;
        list = SHBrowseForFolderW(&info);
    }
    if (list == nullptr) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    const BOOL ok = SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    if (!ok) {
        return {};  // not a file-system folder
    }
    const std::size_t n = wcsnlen(path, MAX_PATH);
    return std::u16string(path, path + n);
}

}  // namespace q350::pages
