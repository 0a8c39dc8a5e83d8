#include "campaign/sha256.h"

#include <openssl/evp.h>

void Sha256::Free::operator()(evp_md_ctx_st* context) const {
    EVP_MD_CTX_free(context);
}

Sha256::Sha256() : context_(EVP_MD_CTX_new()) {
    if (context_ && EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1) {
        context_.reset();
    }
}

Sha256::~Sha256() = default;

void Sha256::add(std::string_view bytes) {
    if (context_ && EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size()) != 1) {
        context_.reset();
    }
}

std::string Sha256::hex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!context_ || EVP_DigestFinal_ex(context_.get(), digest, &length) != 1) {
        return std::string();  // out of memory in OpenSSL: no digest rather than a wrong one
    }
    context_.reset();
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += kDigits[digest[i] >> 4];
        text += kDigits[digest[i] & 15];
    }
    return text;
}
