#include "platform/media/pixel_buffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/base/fatal.h"
#include "platform/media/sample_buffer.h"

namespace media {
namespace {

void fill(PixelBuffer& buffer, std::size_t plane, std::uint8_t seed) {
    std::uint8_t* base = buffer.baseAddressOfPlane(plane);
    std::size_t rows = buffer.isPlanar() ? buffer.heightOfPlane(plane) : buffer.height();
    std::size_t bytesPerRow = buffer.bytesPerRowOfPlane(plane);
    for (std::size_t i = 0; i < rows * bytesPerRow; ++i) base[i] = static_cast<std::uint8_t>(seed + i * 7);
}

TEST(PixelBufferTest, HalfFloatRgbaHasEightBytesAPixelInAlignedRows) {
    auto buffer = PixelBuffer::create(33, 4, PixelFormat::rgba64Half);
    ASSERT_TRUE(buffer);
    EXPECT_FALSE(buffer->isPlanar());
    EXPECT_EQ(buffer->planeCount(), 0u);
    EXPECT_EQ(buffer->bytesPerRow(), 320u);  // 33 × 8 = 264, up to 64
    EXPECT_EQ(buffer->dataSize(), 320u * 4);
    EXPECT_TRUE(buffer->hasIOSurface());
    EXPECT_FALSE(PixelBuffer::create(0, 4, PixelFormat::rgba64Half));
}

TEST(PixelBufferTest, CopyIsDeepAndKeepsEveryVisibleByteWhenRowLengthsDiffer) {
    auto source = PixelBuffer::create(5, 3, PixelFormat::rgba64Half, Backing::plain, 1);
    ASSERT_EQ(source->bytesPerRow(), 40u);
    source->lockBaseAddress();
    fill(*source, 0, 3);
    source->unlockBaseAddress();

    auto copy = source->copy();  // 64-byte rows on the copy's side
    ASSERT_TRUE(copy);
    auto& copied = *copy;
    EXPECT_EQ(copied->bytesPerRow(), 64u);
    EXPECT_TRUE(copied->hasIOSurface());
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(std::memcmp(copied->baseAddressOfPlane(0) + row * 64, source->baseAddressOfPlane(0) + row * 40, 40),
                  0)
            << "row " << row;
    }
    source->baseAddressOfPlane(0)[0] ^= 0xff;
    EXPECT_NE(copied->baseAddressOfPlane(0)[0], source->baseAddressOfPlane(0)[0]);
}

TEST(PixelBufferTest, PlanarCopyCopiesEveryPlaneWithItsOwnHeight) {
    auto source = PixelBuffer::create(6, 4, PixelFormat::yuv420BiPlanarVideoRange);
    ASSERT_TRUE(source->isPlanar());
    ASSERT_EQ(source->planeCount(), 2u);
    EXPECT_EQ(source->heightOfPlane(1), 2);
    fill(*source, 0, 1);
    fill(*source, 1, 9);
    auto copy = source->copy(1);
    ASSERT_TRUE(copy);
    for (std::size_t plane = 0; plane < 2; ++plane) {
        for (int row = 0; row < source->heightOfPlane(plane); ++row) {
            std::size_t visible = (*copy)->bytesPerRowOfPlane(plane);
            EXPECT_EQ(std::memcmp((*copy)->baseAddressOfPlane(plane) + row * visible,
                                  source->baseAddressOfPlane(plane) + row * source->bytesPerRowOfPlane(plane), visible),
                      0);
        }
    }
}

TEST(PixelBufferTest, UnlockingAnUnlockedBufferIsFatal) {
    auto buffer = PixelBuffer::create(1, 1, PixelFormat::bgra32);
    buffer->lockBaseAddress(PixelBuffer::LockFlags::readOnly);
    EXPECT_TRUE(buffer->isLocked());
    buffer->unlockBaseAddress(PixelBuffer::LockFlags::readOnly);
    base::ScopedFatalThrows throws;
    EXPECT_THROW(buffer->unlockBaseAddress(), base::FatalError);
}

TEST(SampleBufferTest, CarriesImageFormatTimingAndAttachments) {
    auto image = PixelBuffer::create(8, 6, PixelFormat::rgba64Half);
    auto description = VideoFormatDescription::create(image);
    ASSERT_TRUE(description);
    EXPECT_EQ(description->width, 8);
    auto sample = SampleBuffer::createReadyWithImageBuffer(image, description, {});
    ASSERT_TRUE(sample);
    EXPECT_FALSE(sample->presentationTimeStamp().isValid());
    EXPECT_FALSE(sample->attachment(kSampleAttachmentKeyDisplayImmediately));
    sample->setAttachment(kSampleAttachmentKeyDisplayImmediately, true);
    EXPECT_TRUE(sample->attachment(kSampleAttachmentKeyDisplayImmediately));

    auto other = PixelBuffer::create(4, 4, PixelFormat::rgba64Half);
    EXPECT_FALSE(SampleBuffer::createReadyWithImageBuffer(other, description, {}));
    EXPECT_FALSE(SampleBuffer::createReadyWithImageBuffer(image, nullptr, {}));
}

TEST(TimeTest, SecondsAndMarkers) {
    EXPECT_DOUBLE_EQ(Time::makeWithSeconds(2.5, 600).seconds(), 2.5);
    EXPECT_EQ(Time::makeWithSeconds(2.5, 600).value, 1500);
    EXPECT_TRUE(std::isnan(Time::invalid().seconds()));
    EXPECT_TRUE(std::isinf(Time::positiveInfinity().seconds()));
    EXPECT_DOUBLE_EQ(Time::zero().seconds(), 0);
}

}  // namespace
}  // namespace media
