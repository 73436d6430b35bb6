#pragma once

// Programming a firmware image into the simulated mouse, as the flasher does it: the image is
// checked completely first; then the mouse goes into its update mode, takes the payload piece by
// piece (each piece saved in its state file, so a flasher that is stopped half-way leaves the
// mouse in update mode) and comes back in normal operation reporting the image's version.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "base/clock.h"
#include "device/firmware_image.h"

namespace q350 {

// Payload bytes handed to the mouse at a time.
inline constexpr std::size_t kFlashPieceSize = 1024;

enum class FlashResult {
    Flashed,
    ImageMissing,  // no image file
    ImageBad,      // the image failed its checks; the mouse was not touched
    NoMouse,       // the simulated mouse's state file is missing, unusable or unplugged
    MouseRefused,  // the mouse did not take a piece or the final check
    Stopped,       // stopped on request after some pieces: the mouse stays in update mode
};

struct FlashReport {
    FlashResult result = FlashResult::NoMouse;
    FirmwareImageError imageError = FirmwareImageError::None;
    std::uint32_t version = 0;       // of the image, once it was read
    std::uint32_t bytesWritten = 0;  // payload the mouse took
};

// One line for the user or a log ("firmware 7 written (4096 bytes)").
std::string FlashReportText(const FlashReport& report);

// Reads and checks the image, then programs the mouse whose state file is statePath.
// stopAfterPieces > 0 stops after that many pieces, as a flasher that is killed would.
FlashReport FlashSimulatedMouse(const std::filesystem::path& imagePath,
                                const std::filesystem::path& statePath, Clock& clock,
                                std::uint32_t stopAfterPieces = 0);

}  // namespace q350
