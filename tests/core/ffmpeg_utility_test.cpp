#include "core/ffmpeg_utility.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/log.h"
#include "platform/graphics/image.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

using testing_support::testMedia;

// Everything a command writes to its standard output.
std::string commandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return {};
    std::string output;
    char buffer[65536];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get())) output.append(buffer, n);
    return output;
}

double ffprobeDuration(const std::string& path) {
    return std::stod(commandOutput("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + path + "'"));
}

// The first frame from `seconds` on as the ffmpeg tool shows it (turned by the display matrix),
// scaled to w x h. The tool decodes from the start up to that time: its own seek would miss the
// picture of a stream it cannot seek in to a key frame.
gfx::Image ffmpegFrame(const std::string& path, int w, int h, double seconds = 0) {
    std::string bytes = commandOutput("ffmpeg -v error -nostdin -i '" + path + "' -ss " + std::to_string(seconds) +
                                      " -frames:v 1 -vf scale=" + std::to_string(w) + ":" + std::to_string(h) +
                                      " -f rawvideo -pix_fmt rgba -");
    if (bytes.size() != static_cast<std::size_t>(w) * h * 4) return {};
    return gfx::Image(w, h, static_cast<std::size_t>(w) * 4, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

bool similar(gfx::Pixel a, gfx::Pixel b) {
    return std::abs(a.r - b.r) < 48 && std::abs(a.g - b.g) < 48 && std::abs(a.b - b.b) < 48;
}

struct LogCapture {
    std::vector<std::string> lines;
    base::ScopedLogSink sink{
        [this](base::LogLevel, std::string_view, std::string_view message) { lines.emplace_back(message); }};
};

struct SizeCase {
    const char* clip;
    int width;
    int height;
};

TEST(FFmpegUtilityTest, ThumbnailsAre640WideWithTheDecoderAspect) {
    const SizeCase cases[] = {
        {"wide.mp4", 640, 360},       // 16:9
        {"classic.mkv", 640, 426},    // 3:2: 426.67 truncated
        {"portrait.mp4", 640, 1137},  // 9:16: 1137.78 truncated
        {"rotated.mp4", 360, 640},    // 16:9 turned a quarter
        {"long.mp4", 640, 360},      {"wide.ts", 640, 360},
    };
    for (const auto& c : cases) {
        auto image = FFmpegUtility::getThumbnailForFile(testMedia(c.clip));
        ASSERT_TRUE(image) << c.clip;
        EXPECT_EQ(image->width(), c.width) << c.clip;
        EXPECT_EQ(image->height(), c.height) << c.clip;
        EXPECT_EQ(image->pixel(c.width / 2, c.height / 2).a, 255) << c.clip;
    }
}

TEST(FFmpegUtilityTest, ThumbnailsAreTurnedAsTheFFmpegToolTurnsThem) {
    for (const char* clip : {"halves.mp4", "halves-rot90.mp4", "halves-rot-90.mp4", "halves-rot180.mp4"}) {
        auto image = FFmpegUtility::getThumbnailForFile(testMedia(clip));
        ASSERT_TRUE(image) << clip;
        auto reference = ffmpegFrame(testMedia(clip), image->width(), image->height());
        ASSERT_FALSE(reference.isEmpty()) << clip;
        const int w = image->width(), h = image->height();
        for (auto [x, y] : {std::pair{w / 8, h / 8}, {w * 7 / 8, h / 8}, {w / 8, h * 7 / 8}, {w * 7 / 8, h * 7 / 8}})
            EXPECT_TRUE(similar(image->pixel(x, y), reference.pixel(x, y))) << clip << " at " << x << "," << y;
    }
    // And in absolute terms: the blue left half ends up on top after a quarter clockwise turn.
    auto clockwise = FFmpegUtility::getThumbnailForFile(testMedia("halves-rot-90.mp4"));
    ASSERT_TRUE(clockwise);
    EXPECT_GT(clockwise->pixel(180, 100).b, 200);
    EXPECT_GT(clockwise->pixel(180, 540).r, 200);
}

TEST(FFmpegUtilityTest, AOneFrameClipIsDrainedFromTheDecoder) {
    auto image = FFmpegUtility::getThumbnailForFile(testMedia("oneframe.mp4"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 640);
    EXPECT_EQ(image->height(), 360);
}

// The mean difference of the colour components of two images of one size.
double meanDifference(const gfx::Image& a, const gfx::Image& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels().size(); ++i) sum += std::abs(a.pixels()[i] - b.pixels()[i]);
    return sum / static_cast<double>(a.pixels().size());
}

// Of the pictures the ffmpeg tool shows from each of `seconds` on, the time of the one most like
// `image`; -1 when the tool gave none.
double nearestSecond(const std::string& path, const gfx::Image& image, std::initializer_list<double> seconds) {
    double nearest = 1e9;
    double nearestAt = -1;
    for (double at : seconds) {
        const gfx::Image reference = ffmpegFrame(path, image.width(), image.height(), at);
        if (reference.isEmpty()) return -1;
        if (const double difference = meanDifference(image, reference); difference < nearest) {
            nearest = difference;
            nearestAt = at;
        }
    }
    return nearestAt;
}

TEST(FFmpegUtilityTest, AStreamThatReordersPicturesGivesTheKeyFrameBeforeTheQuarterPoint) {
    // 10 s with key frames every 2 s and B-frames: the quarter point (2.5 s) gives the picture at
    // 2 s, from an MP4 whose header is read alone, from the same stream in Matroska (probed) and
    // from an interlaced coding of it.
    std::shared_ptr<gfx::Image> first;
    for (const char* clip : {"reordered.mp4", "reordered.mkv", "interlaced.mp4"}) {
        const auto path = testMedia(clip).string();
        const auto image = FFmpegUtility::getThumbnailForFile(path);
        ASSERT_TRUE(image) << clip;
        ASSERT_EQ(image->width(), 640) << clip;
        ASSERT_EQ(image->height(), 360) << clip;
        EXPECT_EQ(nearestSecond(path, *image, {0.0, 2.0, 2.04, 2.5}), 2.0) << clip;
        if (!first) first = image;
    }
    // One stream, one picture, whichever way its container is read.
    EXPECT_TRUE(*first == *FFmpegUtility::getThumbnailForFile(testMedia("reordered.mkv")));
    EXPECT_EQ(FFmpegUtility::getDurationForFile(testMedia("reordered.mp4")), 10);
}

TEST(FFmpegUtilityTest, StreamsThatCannotSeekToAKeyFrameGiveTheirFirstPicture) {
    // sparse-reordered.ts decodes its only key frame before the first time it shows.
    for (const char* clip : {"sparse.ts", "raw.h264", "sparse-reordered.ts"}) {
        auto image = FFmpegUtility::getThumbnailForFile(testMedia(clip));
        ASSERT_TRUE(image) << clip;
        EXPECT_EQ(image->width(), 640) << clip;
        EXPECT_EQ(image->height(), 360) << clip;
        EXPECT_EQ(nearestSecond(testMedia(clip), *image, {0.0, 0.04, 1.0}), 0.0) << clip;
    }
    // A raw stream has no duration, and says so with a number that is not positive.
    EXPECT_LE(FFmpegUtility::getDurationForFile(testMedia("raw.h264")), 0);
}

TEST(FFmpegUtilityTest, ATransportStreamGivesTheThumbnailOfTheSamePicturesInAnMP4) {
    // Key frames at 0 s and 10 s of 20 s: the quarter point needs the one at 0 s in both.
    auto transport = FFmpegUtility::getThumbnailForFile(testMedia("longgop.ts"));
    auto indexed = FFmpegUtility::getThumbnailForFile(testMedia("longgop.mp4"));
    ASSERT_TRUE(transport && indexed);
    EXPECT_TRUE(*transport == *indexed);
}

TEST(FFmpegUtilityTest, FilesWithoutAPictureGiveNothing) {
    LogCapture log;
    EXPECT_FALSE(FFmpegUtility::getThumbnailForFile(testMedia("audio.m4a")));
    EXPECT_EQ(log.lines, std::vector<std::string>{"FFmpeg error: No video stream"});

    log.lines.clear();
    EXPECT_FALSE(FFmpegUtility::getThumbnailForFile(testMedia("cover.mp3")));
    EXPECT_TRUE(log.lines.empty());  // a cover picture is no video, and no error either

    log.lines.clear();
    EXPECT_FALSE(FFmpegUtility::getThumbnailForFile("/nonexistent/clip.mp4"));
    EXPECT_EQ(log.lines, std::vector<std::string>{"FFmpeg error: Couldn't open input stream"});

    log.lines.clear();
    EXPECT_FALSE(FFmpegUtility::getThumbnailForFile(testMedia("truncated.mp4")));
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(FFmpegUtilityTest, DurationsMatchFFprobe) {
    for (const char* clip : {"wide.mp4", "classic.mkv", "portrait.mp4", "long.mp4", "audio.m4a", "wide.ts"}) {
        const auto path = testMedia(clip).string();
        EXPECT_NEAR(FFmpegUtility::getDurationForFile(path), ffprobeDuration(path), 0.1) << clip;
    }
}

TEST(FFmpegUtilityTest, DurationsOfUnreadableFilesAreMinusOne) {
    EXPECT_EQ(FFmpegUtility::getDurationForFile("/nonexistent/clip.mp4"), -1);
    EXPECT_EQ(FFmpegUtility::getDurationForFile(testMedia("truncated.mp4")), -1);
    EXPECT_EQ(FFmpegUtility::getDurationForFile(testMedia("huge-duration.mkv")), -1) << "a header claiming 1e10 s";
    testing_support::TempDir dir;
    testing_support::writeFile(dir / "noise.mp4", std::string(4096, '\x5a'));
    EXPECT_EQ(FFmpegUtility::getDurationForFile(dir / "noise.mp4"), -1);
    EXPECT_FALSE(FFmpegUtility::getThumbnailForFile(dir / "noise.mp4"));
}

TEST(FFmpegUtilityTest, OneOpeningGivesThePictureTheFFmpegToolDecodesAndTheRangeCheckedLength) {
    struct Case {
        const char* clip;
        double picture;  // the key frame before the quarter point, in seconds; < 0: no picture
        double length;   // 0: as ffprobe reads it
    };
    // huge-duration.mkv's header claims 1e10 s: its quarter point lies past the end.
    const Case cases[] = {
        {"wide.mp4", 1.0, 0}, {"rotated.mp4", 1.0, 0},   {"classic.mkv", 0.0, 0},        {"wide.ts", 1.0, 0},
        {"audio.m4a", -1, 0}, {"truncated.mp4", -1, -1}, {"huge-duration.mkv", 0.0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clip);
        const auto path = testMedia(c.clip).string();
        const auto metadata = FFmpegUtility::getMetadataForFile(path);
        if (c.length == 0) {
            EXPECT_NEAR(metadata.duration, ffprobeDuration(path), 0.1);
        } else {
            EXPECT_EQ(metadata.duration, c.length);
        }
        ASSERT_EQ(bool(metadata.thumbnail), c.picture >= 0);
        if (!metadata.thumbnail) continue;
        // The ffmpeg tool's frame at that time (and not the one after it) is the picture.
        const gfx::Image& image = *metadata.thumbnail;
        EXPECT_EQ(nearestSecond(path, image, {c.picture, c.picture + 0.04, c.picture + 0.5}), c.picture);
        EXPECT_LT(meanDifference(image, ffmpegFrame(path, image.width(), image.height(), c.picture)), 8);
    }
}

TEST(FFmpegUtilityTest, OneOpeningGivesTheThumbnailAndTheDurationTheirOwnCallsGive) {
    for (const char* clip : {"wide.mp4", "rotated.mp4", "classic.mkv", "wide.ts", "audio.m4a", "truncated.mp4",
                             "huge-duration.mkv", "false-size.mkv", "huge-false-size.mkv", "huge-no-size.ts"}) {
        const auto path = testMedia(clip).string();
        const auto metadata = FFmpegUtility::getMetadataForFile(path);
        EXPECT_EQ(metadata.duration, FFmpegUtility::getDurationForFile(path)) << clip;
        const auto thumbnail = FFmpegUtility::getThumbnailForFile(path);
        ASSERT_EQ(bool(metadata.thumbnail), bool(thumbnail)) << clip;
        if (thumbnail) {
            EXPECT_EQ(*metadata.thumbnail, *thumbnail) << clip;
        }
    }
}

TEST(FFmpegUtilityTest, AHeaderThatGivesNoSizeOrAFalseOneStillBoundsThePicturesDecoded) {
    struct Case {
        const char* clip;
        bool made;
        double length;  // 0: as ffprobe reads it; -1: none to be read
    };
    const Case cases[] = {
        {"false-size.mkv", true, 0},         // 1600 x 1200 under a header of 64 x 64: decoded again at its size
        {"many-references.ts", true, 0},     // 6000 x 6000, sixteen references, no size before decoding
        {"huge-no-size.ts", false, 0},       // 12000 x 12000, 216 MB, no size before decoding
        {"huge-false-size.mkv", false, -1},  // the same under a header of 64 x 64, and no length
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clip);
        const auto path = testMedia(c.clip).string();
        DecodePixelBudget budget(DecodePixelBudget::kDefaultPixels);
        const auto metadata = FFmpegUtility::getMetadataForFile(path, budget);
        if (c.length == 0) {
            EXPECT_NEAR(metadata.duration, ffprobeDuration(path), 0.1);
        } else {
            EXPECT_LE(metadata.duration, 0);
        }
        ASSERT_EQ(bool(metadata.thumbnail), c.made);
        if (!metadata.thumbnail) continue;
        const gfx::Image& image = *metadata.thumbnail;
        EXPECT_EQ(image.width(), 640);
        EXPECT_LT(meanDifference(image, ffmpegFrame(path, image.width(), image.height())), 8);
    }
}

TEST(FFmpegUtilityTest, APictureOfTallPixelsIsDrawnWithinTwiceTheThumbnailsWidth) {
    // 16 x 16 pixels shown 1 x 16: 640 x 10240 drawn 80 x 1280, in the middle of black.
    const auto path = testMedia("tall-pixels.mp4").string();
    const auto image = FFmpegUtility::getThumbnailForFile(path);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width(), 640);
    ASSERT_EQ(image->height(), 1280);
    for (int y : {0, 640, 1279}) {
        SCOPED_TRACE(y);
        EXPECT_TRUE(similar(image->pixel(279, y), gfx::Pixel{0, 0, 0, 255}));
        EXPECT_TRUE(similar(image->pixel(282, y), gfx::Pixel{255, 0, 0, 255}));
        EXPECT_TRUE(similar(image->pixel(357, y), gfx::Pixel{255, 0, 0, 255}));
        EXPECT_TRUE(similar(image->pixel(360, y), gfx::Pixel{0, 0, 0, 255}));
    }
}

TEST(FFmpegUtilityTest, APictureTooLargeToDecodeGivesNoThumbnailAndItsLengthWithoutTakingItsMemory) {
    LogCapture log;
    DecodePixelBudget budget(DecodePixelBudget::kDefaultPixels);
    // 6000 x 6000 of 16-bit RGBA: 275 MiB decoded, from 600 KB of file.
    const auto huge = testMedia("huge-picture.mkv").string();
    const auto metadata = FFmpegUtility::getMetadataForFile(huge, budget);
    EXPECT_FALSE(metadata.thumbnail);
    EXPECT_EQ(metadata.duration, 1);
    EXPECT_EQ(log.lines, std::vector<std::string>{"FFmpeg error: Picture too large"});
    EXPECT_EQ(FFmpegUtility::getDurationForFile(huge), 1);
    rusage usage{};
    ASSERT_EQ(::getrusage(RUSAGE_SELF, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 160 * 1024) << "kB at most, so far in this process";

    // 4000 x 4000 of it (122 MiB) is made, and so is an 8K picture of 8-bit 4:2:0 (47 MiB), whose
    // size alone would be too large in the widest pixels.
    for (const char* clip : {"big-picture.mkv", "eight-k.mkv"}) {
        SCOPED_TRACE(clip);
        const auto image = FFmpegUtility::getMetadataForFile(testMedia(clip), budget).thumbnail;
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), 640);
        const gfx::Image reference = ffmpegFrame(testMedia(clip), image->width(), image->height());
        ASSERT_FALSE(reference.isEmpty());
        EXPECT_LT(meanDifference(*image, reference), 8);
    }
}

TEST(FFmpegUtilityTest, PicturesAreDecodedWithinThePixelBudgetOneAfterAnotherWhenOnlyOneFits) {
    constexpr std::int64_t kPicture = 320 * 180;  // wide.mp4
    DecodePixelBudget budget(kPicture + kPicture / 2);
    std::vector<std::thread> workers;
    std::atomic<int> made{0};
    for (int i = 0; i < 4; ++i)
        workers.emplace_back(
            [&] { made += bool(FFmpegUtility::getMetadataForFile(testMedia("wide.mp4"), budget).thumbnail); });
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(made, 4);
    EXPECT_EQ(budget.peak(), kPicture) << "two pictures were decoded at once";

    // A picture larger than the whole budget is still made, holding all of it.
    DecodePixelBudget small(1000);
    EXPECT_TRUE(FFmpegUtility::getMetadataForFile(testMedia("wide.mp4"), small).thumbnail);
    EXPECT_EQ(small.peak(), 1000);
}

TEST(FFmpegUtilityTest, AHugePictureIsDecodedAtTheSmallestSizeThatStillFillsTheThumbnail) {
    const auto path = testMedia("large-mjpeg.mkv").string();
    DecodePixelBudget budget(DecodePixelBudget::kDefaultPixels);
    const auto image = FFmpegUtility::getMetadataForFile(path, budget).thumbnail;
    ASSERT_TRUE(image);
    // Decoded at a quarter, but leased as read: a JPEG decoder may keep every coefficient of the
    // whole picture.
    EXPECT_EQ(budget.peak(), 2560 * 1440);
    ASSERT_EQ(image->width(), 640);
    ASSERT_EQ(image->height(), 360);
    const gfx::Image reference = ffmpegFrame(path, 640, 360);
    ASSERT_EQ(reference.width(), 640);
    int unlike = 0;
    for (int y = 10; y < 360; y += 20)
        for (int x = 10; x < 640; x += 20) unlike += !similar(image->pixel(x, y), reference.pixel(x, y));
    EXPECT_LT(unlike, 20) << "of 576 sampled pixels";
}

TEST(FFmpegUtilityTest, PicturesOfPixelsThatAreNotSquareAreDrawnAtTheirDisplayShape) {
    // 240 x 180 of 4:3 pixels and 180 x 120 of 32:27 pixels are both shown 16:9.
    for (const char* clip : {"anamorphic.mp4", "dvd.mpg"}) {
        auto image = FFmpegUtility::getThumbnailForFile(testMedia(clip));
        ASSERT_TRUE(image) << clip;
        EXPECT_EQ(image->width(), 640) << clip;
        EXPECT_EQ(image->height(), 360) << clip;
    }
}

TEST(FFmpegUtilityTest, ADamagedKeyFrameIsPassedOverForTheNextSoundOne) {
    // The key frame before the quarter point is cut short; HEVC draws what is missing green.
    auto image = FFmpegUtility::getThumbnailForFile(testMedia("damaged-hevc.mp4"));
    ASSERT_TRUE(image);
    int green = 0;
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x) {
            const gfx::Pixel pixel = image->pixel(x, y);
            if (pixel.g > 100 && pixel.g < 170 && pixel.r < 40 && pixel.b < 40) ++green;
        }
    EXPECT_LT(green, image->width() * image->height() / 20);
}

TEST(FFmpegUtilityTest, PipesAndLinksToThemAreNotOpened) {
    // Opening a pipe without a writer would block for ever.
    testing_support::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.mp4").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir / "pipe.mp4", dir / "link.mp4");
    LogCapture log;
    for (const char* name : {"pipe.mp4", "link.mp4"}) {
        EXPECT_EQ(FFmpegUtility::getDurationForFile(dir / name), -1) << name;
        EXPECT_FALSE(FFmpegUtility::getThumbnailForFile(dir / name)) << name;
    }
    EXPECT_EQ(log.lines, std::vector<std::string>(2, "FFmpeg error: Couldn't open input stream"));
    // A link to a video is read as the video.
    std::filesystem::create_symlink(testMedia("wide.mp4"), dir / "video.mp4");
    EXPECT_TRUE(FFmpegUtility::getThumbnailForFile(dir / "video.mp4"));
}

TEST(FFmpegUtilityTest, RotationTurnsOnlyQuarterAndHalfTurns) {
    auto image = std::make_shared<gfx::Image>(3, 2);
    // Pixels numbered 0..5 in reading order, in the red channel.
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) image->setPixel(x, y, gfx::Pixel{static_cast<std::uint8_t>(y * 3 + x), 0, 0, 255});
    auto reds = [](const gfx::Image& i) {
        std::vector<int> r;
        for (int y = 0; y < i.height(); ++y)
            for (int x = 0; x < i.width(); ++x) r.push_back(i.pixel(x, y).r);
        return r;
    };
    // 0 1 2      counter-clockwise: 2 5    clockwise: 3 0    half: 5 4 3
    // 3 4 5                         1 4               4 1          2 1 0
    //                               0 3               5 2
    EXPECT_EQ(reds(*FFmpegUtility::rotate(image, 90)), (std::vector<int>{2, 5, 1, 4, 0, 3}));
    EXPECT_EQ(reds(*FFmpegUtility::rotate(image, 89.99999)), (std::vector<int>{2, 5, 1, 4, 0, 3}));
    EXPECT_EQ(reds(*FFmpegUtility::rotate(image, -90)), (std::vector<int>{3, 0, 4, 1, 5, 2}));
    EXPECT_EQ(reds(*FFmpegUtility::rotate(image, -180)), (std::vector<int>{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(reds(*FFmpegUtility::rotate(image, 180)), (std::vector<int>{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(FFmpegUtility::rotate(image, 45), image);
    EXPECT_EQ(FFmpegUtility::rotate(image, 270), image);
}

}  // namespace
}  // namespace reelhaven
