#include "platform/foundation/md5.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include "platform/base/fatal.h"

namespace foundation {

namespace {

// Left to itself, OpenSSL frees its global state in an exit handler, while every thread that used
// it frees its own state on ending through that same global state: a worker thread ending as the
// process exits then races the handler and frees memory twice. Whoever initialises OpenSSL first
// decides, so this runs before the first digest and at start-up (below), ahead of any library
// that may use OpenSSL; the global state is then left for the process's end to reclaim.
void initialiseCrypto() {
    static const bool initialised = OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr) == 1;
    if (!initialised) base::fatal("OpenSSL cannot be initialised");
}

[[maybe_unused]] const bool kInitialisedAtStartUp = (initialiseCrypto(), true);

}  // namespace

std::string md5Hex(std::string_view bytes) {
    initialiseCrypto();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr) != 1 || length != 16)
        base::fatal("OpenSSL MD5 digest failed");
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(32);
    for (unsigned int i = 0; i < length; ++i) {
        hex.push_back(kHex[digest[i] >> 4]);
        hex.push_back(kHex[digest[i] & 15]);
    }
    return hex;
}

}  // namespace foundation
