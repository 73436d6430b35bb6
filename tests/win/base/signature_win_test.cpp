// Verification through CNG, against signatures that OpenSSL's command line made.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "base/signature.h"

namespace q350 {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const wchar_t* name) {
    std::ifstream in(std::filesystem::path(Q350_KEY_FOLDER) / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class CngSignature : public ::testing::Test {
protected:
    const Bytes sample_ = ReadAll(L"signed_sample.txt");
    const Bytes signature_ = ReadAll(L"signed_sample.txt.sig");
};

TEST_F(CngSignature, TheTestKeysSignatureVerifiesAndNoOtherKeys) {
    ASSERT_FALSE(sample_.empty());
    ASSERT_FALSE(signature_.empty());
    std::string_view by;
    EXPECT_TRUE(VerifyTrusted(sample_, signature_, &by));
    EXPECT_EQ(by, "test");
    EXPECT_FALSE(VerifySignature(sample_, signature_, TrustedKeys().front()));
    EXPECT_FALSE(VerifyTrusted(sample_, ReadAll(L"signed_sample.txt.other.sig")));
}

TEST_F(CngSignature, ChangedFilesAndSignaturesAreRefused) {
    for (std::size_t i = 0; i < sample_.size(); ++i) {
        Bytes changed = sample_;
        changed[i] ^= 0x04;
        EXPECT_FALSE(VerifyTrusted(changed, signature_)) << "file byte " << i;
    }
    for (std::size_t i = 0; i < signature_.size(); ++i) {
        Bytes changed = signature_;
        changed[i] ^= 0x01;
        EXPECT_FALSE(VerifyTrusted(sample_, changed)) << "signature byte " << i;
    }
    for (std::size_t n = 0; n < signature_.size(); ++n) {
        EXPECT_FALSE(VerifyTrusted(sample_, Bytes(signature_.begin(), signature_.begin() + n)))
            << n;
    }
    EXPECT_FALSE(VerifyTrusted(sample_, Bytes{0x30, 0x06, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00}));
    EXPECT_FALSE(VerifyTrusted(sample_, Bytes(64, 0x11)));  // the bare r || s form is no DER
    EXPECT_FALSE(VerifyTrusted(sample_, Bytes(kMaxSignatureSize + 1, 0x30)));
}

}  // namespace
}  // namespace q350
