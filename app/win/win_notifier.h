#pragma once

// Messages to the user on Windows: the skinned message box for the skinned forms, the standard
// message box titled "Info" or "Warning" for the others.
#include <windows.h>

#include "base/notifier.h"

namespace q350::app {

class WinNotifier final : public Notifier {
public:
    // owner: the window the boxes belong to (may change, e.g. once the main window exists).
    explicit WinNotifier(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }
    int show(MessageForm form, std::u16string_view text) override;

private:
    HWND owner_;
};

// Messages that must not pop up (over a game): each goes to the debugger output.
class DebugOutputNotifier final : public Notifier {
public:
    int show(MessageForm form, std::u16string_view text) override;
};

// Shows the self-closing skinned notice and waits until it is gone.
void ShowAutoCloseNotice(HWND owner, std::u16string_view text);

}  // namespace q350::app
