#include "platform/ui/scenes/photo_library.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "platform/graphics/png_codec.h"
#include "support/temp_dir.h"

namespace ui {
namespace {

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class PhotoLibraryFilesTest : public ::testing::Test {
protected:
    PhotoLibraryFilesTest() { PhotoLibrary::shared().reset(); }
    ~PhotoLibraryFilesTest() override { PhotoLibrary::shared().reset(); }

    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir temp;
};

TEST_F(PhotoLibraryFilesTest, WritesEachImageAsANewPngBeforeTheCompletion) {
    auto& library = PhotoLibrary::shared();
    library.setFolder(temp / "Pictures" / "Reelhaven");
    gfx::Image bitmap(3, 2);
    bitmap.setPixel(1, 1, {10, 20, 30, 255});
    auto image = Image::create(bitmap);
    std::vector<bool> fileThereAtCompletion;
    auto completion = [&](const std::shared_ptr<Image>&, std::optional<foundation::Error> error) {
        EXPECT_FALSE(error);
        auto files = library.savedFiles();
        fileThereAtCompletion.push_back(!files.empty() && std::filesystem::exists(files.back()));
    };
    library.saveImage(image, completion);
    library.saveImage(image, completion);
    loop.runUntilIdle();

    EXPECT_EQ(fileThereAtCompletion, (std::vector<bool>{true, true}));
    auto files = library.savedFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files[0], files[1]);
    auto decoded = gfx::PngCodec::decode(readAll(files[1]));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width(), 3);
    EXPECT_EQ(decoded->pixel(1, 1), (gfx::Pixel{10, 20, 30, 255}));
}

TEST_F(PhotoLibraryFilesTest, FallsBackToTheContainersPicturesFolderAndNeverOverwrites) {
    foundation::ScopedContainer container(temp / "home");
    auto& library = PhotoLibrary::shared();
    auto folder = temp / "home" / "Pictures";
    EXPECT_EQ(library.folder(), folder);
    testing_support::writeFile(folder / "IMG_0001.png", "someone else's");
    library.saveImage(Image::create(gfx::Image(1, 1)), nullptr);
    ASSERT_EQ(library.savedFiles().size(), 1u);
    EXPECT_EQ(library.savedFiles()[0], folder / "IMG_0002.png");
    EXPECT_EQ(readAll(folder / "IMG_0001.png"), "someone else's");
}

TEST_F(PhotoLibraryFilesTest, AnUnwritableFolderFailsTheSave) {
    auto& library = PhotoLibrary::shared();
    testing_support::writeFile(temp / "blocker", "a file where the folder should be");
    library.setFolder(temp / "blocker" / "Pictures");
    std::optional<foundation::Error> failure;
    library.saveImage(Image::create(gfx::Image(1, 1)),
                      [&](const std::shared_ptr<Image>&, std::optional<foundation::Error> error) { failure = error; });
    loop.runUntilIdle();
    EXPECT_TRUE(failure);
    EXPECT_TRUE(library.savedImages().empty());
    EXPECT_TRUE(library.savedFiles().empty());
}

}  // namespace
}  // namespace ui
