// Signatures through CNG: the DER signature is turned into CNG's r || s form by the system's own
// ASN.1 decoder, the digest made and the signature checked by the primitives provider.
#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/signature.h"

namespace q350 {

namespace {

constexpr std::size_t kCoordinateSize = 32;

class Algorithm {
public:
    explicit Algorithm(const wchar_t* id) {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&h_, id, nullptr, 0))) {
            h_ = nullptr;
        }
    }
    ~Algorithm() {
        if (h_) {
            BCryptCloseAlgorithmProvider(h_, 0);
        }
    }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE get() const { return h_; }

private:
    BCRYPT_ALG_HANDLE h_ = nullptr;
};

class Key {
public:
    Key() = default;
    ~Key() {
        if (h_) {
            BCryptDestroyKey(h_);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    BCRYPT_KEY_HANDLE* put() { return &h_; }
    BCRYPT_KEY_HANDLE get() const { return h_; }

private:
    BCRYPT_KEY_HANDLE h_ = nullptr;
};

class Hash {
public:
    Hash() = default;
    ~Hash() {
        if (h_) {
            BCryptDestroyHash(h_);
        }
    }
    Hash(const Hash&) = delete;
    Hash& operator=(const Hash&) = delete;
    BCRYPT_HASH_HANDLE* put() { return &h_; }
    BCRYPT_HASH_HANDLE get() const { return h_; }

private:
    BCRYPT_HASH_HANDLE h_ = nullptr;
};

// Memory the ASN.1 decoder allocated.
struct LocalMemory {
    ~LocalMemory() { LocalFree(p); }
    void* p = nullptr;
};

// One little-endian integer of the decoded signature as a big-endian coordinate; false when it
// does not fit.
bool PutCoordinate(const CRYPT_UINT_BLOB& value, std::uint8_t* out) {
    std::size_t n = value.cbData;
    while (n > kCoordinateSize && value.pbData[n - 1] == 0) {
        --n;  // high zero bytes
    }
    if (n > kCoordinateSize || n == 0) {
        return false;
    }
    std::fill(out, out + kCoordinateSize, std::uint8_t{0});
    for (std::size_t i = 0; i < n; ++i) {
        out[kCoordinateSize - 1 - i] = value.pbData[i];
    }
    return true;
}

bool Digest(std::span<const std::uint8_t> data, std::uint8_t* digest) {
    const Algorithm sha(BCRYPT_SHA256_ALGORITHM);
    Hash hash;
    if (!sha.get() ||
        !BCRYPT_SUCCESS(BCryptCreateHash(sha.get(), hash.put(), nullptr, 0, nullptr, 0, 0))) {
        return false;
    }
    // In pieces that fit a ULONG.
    constexpr std::size_t kPiece = 1u << 30;
    for (std::size_t at = 0; at < data.size(); at += kPiece) {
        const std::size_t n = std::min(kPiece, data.size() - at);
        if (!BCRYPT_SUCCESS(BCryptHashData(hash.get(), const_cast<PUCHAR>(data.data() + at),
                                           static_cast<ULONG>(n), 0))) {
            return false;
        }
    }
    return BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), digest, 32, 0));
}

}  // namespace

bool Sha256(std::span<const std::uint8_t> data, std::array<std::uint8_t, 32>& digest) {
    return Digest(data, digest.data());
}

bool VerifySignature(std::span<const std::uint8_t> data, std::span<const std::uint8_t> signature,
                     const SigningKey& key) {
    if (signature.empty() || signature.size() > kMaxSignatureSize) {
        return false;
    }
    LocalMemory decoded;
    DWORD decodedSize = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ECC_SIGNATURE, signature.data(),
                             static_cast<DWORD>(signature.size()), CRYPT_DECODE_ALLOC_FLAG, nullptr,
                             &decoded.p, &decodedSize) ||
        decoded.p == nullptr) {
        return false;
    }
    const auto* ecc = static_cast<const CERT_ECC_SIGNATURE*>(decoded.p);
    std::uint8_t rs[2 * kCoordinateSize];
    if (!PutCoordinate(ecc->r, rs) || !PutCoordinate(ecc->s, rs + kCoordinateSize)) {
        return false;
    }

    std::uint8_t digest[32];
    if (!Digest(data, digest)) {
        return false;
    }

    // The public key blob: header, X, Y.
    std::vector<std::uint8_t> blob(sizeof(BCRYPT_ECCKEY_BLOB) + key.point.size());
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kCoordinateSize};
    std::memcpy(blob.data(), &header, sizeof(header));
    std::copy(key.point.begin(), key.point.end(), blob.begin() + sizeof(header));
    const Algorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
    Key handle;
    if (!ecdsa.get() ||
        !BCRYPT_SUCCESS(BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB,
                                            handle.put(), blob.data(),
                                            static_cast<ULONG>(blob.size()), 0))) {
        return false;
    }
    return BCRYPT_SUCCESS(BCryptVerifySignature(handle.get(), nullptr, digest, sizeof(digest), rs,
                                                sizeof(rs), 0));
}

}  // namespace q350
