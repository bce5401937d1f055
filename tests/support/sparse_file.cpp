#include "support/sparse_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>

namespace testing_support {

SparseFile::SparseFile(std::string bytes) {
    if (!bytes.empty()) m_parts.push_back({std::move(bytes), 0});
}

SparseFile SparseFile::zeros(std::uint64_t count) {
    SparseFile file;
    if (count) file.m_parts.push_back({{}, count});
    return file;
}

SparseFile& SparseFile::operator+=(const SparseFile& other) {
    for (const Part& part : other.m_parts) {
        // Bytes after bytes join, so a file built box by box stays a few parts.
        if (!m_parts.empty() && m_parts.back().zeros == 0)
            m_parts.back() = {m_parts.back().bytes + part.bytes, part.zeros};
        else
            m_parts.push_back(part);
    }
    return *this;
}

std::uint64_t SparseFile::size() const {
    std::uint64_t total = 0;
    for (const Part& part : m_parts) total += part.bytes.size() + part.zeros;
    return total;
}

void SparseFile::write(const std::filesystem::path& path) const {
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) throw std::runtime_error("cannot write " + path.string());
    off_t at = 0;
    bool written = true;
    for (const Part& part : m_parts) {
        written = written &&
                  ::pwrite(file, part.bytes.data(), part.bytes.size(), at) == static_cast<ssize_t>(part.bytes.size());
        at += static_cast<off_t>(part.bytes.size() + part.zeros);
    }
    written = written && ::ftruncate(file, at) == 0;
    ::close(file);
    if (!written) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace testing_support
