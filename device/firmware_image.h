#pragma once

// The mouse's firmware image as the update server offers it and the flasher takes it: the eight
// ASCII bytes "Q350FWIM", the firmware version (u32 LE), the payload length n (u32 LE), n payload
// bytes and the CRC-32 of every byte before it (u32 LE). An image is checked completely before
// anything is done with it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace q350 {

inline constexpr std::array<std::uint8_t, 8> kFirmwareImageMagic = {'Q', '3', '5', '0',
                                                                    'F', 'W', 'I', 'M'};
inline constexpr std::size_t kFirmwareHeaderSize = 16;  // magic, version, length
inline constexpr std::size_t kFirmwareTrailerSize = 4;  // the CRC-32
// The mouse's program memory: no payload is larger.
inline constexpr std::size_t kMaxFirmwarePayload = std::size_t{64} << 10;
// The mouse reports its version in one byte, and 0 is the mark of its update mode.
inline constexpr std::uint32_t kMaxFirmwareVersion = 255;

// The CRC-32 of the IEEE polynomial as zlib computes it; crc continues an earlier run.
std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc = 0);

enum class FirmwareImageError {
    None,
    TooShort,     // shorter than the header and the CRC
    BadMagic,     // not a firmware image
    BadVersion,   // 0 or above what the mouse can report
    BadLength,    // the length field does not match the file, or the payload is too large
    BadChecksum,  // the CRC does not match
};

// A sentence for reports ("the firmware image is ...").
std::string FirmwareImageErrorText(FirmwareImageError error);

struct FirmwareImage {
    std::uint32_t version = 0;
    std::vector<std::uint8_t> payload;
    std::uint32_t crc = 0;  // the image's own CRC field
};

// Checks a whole image file; on success image holds its version and payload.
bool ParseFirmwareImage(std::span<const std::uint8_t> file, FirmwareImage& image,
                        FirmwareImageError* error = nullptr);
enum class FirmwareFit {
    Fits,
    NotAnnounced,  // another version than the update announced
    NotNewer,      // the mouse's firmware is as new or newer: no silent downgrade
};
// Whether an image of version image may replace the mouse's firmware mouse when the update
// announced version announced. A mouse in its update mode reports 0, older than any image.
FirmwareFit CheckFirmwareFit(std::uint32_t image, std::uint32_t announced, std::uint32_t mouse);
inline bool FirmwareFits(std::uint32_t image, std::uint32_t announced, std::uint32_t mouse) {
    return CheckFirmwareFit(image, announced, mouse) == FirmwareFit::Fits;
}

// The bytes of an image (for the tests, q350ctl and whoever prepares the server).
std::vector<std::uint8_t> BuildFirmwareImage(std::uint32_t version,
                                             std::span<const std::uint8_t> payload);

}  // namespace q350
