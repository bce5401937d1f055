// Writes the hostile shapes the tests use into a folder, at the size that cost what each entry
// says (or small, with "cheap"), and prints a line a shape: its name, its file and that cost.
// NAME writes only that shape, NAME=SIZE that shape at another size.
// Usage: bench_write_hostile_media FOLDER [full|cheap] [NAME[=SIZE]...]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "support/hostile_media.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [full|cheap] [NAME[=SIZE]...]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const auto scale =
        argc > 2 && std::strcmp(argv[2], "cheap") == 0 ? hostile_media::Scale::cheap : hostile_media::Scale::full;
    std::map<std::string, std::optional<std::uint64_t>> only;
    for (int i = 3; i < argc; ++i) {
        const std::string word = argv[i];
        const auto equals = word.find('=');
        if (equals == std::string::npos)
            only[word] = std::nullopt;
        else
            only[word.substr(0, equals)] = std::strtoull(word.c_str() + equals + 1, nullptr, 10);
    }
    std::filesystem::create_directories(folder);
    for (const auto& shape : hostile_media::shapes()) {
        const auto chosen = only.find(shape.name);
        if (!only.empty() && chosen == only.end()) continue;
        const std::uint64_t size = chosen != only.end() && chosen->second ? *chosen->second : shape.size(scale);
        const auto file = folder / shape.fileName;
        shape.build(file, size);
        std::printf("%s\t%s\t%s\n", shape.name, file.c_str(), shape.costBefore);
    }
    return 0;
}
