#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace testing_support {

namespace {
std::filesystem::path baseFolder() {
    // ctest runs in the build tree, which lives on the project's filesystem (user xattrs work
    // there); tmpfs may lack them on older kernels.
    if (const char* env = std::getenv("REELHAVEN_TEST_TMP"); env && *env) return env;
    return std::filesystem::current_path() / "test-tmp";
}
}  // namespace

TempDir::TempDir() {
    auto base = baseFolder();
    std::filesystem::create_directories(base);
    std::string pattern = (base / "t-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed in " + base.string());
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace testing_support
