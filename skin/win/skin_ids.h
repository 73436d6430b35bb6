#pragma once
// Resource numbers of the skin's pictures compiled into the program (skin_resources.rc), and the
// private window messages the skinned controls send.
#define IDB_INFO_QUESTION_DOWN 131
#define IDB_INFO_NOTICE_DOWN 132
#define IDB_INFO_QUESTION_NORMAL 133
#define IDB_INFO_NOTICE_NORMAL 134
#define IDB_INFO_QUESTION_OVER 135
#define IDB_INFO_NOTICE_OVER 136
#define IDB_SCROLLBAR 147
#define IDB_DBLCLICK_STILL 154
#define IDR_DBLCLICK_AVI 155
#define IDB_FLAG_FIRST 156 /* 156..167: the twelve flags, 37 x 22 */
#define IDB_FLAG_LAST 167
#define IDR_PNG_ICON_FIRST 168 /* 168..180 without 173: menu icons, 19 x 11 */
#define IDR_PNG_ICON_LAST 180
#define IDR_PNG_POPUP_FRAME 173
#define IDI_SKIN_APP 128
#define IDI_SKIN_TRAY 138
#define IDI_SKIN_TRAY_OFF 139
#define IDC_PICKER 183

#ifdef __cplusplus
namespace q350::ui {
inline constexpr unsigned kMsgButtonPress = 1805;    // wParam 513 press / 514 release, lParam hwnd
inline constexpr unsigned kMsgSliderPos = 2048;      // wParam position, lParam id
inline constexpr unsigned kMsgEditChanged = 2050;    // wParam edit window, lParam id
inline constexpr unsigned kMsgProgressPos = 1104;    // wParam position, lParam id
inline constexpr unsigned kMsgListSelection = 1125;  // wParam list id, lParam row
inline constexpr unsigned kMsgListEdited = 1136;     // wParam list id, lParam row
inline constexpr unsigned kMsgScrollLayout = 1124;   // wParam has vertical bar, lParam left side
inline constexpr unsigned kMsgMenuChoice = 1025;     // wParam 0, lParam command id (0: closing)
inline constexpr unsigned kMsgProgress = 1067;       // wParam position
}  // namespace q350::ui
#endif
