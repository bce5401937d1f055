// The C allocator's entry points, passed to the C library's own allocator, each noting a refusal:
// defined in the executable, they are what every library of the process calls.

#include "core/allocation_failures.h"

#include <errno.h>

#include <atomic>
#include <cstddef>

#include "platform/base/sanitized_build.h"

namespace reelhaven {

namespace {

std::atomic<bool> g_refused{false};

}  // namespace

bool takeAllocationFailure() { return g_refused.exchange(false); }

}  // namespace reelhaven

// A sanitizer owns the allocator's entry points itself.
#if !REELHAVEN_SANITIZED_BUILD

extern "C" {

void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void* __libc_valloc(std::size_t size);
void* __libc_pvalloc(std::size_t size);

namespace {

void* noted(void* block, bool asked) {
    if (!block && asked) reelhaven::g_refused.store(true, std::memory_order_relaxed);
    return block;
}

}  // namespace

void* malloc(std::size_t size) noexcept { return noted(__libc_malloc(size), true); }
void* calloc(std::size_t count, std::size_t size) noexcept {
    return noted(__libc_calloc(count, size), count != 0 && size != 0);
}
// realloc(block, 0) frees the block and may give null.
void* realloc(void* block, std::size_t size) noexcept { return noted(__libc_realloc(block, size), size != 0); }
void free(void* block) noexcept { __libc_free(block); }
void* memalign(std::size_t alignment, std::size_t size) noexcept {
    return noted(__libc_memalign(alignment, size), true);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    return noted(__libc_memalign(alignment, size), true);
}
void* valloc(std::size_t size) noexcept { return noted(__libc_valloc(size), true); }
void* pvalloc(std::size_t size) noexcept { return noted(__libc_pvalloc(size), true); }
int posix_memalign(void** block, std::size_t alignment, std::size_t size) noexcept {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* allocated = noted(__libc_memalign(alignment, size), true);
    if (!allocated) return ENOMEM;
    *block = allocated;
    return 0;
}

}  // extern "C"

#endif
