#include "platform/foundation/bundle.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "support/scoped_environment.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace foundation {
namespace {

using testing_support::ScopedEnvironment;

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
