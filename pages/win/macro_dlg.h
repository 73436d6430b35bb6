#pragma once

// CMacroDlg: the macro page. The macros of one game group (chosen from the menu library's menu),
// the events of the selected macro, the repeat rule, the recorder with its mouse-button pictures
// and the event editor; every change is stored in the macro library at once, and a change that
// could not be stored is told.
#include <array>

#include "pages/macro_page_model.h"
#include "pages/win/page_base.h"
#include "pages/win/skin_menu_library.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/gdi_bitmap_btn.h"
#include "skin/win/list_box_ex.h"

namespace q350::pages {

inline constexpr UINT kMacroListId = 256;
inline constexpr UINT kEventListId = 257;
inline constexpr UINT kLoopEditId = 1000;
inline constexpr UINT kKeyEditId = 1001;
inline constexpr UINT kPauseEditId = 1002;

class CMacroDlg : public CPageBase {
public:
    // chineseLayout: the page's pictures of the Chinese layout (fixed for the page's life).
    CMacroDlg(WinPageHost& host, bool chineseLayout);

    // A recording in progress is stopped and stored.
    void SessionEnding() override;
    void LanguageChanged() override;

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    enum Sheet { kNormal, kDown, kOver, kSheetCount };

    void LoadSheets();
    void BuildControls();
    HWND MakeEdit(const Rect& r, UINT id, DWORD style, int limit, const wchar_t* text);
    void OnCommand(HWND from, int code);
    void OnKey(int virtualKey, unsigned flags);
    void OnPicture(WPARAM press, HWND picture);
    void OpenGroupMenu();
    void OnGroupChosen(int group);
    void OnRenamed(int row);
    void EndRename();
    void ToggleRecording();

    // Bring the windows in line with the model.
    void ShowGroup();
    void ShowMacros();
    void ShowEvents();
    void AppendNewEvents();
    void ShowRepeat();
    void ShowEditor();
    void ShowRecorder();
    void UpdateHook();
    void StopEverything();
    // Tells the user about a change that was not stored.
    void Report(SaveOutcome outcome);
    int SelectedEvent() const;
    void PostHints(POINT p);
    void Paint();

    MacroPageModel model_;
    bool chineseLayout_;
    ui::Bitmap sheets_[kSheetCount];
    ui::Brush listBrush_;
    ui::Brush editBrush_;
    ui::Bitmap scrollSkin_;
    ui::CGDIBitmapBtn record_, group_, noPause_, loop_, toggle_, hold_;
    ui::CGDIBitmapBtn newMacro_, deleteMacro_, insertEvent_, deleteEvent_, modifyEvent_;
    ui::CGDIBitmapBtn keyType_, keyOk_, pauseType_, pauseOk_;
    std::array<ui::CGDIBitmapBtn, 3> pictures_;  // left, middle, right
    ui::CListBoxEx macroList_, eventList_;
    HWND loopEdit_ = nullptr, keyEdit_ = nullptr, pauseEdit_ = nullptr;
    SkinMenuLibrary menus_;
    bool hookOn_ = false;
    // Set while the page writes into the loop count box: its change notice is not an edit.
    bool loading_ = false;
};

}  // namespace q350::pages
