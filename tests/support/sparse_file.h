#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// A file's contents as bytes and runs of zeros, the zeros left as holes when it is written: a
// crafted file whose 200 MB table or attachment is all zeros takes a few kilobytes of disk and
// of memory to make.
class SparseFile {
public:
    SparseFile() = default;
    SparseFile(std::string bytes);  // NOLINT(google-explicit-constructor): bytes are a file too
    static SparseFile zeros(std::uint64_t count);

    SparseFile& operator+=(const SparseFile& other);
    friend SparseFile operator+(SparseFile left, const SparseFile& right) { return left += right; }

    std::uint64_t size() const;
    // Writes it to `path`, replacing what is there; throws when it cannot.
    void write(const std::filesystem::path& path) const;

private:
    struct Part {
        std::string bytes;
        std::uint64_t zeros = 0;  // after the bytes
    };
    std::vector<Part> m_parts;
};

}  // namespace testing_support
