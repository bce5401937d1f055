#pragma once

#include <string>
#include <string_view>

namespace foundation {

// The MD5 digest of `bytes` as 32 lower-case hexadecimal digits (OpenSSL).
std::string md5Hex(std::string_view bytes);

}  // namespace foundation
