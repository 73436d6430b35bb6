#include "device/firmware_image.h"

#include <algorithm>

namespace q350 {

namespace {

constexpr std::uint32_t kCrcPolynomial = 0xEDB88320u;  // reflected IEEE 802.3

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1u) ? kCrcPolynomial ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

bool Fail(FirmwareImageError* error, FirmwareImageError value) {
    if (error) {
        *error = value;
    }
    return false;
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc) {
    crc = ~crc;
    for (std::uint8_t byte : data) {
        crc = kCrcTable[(crc ^ byte) & 0xFFu] ^ (crc >> 8);
    }
    return ~crc;
}

std::string FirmwareImageErrorText(FirmwareImageError error) {
    switch (error) {
        case FirmwareImageError::None:
            return "fine";
        case FirmwareImageError::TooShort:
            return "too short to be a firmware image";
        case FirmwareImageError::BadMagic:
            return "not a firmware image";
        case FirmwareImageError::BadVersion:
            return "of a version the mouse cannot carry";
        case FirmwareImageError::BadLength:
            return "truncated or of the wrong length";
        case FirmwareImageError::BadChecksum:
            return "corrupt (CRC mismatch)";
    }
    return "unusable";
}

bool ParseFirmwareImage(std::span<const std::uint8_t> file, FirmwareImage& image,
                        FirmwareImageError* error) {
    if (file.size() < kFirmwareHeaderSize + kFirmwareTrailerSize) {
        return Fail(error, FirmwareImageError::TooShort);
    }
    if (!std::equal(kFirmwareImageMagic.begin(), kFirmwareImageMagic.end(), file.begin())) {
        return Fail(error, FirmwareImageError::BadMagic);
    }
    const std::uint32_t version = ReadU32(file, 8);
    const std::uint32_t length = ReadU32(file, 12);
    // Compared without adding to length, which could wrap.
    const std::size_t room = file.size() - kFirmwareHeaderSize - kFirmwareTrailerSize;
    if (length > kMaxFirmwarePayload || length != room) {
        return Fail(error, FirmwareImageError::BadLength);
    }
    const std::size_t crcAt = kFirmwareHeaderSize + length;
    const std::uint32_t stored = ReadU32(file, crcAt);
    if (Crc32(file.first(crcAt)) != stored) {
        return Fail(error, FirmwareImageError::BadChecksum);
    }
    if (version == 0 || version > kMaxFirmwareVersion) {
        return Fail(error, FirmwareImageError::BadVersion);
    }
    image.version = version;
    image.payload.assign(file.begin() + kFirmwareHeaderSize, file.begin() + crcAt);
    image.crc = stored;
    if (error) {
        *error = FirmwareImageError::None;
    }
    return true;
}

FirmwareFit CheckFirmwareFit(std::uint32_t image, std::uint32_t announced, std::uint32_t mouse) {
    if (image != announced) {
        return FirmwareFit::NotAnnounced;
    }
    if (image <= mouse) {
        return FirmwareFit::NotNewer;
    }
    return FirmwareFit::Fits;
}

std::vector<std::uint8_t> BuildFirmwareImage(std::uint32_t version,
                                             std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> out(kFirmwareImageMagic.begin(), kFirmwareImageMagic.end());
    AppendU32(out, version);
    AppendU32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    AppendU32(out, Crc32(out));
    return out;
}

}  // namespace q350
