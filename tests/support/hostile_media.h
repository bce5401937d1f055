#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// Files made to cost the app memory or time as it lists them, each with what it cost before the
// library's files were read in helper processes. Tests make them small; the hostile bench makes
// them at the size that cost what their entry says. Every one is written by a builder here:
// hostile media is made, never kept.
namespace hostile_media {

enum class Scale {
    cheap,  // kilobytes, made and read in milliseconds: the same shape, a small claim
    full,   // the claim that cost what the entry says
};

struct Shape {
    const char* name;      // one word: the bench's row, the tests' trace
    const char* fileName;  // listed under it: its extension makes it a library file
    // What a listing of it alone at full size (`reelhaven --list`, empty caches) peaked at in
    // resident memory when the app read it with FFmpeg in its own process (measured by the
    // hostile bench on the build before the helper processes, 8 CPUs).
    const char* costBefore;
    // The size the builder is given at each scale; what it counts is said beside each builder.
    std::uint64_t cheap;
    std::uint64_t full;
    void (*build)(const std::filesystem::path& file, std::uint64_t size);

    std::uint64_t size(Scale scale) const { return scale == Scale::cheap ? cheap : full; }
};

// Every shape, each another way of costing what no count of FFmpeg's tables foresaw.
const std::vector<Shape>& shapes();

// Writes `shape` at `scale` into `folder` under its file name, and gives its path.
std::filesystem::path write(const Shape& shape, const std::filesystem::path& folder, Scale scale);

}  // namespace hostile_media
