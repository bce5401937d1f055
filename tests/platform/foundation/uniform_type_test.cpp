#include "platform/foundation/uniform_type.h"

#include <gtest/gtest.h>

namespace foundation {
namespace {

TEST(UniformTypeTest, SystemTypesKnowTheirExtensionsAndParents) {
    const auto mp4 = UniformType::forFilenameExtension("MP4");  // case does not matter
    ASSERT_TRUE(mp4.has_value());
    EXPECT_EQ(*mp4, UniformType::mpeg4Movie());
    EXPECT_EQ(UniformType::forFilenameExtension("mpg4"), UniformType::mpeg4Movie());
    EXPECT_TRUE(mp4->conforms(UniformType::movie()));
    EXPECT_TRUE(mp4->conforms(UniformType::data()));
    EXPECT_TRUE(mp4->conforms(UniformType::item()));
    EXPECT_FALSE(mp4->conforms(UniformType::video()));  // a movie may be audio only
    EXPECT_TRUE(UniformType::video().conforms(UniformType::movie()));
    EXPECT_FALSE(UniformType::movie().conforms(UniformType::mpeg4Movie()));
    EXPECT_EQ(UniformType::quickTimeMovie().preferredFilenameExtension(), "mov");
    EXPECT_EQ(UniformType::mpeg2TransportStream().filenameExtensions(),
              (std::vector<std::string>{"ts", "mts", "m2ts"}));
    EXPECT_FALSE(UniformType::movie().preferredFilenameExtension().has_value());
    EXPECT_FALSE(UniformType::forFilenameExtension("nosuch").has_value());
    EXPECT_FALSE(UniformType::withIdentifier("com.example.unknown").has_value());
}

TEST(UniformTypeTest, AnAppDeclaresItsTypesThenImportsThem) {
    UniformType::declare({"com.example.matroska", {"mkv", "mk3d"}, {}});
    const auto matroska = UniformType::importedAs("com.example.matroska");
    EXPECT_EQ(matroska.preferredFilenameExtension(), "mkv");
    EXPECT_EQ(UniformType::forFilenameExtension("mk3d"), matroska);
    EXPECT_TRUE(matroska.conforms(UniformType::data()));  // no parent given: data
    EXPECT_FALSE(matroska.conforms(UniformType::movie()));

    const auto bare = UniformType::importedAs("com.example.undeclared", "public.movie");
    EXPECT_TRUE(bare.filenameExtensions().empty());
    EXPECT_TRUE(bare.conforms(UniformType::movie()));
    EXPECT_TRUE(UniformType::withIdentifier("com.example.undeclared").has_value());

    UniformType::declare({"com.example.a", {}, {"com.example.b"}});  // a cycle ends the walk
    UniformType::declare({"com.example.b", {}, {"com.example.a"}});
    EXPECT_FALSE(UniformType::importedAs("com.example.a").conforms(UniformType::movie()));
}

}  // namespace
}  // namespace foundation
