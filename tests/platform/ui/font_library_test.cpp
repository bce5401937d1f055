#include "platform/ui/text/font_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace ui {
namespace {

namespace fs = std::filesystem;

// Two Inter faces copied into folders of a test's own, under names of its choosing.
class FontLibraryFolders : public ::testing::Test {
protected:
    void SetUp() override {
        const auto regular = FontLibrary::shared().fontFile("Inter-Regular");
        const auto bold = FontLibrary::shared().fontFile("Inter-Bold");
        if (!regular || !bold) GTEST_SKIP() << "the Inter fonts are not installed";
        m_regular = regular->path;
        m_bold = bold->path;
        fs::create_directories(named());
        fs::create_directories(other());
    }

    std::string named() const { return (m_temp / "named").string(); }
    std::string other() const { return (m_temp / "other").string(); }

    testing_support::TempDir m_temp;
    std::string m_regular;
    std::string m_bold;
};

TEST_F(FontLibraryFolders, AFontIsFoundByItsFilesNameAndByReadingAFolderWhoseFilesAreNamedOtherwise) {
    fs::copy_file(m_regular, named() + "/Inter-Regular.otf");
    fs::copy_file(m_bold, other() + "/heavy.otf");
    FontLibrary library({named(), other()}, 1);

    EXPECT_EQ(library.fontFile("Inter-Regular"), (FontLibrary::FontFile{named() + "/Inter-Regular.otf", 0}));
    EXPECT_EQ(library.fontFile("Inter-Bold"), (FontLibrary::FontFile{other() + "/heavy.otf", 0}));
    EXPECT_FALSE(library.hasFont("Inter-Thin"));
}

TEST_F(FontLibraryFolders, AFileNamedAfterAFontItDoesNotHoldIsNotTakenForIt) {
    // A bold face under the regular one's name, and the regular one under another name.
    fs::copy_file(m_bold, named() + "/Inter-Regular.otf");
    fs::copy_file(m_regular, named() + "/book.otf");
    FontLibrary library({named()}, 1);

    EXPECT_EQ(library.fontFile("Inter-Regular"), (FontLibrary::FontFile{named() + "/book.otf", 0}));
    EXPECT_EQ(library.fontFile("Inter-Bold"), (FontLibrary::FontFile{named() + "/Inter-Regular.otf", 0}));
    const auto metrics = library.metrics("Inter-Regular");
    ASSERT_TRUE(metrics);
    EXPECT_EQ(metrics->weightClass, 400);
}

}  // namespace
}  // namespace ui
