// q350ctl update sign KEY.pem FILE | update verify FILE [SIGNATURE]: the detached signatures of
// the update files. sign writes FILE.sig as `openssl dgst -sha256 -sign KEY.pem -out FILE.sig
// FILE` does; verify checks FILE.sig (or SIGNATURE) against the keys compiled into this build,
// the same ones the program trusts, and says which key signed it.
#include <iostream>
#include <string>

#include "base/file_io.h"
#include "base/linux/signing.h"
#include "base/signature.h"
#include "cli/commands.h"
#include "device/firmware_image.h"

namespace q350::cli {

namespace {

constexpr const char* kUsage = "update sign KEY.pem FILE | update verify FILE [SIGNATURE]";
// Update files are small; this only keeps a mistaken argument from filling the memory.
constexpr std::size_t kMaxFileSize = std::size_t{64} << 20;

bool ReadInput(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t limit) {
    return ReadFileBytes(path, bytes, nullptr, limit + 1) && bytes.size() <= limit;
}

int Sign(const std::string& key, const std::string& file) {
    std::vector<std::uint8_t> bytes;
    if (!ReadInput(file, bytes, kMaxFileSize)) {
        return Fail(file + ": cannot be read");
    }
    std::vector<std::uint8_t> signature;
    std::string problem;
    if (!SignWithKeyFile(key, bytes, signature, &problem)) {
        return Fail(key + ": " + problem);
    }
    const std::string out = file + std::string(kSignatureSuffix);
    if (!WriteFileAtomic(out, signature)) {
        return Fail(out + ": cannot be written");
    }
    std::cout << "wrote " << out << "\n";
    return 0;
}

int Verify(const std::string& file, const std::string& signatureFile) {
    std::vector<std::uint8_t> bytes;
    if (!ReadInput(file, bytes, kMaxFileSize)) {
        return Fail(file + ": cannot be read");
    }
    std::vector<std::uint8_t> signature;
    if (!ReadFileBytes(signatureFile, signature, nullptr, kMaxSignatureSize + 1)) {
        return Fail(signatureFile + ": cannot be read");
    }
    std::string_view by;
    if (!VerifyTrusted(bytes, signature, &by)) {
        return Fail(file + ": the signature does not verify against the trusted keys");
    }
    std::cout << file << ": signed by the " << by << " key";
    FirmwareImage image;
    if (ParseFirmwareImage(bytes, image)) {
        std::cout << " (firmware image, version " << image.version << ")";
    }
    std::cout << "\n";
    return 0;
}

}  // namespace

int RunUpdate(const Args& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: q350ctl " << kUsage
                  << "\n  sign: writes FILE.sig, the ECDSA P-256 / SHA-256 signature of FILE by the\n"
                     "  private key in KEY.pem (DER, as openssl dgst -sha256 -sign writes it).\n"
                     "  verify: checks FILE against FILE.sig (or SIGNATURE) with the keys this\n"
                     "  build trusts; exit status 1 when it does not verify.\n";
        return 0;
    }
    if (args.size() == 3 && args[0] == "sign") {
        return Sign(args[1], args[2]);
    }
    if ((args.size() == 2 || args.size() == 3) && args[0] == "verify") {
        return Verify(args[1], args.size() == 3 ? args[2] : args[1] + std::string(kSignatureSuffix));
    }
    return Usage(kUsage);
}

}  // namespace q350::cli
