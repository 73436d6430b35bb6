#pragma once

// Making detached signatures of update files (q350ctl and the tests; the program only verifies).
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace q350 {

// Signs data with the P-256 private key in the PEM file keyFile: the DER-encoded ECDSA signature
// of its SHA-256 digest, as `openssl dgst -sha256 -sign` writes it. On failure a sentence in
// problem.
bool SignWithKeyFile(const std::filesystem::path& keyFile, std::span<const std::uint8_t> data,
                     std::vector<std::uint8_t>& signature, std::string* problem = nullptr);

}  // namespace q350
