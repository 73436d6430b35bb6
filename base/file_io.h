#pragma once

// Whole-file reads and torn-free writes.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace q350 {

enum class FileError { None, NotFound, AccessDenied, Other };

// Reads at most maxBytes (all when 0) of a file. On failure says why in error.
bool ReadFileBytes(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                   FileError* error = nullptr, std::size_t maxBytes = 0);

// Writes data to a temporary file in the target's folder and then puts it in the target's place,
// so that the target holds either its old or its new content, never a part of either. A missing
// folder gives NotFound; a refused write gives AccessDenied.
bool WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                     FileError* error = nullptr);

// Replaces target with source (same folder), replacing an existing target. Platform-specific.
bool ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace q350
