#include "device/firmware_flash.h"

#include <algorithm>
#include <vector>

#include "base/file_io.h"
#include "device/mouse_state_file.h"

namespace q350 {

std::string FlashReportText(const FlashReport& r) {
    switch (r.result) {
        case FlashResult::Flashed:
            return "firmware " + std::to_string(r.version) + " written (" +
                   std::to_string(r.bytesWritten) + " bytes)";
        case FlashResult::ImageMissing:
            return "no firmware image to write; the mouse was not changed";
        case FlashResult::ImageBad:
            return "the firmware image is " + FirmwareImageErrorText(r.imageError) +
                   "; the mouse was not changed";
        case FlashResult::NoMouse:
            return "the mouse cannot be found; nothing was written";
        case FlashResult::MouseRefused:
            return "the mouse refused the firmware after " + std::to_string(r.bytesWritten) +
                   " bytes; it stays in its update mode";
        case FlashResult::Stopped:
            return "stopped after " + std::to_string(r.bytesWritten) +
                   " bytes; the mouse stays in its update mode";
    }
    return "failed";
}

FlashReport FlashSimulatedMouse(const std::filesystem::path& imagePath,
                                const std::filesystem::path& statePath, Clock& clock,
                                std::uint32_t stopAfterPieces) {
    FlashReport report;
    std::vector<std::uint8_t> file;
    FileError fileError = FileError::None;
    // One byte beyond the largest image, so an oversized file is recognised as such.
    constexpr std::size_t kReadLimit =
        kFirmwareHeaderSize + kMaxFirmwarePayload + kFirmwareTrailerSize + 1;
    if (!ReadFileBytes(imagePath, file, &fileError, kReadLimit)) {
        report.result =
            fileError == FileError::NotFound ? FlashResult::ImageMissing : FlashResult::ImageBad;
        return report;
    }
    FirmwareImage image;
    if (!ParseFirmwareImage(file, image, &report.imageError)) {
        report.result = FlashResult::ImageBad;
        return report;
    }
    report.version = image.version;

    VirtualMouseState seen;
    if (!ReadMouseState(statePath, seen) || !seen.plugged) {
        report.result = FlashResult::NoMouse;
        return report;
    }
    if (!UpdateMouseState(statePath, clock,
                          [](VirtualMouse& mouse) { return mouse.enterUpdateMode(); })) {
        report.result = FlashResult::NoMouse;
        return report;
    }
    const std::span<const std::uint8_t> payload(image.payload);
    std::uint32_t pieces = 0;
    for (std::size_t at = 0; at < payload.size(); at += kFlashPieceSize) {
        if (stopAfterPieces != 0 && pieces == stopAfterPieces) {
            report.result = FlashResult::Stopped;
            return report;
        }
        const auto piece = payload.subspan(at, std::min(kFlashPieceSize, payload.size() - at));
        const auto offset = static_cast<std::uint32_t>(at);
        if (!UpdateMouseState(statePath, clock, [&](VirtualMouse& mouse) {
                return mouse.writeFirmware(offset, piece);
            })) {
            report.result = FlashResult::MouseRefused;
            return report;
        }
        report.bytesWritten += static_cast<std::uint32_t>(piece.size());
        ++pieces;
    }
    const auto length = static_cast<std::uint32_t>(payload.size());
    const std::uint32_t crc = Crc32(payload);
    if (!UpdateMouseState(statePath, clock, [&](VirtualMouse& mouse) {
            return mouse.leaveUpdateMode(image.version, length, crc);
        })) {
        report.result = FlashResult::MouseRefused;
        return report;
    }
    report.result = FlashResult::Flashed;
    return report;
}

}  // namespace q350
