#include "platform/media/metal_layer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/dispatch/run_loop.h"

namespace media {
namespace {

TEST(MetalLayerTest, KeepsTheEdrSettings) {
    dispatch::ScopedMainRunLoop loop;
    auto layer = MetalLayer::create();
    EXPECT_FALSE(layer->wantsExtendedDynamicRangeContent());
    layer->setWantsExtendedDynamicRangeContent(true);
    layer->setEdrMetadata(gfx::EDRMetadata::hdr10(0.005f, 1000, 100));
    layer->setColorSpace(gfx::ColorSpaceName::itur2100PQ);
    layer->setPixelFormat(MetalPixelFormat::rgba16Float);
    EXPECT_EQ(static_cast<int>(layer->pixelFormat()), 115);
    EXPECT_EQ(layer->edrMetadata()->kind, gfx::EDRMetadata::Kind::hdr10);
    EXPECT_FLOAT_EQ(layer->edrMetadata()->maxLuminance, 1000);
    EXPECT_EQ(gfx::name(*layer->colorSpace()), "kCGColorSpaceITUR_2100_PQ");
    layer->setEdrMetadata(gfx::EDRMetadata::hlg());
    EXPECT_EQ(layer->edrMetadata()->kind, gfx::EDRMetadata::Kind::hlg);
}

TEST(MetalLayerTest, RenderOnAnotherThreadPresentsACopyAtTheBuffersSize) {
    dispatch::ScopedMainRunLoop loop;
    auto layer = MetalLayer::create();
    layer->setPixelFormat(MetalPixelFormat::rgba16Float);
    auto buffer = PixelBuffer::create(16, 9, PixelFormat::rgba64Half);
    std::memset(buffer->baseAddress(), 0x3c, buffer->dataSize());
    bool rendered = false;
    std::thread renderThread([&] { rendered = layer->render(buffer); });
    renderThread.join();
    ASSERT_TRUE(rendered);

    auto drawable = layer->presentedDrawable();
    ASSERT_TRUE(drawable);
    EXPECT_EQ(drawable->size, (ui::Size{16, 9}));
    EXPECT_EQ(layer->drawableSize(), (ui::Size{16, 9}));
    EXPECT_EQ(drawable->pixelFormat, MetalPixelFormat::rgba16Float);
    ASSERT_FALSE(drawable->isCleared());
    std::memset(buffer->baseAddress(), 0, buffer->dataSize());  // the next frame
    EXPECT_EQ(drawable->contents->baseAddressOfPlane(0)[0], 0x3c);

    ASSERT_TRUE(layer->clear());
    EXPECT_TRUE(layer->presentedDrawable()->isCleared());
    EXPECT_EQ(layer->presentedDrawable()->size, (ui::Size{16, 9}));
    EXPECT_EQ(layer->presentedCount(), 2u);
}

TEST(MetalLayerTest, SkipsFramesItCannotShow) {
    dispatch::ScopedMainRunLoop loop;
    auto layer = MetalLayer::create();
    layer->setPixelFormat(MetalPixelFormat::rgba16Float);
    EXPECT_FALSE(layer->render(PixelBuffer::create(4, 4, PixelFormat::rgba64Half, Backing::plain)));
    EXPECT_FALSE(layer->render(PixelBuffer::create(4, 4, PixelFormat::bgra32)));
    layer->setHasDevice(false);
    EXPECT_FALSE(layer->render(PixelBuffer::create(4, 4, PixelFormat::rgba64Half)));
    EXPECT_FALSE(layer->clear());
    EXPECT_FALSE(layer->presentedDrawable());
    EXPECT_EQ(layer->drawableSize(), (ui::Size{0, 0}));
}

}  // namespace
}  // namespace media
