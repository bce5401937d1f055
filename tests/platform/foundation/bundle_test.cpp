#include "platform/foundation/bundle.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "support/temp_dir.h"
#include "support/test_media.h"

namespace foundation {
namespace {

// Sets an environment variable for one test.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_previous = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (m_previous) {
            setenv(m_name, m_previous->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_previous;
};

TEST(BundleTest, ReportsTheVersionTheProjectIsBuiltAs) {
    std::ifstream file(testing_support::sourceDir() / "CMakeLists.txt");
    std::stringstream text;
    text << file.rdbuf();
    std::smatch match;
    const std::string lists = text.str();
    ASSERT_TRUE(std::regex_search(lists, match, std::regex(R"(project\(reelhaven VERSION ([0-9.]+))")));
    EXPECT_EQ(Bundle::main().objectForInfoDictionaryKey("CFBundleShortVersionString"), match[1].str());
    EXPECT_EQ(Bundle::main().objectForInfoDictionaryKey("CFBundleName"), "Reelhaven");
    EXPECT_EQ(Bundle::main().objectForInfoDictionaryKey("NoSuchKey"), std::nullopt);
}

TEST(BundleTest, ATestsInfoDictionaryLastsForItsScope) {
    const auto original = Bundle::main().infoDictionary();
    {
        ScopedBundleInfo info(Bundle::InfoDictionary{{"CFBundleName", "Reelhaven"}});
        EXPECT_EQ(Bundle::main().objectForInfoDictionaryKey("CFBundleShortVersionString"), std::nullopt);
    }
    EXPECT_EQ(Bundle::main().infoDictionary(), original);
}

TEST(BundleTest, FindsResourcesInTheSourceTreeOrWhereTheEnvironmentSays) {
    auto page = Bundle::main().pathForResource("WebUploader", "bundle");
    ASSERT_TRUE(page);
    EXPECT_TRUE(std::filesystem::is_regular_file(*page + "/index.html"));
    EXPECT_EQ(Bundle::main().pathForResource("Missing", "bundle"), std::nullopt);

    testing_support::TempDir dir;
    testing_support::writeFile(dir / "fonts.txt", "Inter");
    ScopedEnvironment resources("REELHAVEN_RESOURCES_DIR", dir.path().string());
    EXPECT_EQ(Bundle::main().resourcePath(), dir.path().string());
    EXPECT_EQ(Bundle::main().pathForResource("fonts", "txt"), (dir / "fonts.txt").string());
    EXPECT_EQ(Bundle::main().pathForResource("WebUploader", "bundle"), std::nullopt);
}

}  // namespace
}  // namespace foundation
