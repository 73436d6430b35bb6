#include "base/signature.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/linux/signing.h"

namespace q350 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

fs::path KeyFolder() {
    const char* source = std::getenv("Q350_SOURCE_DIR");
    return fs::path(source ? source : ".") / "tests" / "keys";
}

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes Sign(const Bytes& data, const char* key = "update_test_key.pem") {
    Bytes signature;
    std::string problem;
    EXPECT_TRUE(SignWithKeyFile(KeyFolder() / key, data, signature, &problem)) << problem;
    return signature;
}

const SigningKey& ReleaseKey() {
    return TrustedKeys().front();
}

TEST(TrustedKeys, TheReleaseKeyAlwaysAndTheTestKeyInTestBuilds) {
    ASSERT_FALSE(TrustedKeys().empty());
    EXPECT_EQ(ReleaseKey().name, "release");
    EXPECT_TRUE(TrustsTestKey());
    ASSERT_EQ(TrustedKeys().size(), 2u);
    EXPECT_EQ(TrustedKeys()[1].name, "test");
    EXPECT_NE(TrustedKeys()[0].point, TrustedKeys()[1].point);
}

TEST(Signature, WhatOpensslSignsVerifiesAndOnlyWithItsKey) {
    // Written by `openssl dgst -sha256 -sign`, so the format is the command's, not ours.
    const Bytes sample = ReadAll(KeyFolder() / "signed_sample.txt");
    const Bytes signature = ReadAll(KeyFolder() / "signed_sample.txt.sig");
    ASSERT_FALSE(sample.empty());
    std::string_view by;
    EXPECT_TRUE(VerifyTrusted(sample, signature, &by));
    EXPECT_EQ(by, "test");
    EXPECT_FALSE(VerifySignature(sample, signature, ReleaseKey()));
    EXPECT_FALSE(VerifyTrusted(sample, ReadAll(KeyFolder() / "signed_sample.txt.other.sig")));

    // And ours is the same format: it verifies the same way, for any content.
    for (const Bytes& data : {Bytes{}, Bytes{0}, Bytes(100000, 0xA5), sample}) {
        EXPECT_TRUE(VerifyTrusted(data, Sign(data))) << data.size();
        EXPECT_FALSE(VerifyTrusted(data, Sign(data, "other_key.pem"))) << data.size();
    }
}

TEST(Signature, EveryChangedBitOfTheFileOrTheSignatureIsRefused) {
    const Bytes data = {'u', 'p', 'd', 'a', 't', 'e', 0, 1, 2, 0xFF};
    const Bytes signature = Sign(data);
    ASSERT_TRUE(VerifyTrusted(data, signature));
    for (std::size_t i = 0; i < data.size() * 8; ++i) {
        Bytes changed = data;
        changed[i / 8] ^= static_cast<std::uint8_t>(1u << (i % 8));
        EXPECT_FALSE(VerifyTrusted(changed, signature)) << "file bit " << i;
    }
    for (std::size_t i = 0; i < signature.size() * 8; ++i) {
        Bytes changed = signature;
        changed[i / 8] ^= static_cast<std::uint8_t>(1u << (i % 8));
        EXPECT_FALSE(VerifyTrusted(data, changed)) << "signature bit " << i;
    }
    EXPECT_FALSE(VerifyTrusted(Bytes(data.begin(), data.end() - 1), signature));
    Bytes longer = data;
    longer.push_back(0);
    EXPECT_FALSE(VerifyTrusted(longer, signature));
}

TEST(Signature, MalformedSignaturesAreRefused) {
    const Bytes data = {1, 2, 3};
    const Bytes signature = Sign(data);
    for (std::size_t n = 0; n < signature.size(); ++n) {
        EXPECT_FALSE(VerifyTrusted(data, Bytes(signature.begin(), signature.begin() + n))) << n;
    }
    Bytes trailing = signature;
    trailing.push_back(0);
    EXPECT_FALSE(VerifyTrusted(data, trailing));
    EXPECT_FALSE(VerifyTrusted(data, Bytes(kMaxSignatureSize + 1, 0x30)));
    // r = 0 and s = 0, well-formed DER.
    EXPECT_FALSE(VerifyTrusted(data, Bytes{0x30, 0x06, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00}));
    // A signature of the digest alone is no signature of the file.
    EXPECT_FALSE(VerifyTrusted(data, Bytes(64, 0x11)));
}

TEST(Signing, RefusesWhatIsNoP256PrivateKey) {
    Bytes signature;
    std::string problem;
    EXPECT_FALSE(SignWithKeyFile(KeyFolder() / "missing.pem", Bytes{1}, signature, &problem));
    EXPECT_EQ(problem, "cannot read the key file");
    EXPECT_FALSE(SignWithKeyFile(KeyFolder() / "signed_sample.txt", Bytes{1}, signature, &problem));
    EXPECT_EQ(problem, "the key file holds no private key in PEM form");
    EXPECT_FALSE(SignWithKeyFile(KeyFolder() / "p384_key.pem", Bytes{1}, signature, &problem));
    EXPECT_EQ(problem, "the key is no P-256 key");
}

}  // namespace
}  // namespace q350
