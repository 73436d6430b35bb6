#include "app/win/win_notifier.h"

#include <string>

#include "skin/win/framework/window.h"
#include "skin/win/info_dlg.h"

namespace q350::app {

namespace {
std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}
}  // namespace

void ShowAutoCloseNotice(HWND owner, std::u16string_view text) {
    ui::CInfoDlg box;
    box.message = Wide(text);
    box.questionForm = 0;
    box.autoClose = 1;
    box.DoModal(owner);
}

int WinNotifier::show(MessageForm form, std::u16string_view text) {
    const HWND owner = owner_ != nullptr && IsWindow(owner_) ? owner_ : nullptr;
    switch (form) {
        case MessageForm::SkinnedNotice:
            return ui::ShowInfoBox(Wide(text), 0, owner) == kMessageOk ? kMessageOk
                                                                        : kMessageCancel;
        case MessageForm::SkinnedQuestion:
            return ui::ShowInfoBox(Wide(text), 1, owner) == kMessageOk ? kMessageOk
                                                                        : kMessageCancel;
        case MessageForm::SkinnedAutoClose:
            ShowAutoCloseNotice(owner, text);
            return kMessageOk;
        case MessageForm::StandardInfo:
        case MessageForm::StandardWarning: {
            const wchar_t* caption = form == MessageForm::StandardInfo ? L"Info" : L"Warning";
            ui::ModalLoop loop;
            MessageBoxW(owner, Wide(text).c_str(), caption, MB_OK);
            return kMessageOk;
        }
    }
    return kMessageOk;
}

int DebugOutputNotifier::show(MessageForm, std::u16string_view text) {
    std::wstring line(L"Q350Config: ");
    line.append(text.begin(), text.end());
    line += L"\n";
    OutputDebugStringW(line.c_str());
    return kMessageOk;
}

}  // namespace q350::app
