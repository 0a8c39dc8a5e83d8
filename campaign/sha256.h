#pragma once
// SHA-256 of a stream of bytes, for the provenance of each input: OpenSSL's,
// which uses the processor's SHA instructions (about ten times Qt's
// QCryptographicHash here, so hashing costs the reading little).

#include <memory>
#include <string>
#include <string_view>

struct evp_md_ctx_st;

class Sha256 {
  public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void add(std::string_view bytes);
    // The digest in lower-case hexadecimal; the hash is spent after it.
    std::string hex();

  private:
    struct Free {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, Free> context_;
};
