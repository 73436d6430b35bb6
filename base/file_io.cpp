#include "base/file_io.h"

#include <atomic>
#include <cerrno>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

namespace q350 {

namespace {

// Temporary files are named after their target, the writing process and a counter:
// "Macro.cfg.~1234.5.tmp".
constexpr std::string_view kTempMark = ".~";
constexpr std::string_view kTempSuffix = ".tmp";

FileError Classify(const std::error_code& ec) {
    if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) {
        return FileError::NotFound;
    }
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
        ec == std::errc::read_only_file_system) {
        return FileError::AccessDenied;
    }
    return FileError::Other;
}

void SetError(FileError* error, FileError value) {
    if (error) {
        *error = value;
    }
}

using NativeName = std::filesystem::path::string_type;

NativeName Native(std::string_view ascii) {
    return NativeName(ascii.begin(), ascii.end());
}

// Reads a run of decimal digits that fills text exactly (and fits 32 bits).
std::optional<std::uint32_t> Digits(const NativeName& text, std::size_t from, std::size_t to) {
    if (from >= to || to - from > 10) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::size_t i = from; i < to; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    if (value > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// The process id in a temporary file's name, or nothing when the name is not one of target's.
// Names are compared in the file system's own form, so that no name needs converting.
std::optional<std::uint32_t> TemporaryFileOwner(const std::filesystem::path& candidate,
                                                const std::filesystem::path& target) {
    const NativeName name = candidate.filename().native();
    const NativeName prefix = target.filename().native() + Native(kTempMark);
    const NativeName suffix = Native(kTempSuffix);
    if (name.size() <= prefix.size() + suffix.size() ||
        name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return std::nullopt;
    }
    const std::size_t end = name.size() - suffix.size();
    const std::size_t dot = name.find('.', prefix.size());
    if (dot >= end) {
        return std::nullopt;
    }
    const auto pid = Digits(name, prefix.size(), dot);
    if (!pid || !Digits(name, dot + 1, end)) {
        return std::nullopt;
    }
    return pid;
}

// Removes what killed saves of target left behind. Files of running processes (this one
// included: another thread may be saving the same file) are left alone.
void SweepTemporaryFiles(const std::filesystem::path& folder, const std::filesystem::path& target) {
    const std::uint32_t self = file_io_platform::CurrentProcessId();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const auto owner = TemporaryFileOwner(it->path(), target);
        if (owner && *owner != self && !file_io_platform::ProcessIsRunning(*owner)) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

std::filesystem::path TemporaryPath(const std::filesystem::path& target) {
    static std::atomic<std::uint32_t> counter{0};
    auto tmp = target;
    tmp += std::string(kTempMark) + std::to_string(file_io_platform::CurrentProcessId()) + "." +
           std::to_string(counter.fetch_add(1)) + std::string(kTempSuffix);
    return tmp;
}

}  // namespace

bool IsTemporaryFileOf(const std::filesystem::path& candidate,
                       const std::filesystem::path& target) {
    return TemporaryFileOwner(candidate, target).has_value();
}

bool ReadFileBytes(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                   FileError* error, std::size_t maxBytes) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::is_regular_file(status)) {
        SetError(error, ec ? Classify(ec) : FileError::NotFound);
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        SetError(error, Classify(std::error_code(errno, std::generic_category())));
        return false;
    }
    out.clear();
    std::uint8_t buf[65536];
    while (in && (maxBytes == 0 || out.size() < maxBytes)) {
        std::size_t want = sizeof(buf);
        if (maxBytes != 0 && maxBytes - out.size() < want) {
            want = maxBytes - out.size();
        }
        in.read(reinterpret_cast<char*>(buf), static_cast<std::streamsize>(want));
        out.insert(out.end(), buf, buf + in.gcount());
    }
    if (in.bad()) {
        SetError(error, FileError::Other);
        return false;
    }
    SetError(error, FileError::None);
    return true;
}

bool WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                     FileError* error) {
    std::error_code ec;
    const auto folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, ec)) {
        SetError(error, FileError::NotFound);
        return false;
    }
    SweepTemporaryFiles(folder, path);
    // A name left by an earlier process that had the same id is passed over.
    auto tmp = TemporaryPath(path);
    for (int attempt = 0; attempt < 100 && std::filesystem::exists(tmp, ec); ++attempt) {
        tmp = TemporaryPath(path);
    }
    FileError written = FileError::None;
    if (!file_io_platform::WriteNewFileDurably(tmp, data, &written)) {
        // The folder exists, so a "not found" here is no missing path.
        SetError(error, written == FileError::NotFound ? FileError::Other : written);
        return false;
    }
    if (!ReplaceFileWith(tmp, path)) {
        const bool denied = std::filesystem::exists(path, ec);
        std::filesystem::remove(tmp, ec);
        SetError(error, denied ? FileError::AccessDenied : FileError::Other);
        return false;
    }
    file_io_platform::SyncFolder(folder);
    SetError(error, FileError::None);
    return true;
}

}  // namespace q350
