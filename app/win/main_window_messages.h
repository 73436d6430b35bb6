#pragma once

// Private messages of the main window.
#include <windows.h>

namespace q350::app {

inline constexpr UINT kMsgLanguageChoice = 1025;
inline constexpr UINT kMsgDownloadDone = 1795;
inline constexpr UINT kMsgDownloadFailed = 1796;
inline constexpr UINT kMsgApply = 1797;
inline constexpr UINT kMsgDriverEvent = 2027;
inline constexpr UINT kMsgHint = 2053;
// To the statistics page: every driver event word, before the main window handles it.
inline constexpr UINT kMsgStatisticsEvent = 1225;
inline constexpr UINT kMsgRestoreDefaults = 2054;

}  // namespace q350::app
