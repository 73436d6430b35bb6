// Fuzz target of the files an update brings: any bytes as a firmware image (an accepted image
// must build back to the same bytes, carry a version the mouse can report and a payload that
// fits it), as a detached signature of a fixed update.xml and as an update.xml under a fixed
// signature. This build trusts the release key alone, whose private half nobody here has, so no
// input may ever verify.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/signature.h"
#include "device/firmware_image.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr std::string_view kUpdateXml =
    "<update><current><driver>1</driver><firmware>7</firmware></current></update>\n";
// A well-formed DER signature (r and s of full length) that no trusted key made.
constexpr std::uint8_t kSomeSignature[] = {
    0x30, 0x44, 0x02, 0x20, 0x61, 0xdd, 0x59, 0x46, 0x2b, 0x64, 0xf0, 0x3a, 0xf2, 0xee, 0x33, 0x13,
    0x27, 0xd3, 0x85, 0xb7, 0xda, 0x13, 0x70, 0x5a, 0xa2, 0x28, 0xb7, 0xde, 0x03, 0x6b, 0x92, 0x3c,
    0x5b, 0x22, 0x39, 0xf2, 0x02, 0x20, 0x51, 0xf4, 0xd7, 0xce, 0x23, 0x54, 0xd9, 0x28, 0x87, 0x10,
    0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f, 0x20,
    0x21, 0x22, 0x23, 0x24, 0x25, 0x26};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);

    q350::FirmwareImage image;
    if (q350::ParseFirmwareImage(input, image)) {
        if (image.version == 0 || image.version > q350::kMaxFirmwareVersion ||
            image.payload.size() > q350::kMaxFirmwarePayload) {
            q350::fuzz::Finding("an accepted image the mouse cannot take");
        }
        const std::vector<std::uint8_t> rebuilt = q350::BuildFirmwareImage(image.version,
                                                                           image.payload);
        if (!std::equal(rebuilt.begin(), rebuilt.end(), input.begin(), input.end())) {
            q350::fuzz::Finding("an accepted image does not build back to its bytes");
        }
        (void)q350::CheckFirmwareFit(image.version, image.version, image.version - 1);
    }

    const std::span<const std::uint8_t> xml(reinterpret_cast<const std::uint8_t*>(kUpdateXml.data()),
                                            kUpdateXml.size());
    if (q350::VerifyTrusted(xml, input)) {
        q350::fuzz::Finding("a signature nobody made verifies");
    }
    if (q350::VerifyTrusted(input, kSomeSignature)) {
        q350::fuzz::Finding("a file verifies under a signature nobody made");
    }
    return 0;
}
