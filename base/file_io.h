#pragma once

// Whole-file reads and saves that survive a crash or a kill at any moment.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace q350 {

enum class FileError { None, NotFound, AccessDenied, Other };

// Reads at most maxBytes (all when 0) of a file. On failure says why in error.
bool ReadFileBytes(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                   FileError* error = nullptr, std::size_t maxBytes = 0);

// Saves data as the file at path: writes it to a temporary file in the target's folder, flushes
// that to the disk, puts it in the target's place in one step and makes the replacement itself
// durable. Whenever the process dies, the target holds its old or its new content, never a part
// of either. A writer that was killed leaves its temporary file behind; the next save of the same
// target removes it once its process has ended. A missing folder gives NotFound; a refused write
// gives AccessDenied.
bool WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                     FileError* error = nullptr);

// True for the name of a temporary file that a save of target writes (and the sweep removes).
bool IsTemporaryFileOf(const std::filesystem::path& candidate, const std::filesystem::path& target);

// Replaces target with source (same folder), replacing an existing target. Platform-specific.
bool ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target);

// The platform half of a save (base/linux/file_io_linux.cpp, base/win/file_io_win.cpp).
namespace file_io_platform {
// Creates path, which must not exist yet, writes all of data, flushes it to the disk (fsync,
// FlushFileBuffers) and closes it. On failure the file is removed again.
bool WriteNewFileDurably(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                         FileError* error);
// Makes a rename inside folder durable (the folder's own entry on Linux; Windows moves write
// through already).
void SyncFolder(const std::filesystem::path& folder);
std::uint32_t CurrentProcessId();
// False only when no process with the id runs any more.
bool ProcessIsRunning(std::uint32_t id);
}  // namespace file_io_platform

}  // namespace q350
