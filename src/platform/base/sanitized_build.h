#pragma once

// Whether this build runs under AddressSanitizer or ThreadSanitizer (gcc says so by a macro, clang
// by a feature): their allocators keep freed memory back and take over the C allocator's entry
// points, which what reserves or replaces memory has to know.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define REELHAVEN_SANITIZED_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define REELHAVEN_SANITIZED_BUILD 1
#endif
#endif
#ifndef REELHAVEN_SANITIZED_BUILD
#define REELHAVEN_SANITIZED_BUILD 0
#endif
