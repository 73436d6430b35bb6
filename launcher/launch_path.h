#pragma once

#include <string>
#include <string_view>

namespace q350::launcher {

// Longest path the launcher handles, in UTF-16 units, terminating null included.
inline constexpr std::size_t kMaxPath = 260;

// File the launcher starts from its own folder.
inline constexpr std::u16string_view kTargetFileName = u"Q350Config.exe";

// Drive and folder of a full executable path, ending with a separator ("C:\Apps\Quorv\").
// A path without any folder gives just its drive ("C:"), or nothing.
std::u16string BaseFolderOf(std::u16string_view exePath);

// Full path of the program to start for a launcher at exePath. Empty when the result would not
// fit a path buffer, so that a cut-off path never names some other file.
std::u16string TargetPathFor(std::u16string_view exePath);

}  // namespace q350::launcher
