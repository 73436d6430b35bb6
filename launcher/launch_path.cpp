#include "launcher/launch_path.h"

namespace q350::launcher {

std::u16string BaseFolderOf(std::u16string_view exePath) {
    // Drive: a letter and a colon at the start ("C:"); a UNC path has no drive, its server and
    // share stay part of the folder.
    std::size_t folderStart = 0;
    if (exePath.size() >= 2 && exePath[1] == u':') {
        folderStart = 2;
    }
    // Folder: everything up to and including the last separator after the drive.
    const std::size_t lastSep = exePath.find_last_of(u"\\/");
    if (lastSep == std::u16string_view::npos || lastSep < folderStart) {
        return std::u16string(exePath.substr(0, folderStart));
    }
    return std::u16string(exePath.substr(0, lastSep + 1));
}

std::u16string TargetPathFor(std::u16string_view exePath) {
    std::u16string target = BaseFolderOf(exePath);
    target += kTargetFileName;
    if (target.size() + 1 > kMaxPath) {
        return {};
    }
    return target;
}

}  // namespace q350::launcher
