#include "base/file_io.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace q350 {

namespace {

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

}  // namespace

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
    std::random_device rd;
    auto tmp = path;
    tmp += ".tmp" + std::to_string(rd() & 0xFFFFFF);
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            SetError(error, Classify(std::error_code(errno, std::generic_category())));
            if (error && *error == FileError::NotFound) {
                *error = FileError::Other;
            }
            return false;
        }
        out.write(reinterpret_cast<const char*>(data.data()),
                  static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(tmp, ec);
            SetError(error, FileError::Other);
            return false;
        }
    }
    if (!ReplaceFileWith(tmp, path)) {
        const bool denied = std::filesystem::exists(path, ec);
        std::filesystem::remove(tmp, ec);
        SetError(error, denied ? FileError::AccessDenied : FileError::Other);
        return false;
    }
    SetError(error, FileError::None);
    return true;
}

}  // namespace q350
