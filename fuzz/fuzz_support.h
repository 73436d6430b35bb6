#pragma once

// Shared pieces of the fuzz targets: a scratch folder of the process's own for targets that go
// through files, and the way a target reports a broken promise (libFuzzer keeps the input).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

namespace q350::fuzz {

// A folder in memory where possible, removed when the run ends normally.
inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        auto p = base / ("q350-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return p;
    }();
    return folder;
}

inline void PutFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// The code broke a promise for this input: say which, and stop so that the input is kept.
[[noreturn]] inline void Finding(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

}  // namespace q350::fuzz
