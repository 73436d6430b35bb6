#pragma once

// Detached signatures of the maker's update files: update.xml and every firmware image travel
// with a file of the same name plus ".sig" holding an ECDSA signature over the file's SHA-256
// digest on the P-256 curve, DER-encoded (SEQUENCE of the two INTEGERs r and s), exactly as
// `openssl dgst -sha256 -sign KEY.pem -out FILE.sig FILE` writes it. A file is used only when
// its signature verifies against one of the public keys compiled into the program. The
// cryptography is the platform's own: CNG on Windows (base/win), OpenSSL's libcrypto elsewhere
// (base/linux).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace q350 {

// A public key: the curve point's X and Y coordinates, 32 bytes each, big-endian.
struct SigningKey {
    std::string_view name;
    std::array<std::uint8_t, 64> point;
};

// Appended to a file's name (and to its address) for its signature.
inline constexpr std::string_view kSignatureSuffix = ".sig";
// The longest DER form of a P-256 signature: 2 + 2 * (2 + 33) bytes. A longer file is no
// signature of ours and is not even read whole.
inline constexpr std::size_t kMaxSignatureSize = 72;

// The keys this build trusts: the release key always; the test key only in builds made for the
// tests (the CMake option Q350_TRUST_TEST_KEY).
std::span<const SigningKey> TrustedKeys();
// Whether this build trusts the test key (and with it the other test-only ways in).
bool TrustsTestKey();

// Whether signature is a valid signature of data by key. Any malformed signature is simply false.
// Platform-specific.
bool VerifySignature(std::span<const std::uint8_t> data, std::span<const std::uint8_t> signature,
                     const SigningKey& key);

// The SHA-256 digest of data; false only when the platform cannot make it. Platform-specific.
bool Sha256(std::span<const std::uint8_t> data, std::array<std::uint8_t, 32>& digest);

// Whether signature verifies against one of the trusted keys; the key's name in signedBy.
bool VerifyTrusted(std::span<const std::uint8_t> data, std::span<const std::uint8_t> signature,
                   std::string_view* signedBy = nullptr);

}  // namespace q350
