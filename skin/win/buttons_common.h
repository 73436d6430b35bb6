#pragma once
// Pieces shared by the skinned buttons: their window class and the hover tracking.
#include <windows.h>

namespace q350::ui {

class Window;

// The push-button class behind every skinned button (a superclass of the system's button).
const wchar_t* ButtonClass();
// Owner-drawn visible child push button.
inline constexpr DWORD kOwnerDrawButtonStyle = 0x5000000B;

// The window that hears of a button: its owner when it has one, else its parent.
HWND NotifyTarget(HWND button);

// Hover tracking of rectangular buttons on a pointer move (after the default handling): captures
// the pointer while it is over the button, ends the hover when it is over another window and
// posts the move to the parent in the parent's coordinates.
void TrackHover(HWND button, int& hover, WPARAM keys, LPARAM pos);
// Capture lost: the hover ends unless the pointer still is over the button.
void HoverCaptureLost(HWND button, int& hover);

// The messages every rectangular skinned button handles alike: no background erasing, hover
// tracking on pointer moves, the hover's end on a lost capture or focus. True when the message was
// handled here (result set); a lost focus ends the hover and is still left to the default handling.
bool HandleHoverMessage(Window& button, int& hover, UINT msg, WPARAM wp, LPARAM lp,
                        LRESULT& result);

}  // namespace q350::ui
