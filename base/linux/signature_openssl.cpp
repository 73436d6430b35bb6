// Signatures through OpenSSL's libcrypto.
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/pem.h>

#include <cstdio>
#include <memory>

#include "base/linux/signing.h"
#include "base/signature.h"

namespace q350 {

namespace {

struct PkeyFree {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
};
struct PkeyCtxFree {
    void operator()(EVP_PKEY_CTX* p) const { EVP_PKEY_CTX_free(p); }
};
struct MdCtxFree {
    void operator()(EVP_MD_CTX* p) const { EVP_MD_CTX_free(p); }
};
struct ParamBuildFree {
    void operator()(OSSL_PARAM_BLD* p) const { OSSL_PARAM_BLD_free(p); }
};
struct ParamFree {
    void operator()(OSSL_PARAM* p) const { OSSL_PARAM_free(p); }
};
struct FileClose {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;

Pkey PublicKey(const SigningKey& key) {
    // The uncompressed point form: 0x04, X, Y.
    unsigned char point[1 + 64];
    point[0] = 0x04;
    std::copy(key.point.begin(), key.point.end(), point + 1);
    std::unique_ptr<OSSL_PARAM_BLD, ParamBuildFree> build(OSSL_PARAM_BLD_new());
    if (!build ||
        !OSSL_PARAM_BLD_push_utf8_string(build.get(), OSSL_PKEY_PARAM_GROUP_NAME, "prime256v1", 0) ||
        !OSSL_PARAM_BLD_push_octet_string(build.get(), OSSL_PKEY_PARAM_PUB_KEY, point,
                                          sizeof(point))) {
        return nullptr;
    }
    std::unique_ptr<OSSL_PARAM, ParamFree> params(OSSL_PARAM_BLD_to_param(build.get()));
    std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree> ctx(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    EVP_PKEY* raw = nullptr;
    if (!params || !ctx || EVP_PKEY_fromdata_init(ctx.get()) <= 0 ||
        EVP_PKEY_fromdata(ctx.get(), &raw, EVP_PKEY_PUBLIC_KEY, params.get()) <= 0) {
        return nullptr;
    }
    return Pkey(raw);
}

bool Problem(std::string* problem, const char* text) {
    if (problem) {
        *problem = text;
    }
    return false;
}

}  // namespace

bool VerifySignature(std::span<const std::uint8_t> data, std::span<const std::uint8_t> signature,
                     const SigningKey& key) {
    if (signature.empty() || signature.size() > kMaxSignatureSize) {
        return false;
    }
    const Pkey pkey = PublicKey(key);
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> md(EVP_MD_CTX_new());
    if (!pkey || !md ||
        EVP_DigestVerifyInit(md.get(), nullptr, EVP_sha256(), nullptr, pkey.get()) != 1) {
        return false;
    }
    // 1 is a valid signature; 0 a wrong one, a negative value a malformed one.
    return EVP_DigestVerify(md.get(), signature.data(), signature.size(), data.data(),
                            data.size()) == 1;
}

bool Sha256(std::span<const std::uint8_t> data, std::array<std::uint8_t, 32>& digest) {
    unsigned int length = 0;
    return EVP_Digest(data.data(), data.size(), digest.data(), &length, EVP_sha256(), nullptr) ==
               1 &&
           length == digest.size();
}

bool SignWithKeyFile(const std::filesystem::path& keyFile, std::span<const std::uint8_t> data,
                     std::vector<std::uint8_t>& signature, std::string* problem) {
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(keyFile.c_str(), "rb"));
    if (!file) {
        return Problem(problem, "cannot read the key file");
    }
    const Pkey pkey(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr));
    if (!pkey) {
        return Problem(problem, "the key file holds no private key in PEM form");
    }
    char group[32] = {};
    std::size_t groupLength = 0;
    if (EVP_PKEY_get_utf8_string_param(pkey.get(), OSSL_PKEY_PARAM_GROUP_NAME, group,
                                       sizeof(group), &groupLength) != 1 ||
        std::string_view(group, groupLength) != "prime256v1") {
        return Problem(problem, "the key is no P-256 key");
    }
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> md(EVP_MD_CTX_new());
    std::size_t length = 0;
    if (!md || EVP_DigestSignInit(md.get(), nullptr, EVP_sha256(), nullptr, pkey.get()) != 1 ||
        EVP_DigestSign(md.get(), nullptr, &length, data.data(), data.size()) != 1) {
        return Problem(problem, "the signature could not be made");
    }
    signature.resize(length);
    if (EVP_DigestSign(md.get(), signature.data(), &length, data.data(), data.size()) != 1) {
        return Problem(problem, "the signature could not be made");
    }
    signature.resize(length);
    return true;
}

}  // namespace q350
