#include "support/test_media.h"

#include <cstdlib>
#include <stdexcept>

namespace testing_support {

std::filesystem::path testMedia(const std::string& name) {
    const char* dir = std::getenv("REELHAVEN_MEDIA_DIR");
    if (!dir || !*dir) throw std::runtime_error("REELHAVEN_MEDIA_DIR is not set; run through ctest");
    auto path = std::filesystem::path(dir) / name;
    if (!std::filesystem::exists(path))
        throw std::runtime_error("missing test media " + path.string() + "; run tools/make-test-media");
    return path;
}

std::filesystem::path sourceDir() {
    const char* dir = std::getenv("REELHAVEN_SOURCE_DIR");
    if (!dir || !*dir) throw std::runtime_error("REELHAVEN_SOURCE_DIR is not set; run through ctest");
    return dir;
}

}  // namespace testing_support
