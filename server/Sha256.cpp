#include "server/Sha256.h"

#include <openssl/evp.h>

#include <memory>

std::string sha256Hex(const uint8_t* data, size_t size) {
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    uint8_t digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1 ||
        EVP_DigestUpdate(ctx.get(), data, size) != 1 ||
        EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1)
        return std::string();
    constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(size_t(length) * 2);
    for (unsigned int i = 0; i < length; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 15];
    }
    return out;
}
