#include "publish/Cmd5Capi.h"

#include <openssl/evp.h>

#include <memory>

namespace {

struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

std::string Cmd5Capi::Hash(std::string_view text) {
    const std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
    if (!context) return std::string(kErrorContext);
    // MD5 may be refused (a FIPS-only provider): that is the step that creates the hash.
    if (EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return std::string(kErrorCreate);
    if (EVP_DigestUpdate(context.get(), text.data(), text.size()) != 1)
        return std::string(kErrorData);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return std::string(kErrorParam);

    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 0x0F];
    }
    return hex;
}
