// The launcher's path logic on a real Windows module path.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "launcher/launch_path.h"

namespace {

TEST(LaunchPathWin, TargetSitsBesideTheRunningProgram) {
    wchar_t self[MAX_PATH] = {};
    const DWORD len = GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_GT(len, 0u);
    const std::u16string target = q350::launcher::TargetPathFor(
        std::u16string_view(reinterpret_cast<const char16_t*>(self), len));
    const std::wstring wide(reinterpret_cast<const wchar_t*>(target.c_str()), target.size());

    std::wstring folder(self, len);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    EXPECT_EQ(wide, folder + L"Q350Config.exe");
    // A full Windows path keeps its drive ("C:\..." or "Z:\...").
    ASSERT_GE(wide.size(), 3u);
    EXPECT_EQ(wide[1], L':');
}

}  // namespace
