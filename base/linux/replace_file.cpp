#include <cstdio>

#include "base/file_io.h"

namespace q350 {

bool ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target) {
    // rename() replaces the target in one step on the same file system.
    return std::rename(source.c_str(), target.c_str()) == 0;
}

}  // namespace q350
