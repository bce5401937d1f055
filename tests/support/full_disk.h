#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <cstdint>

namespace testing_support {

// A disk that fills up after `bytes` more bytes of any one file, for as long as the object lives:
// the process's file size limit lowered, so writes past it fail with EFBIG as they would with
// ENOSPC (and SIGXFSZ, which would end the process, ignored). Process-wide: nothing else in the
// process may write large files meanwhile.
class ScopedFullDisk {
public:
    explicit ScopedFullDisk(std::uint64_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_previousLimit);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &m_previousAction);
        rlimit limit = m_previousLimit;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &m_previousLimit);
        ::sigaction(SIGXFSZ, &m_previousAction, nullptr);
    }
    ScopedFullDisk(const ScopedFullDisk&) = delete;
    ScopedFullDisk& operator=(const ScopedFullDisk&) = delete;

private:
    rlimit m_previousLimit{};
    struct sigaction m_previousAction {};
};

}  // namespace testing_support
