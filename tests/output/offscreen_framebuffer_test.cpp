#include "output/offscreen_framebuffer.h"

#include <GLES3/gl3.h>
#include <gtest/gtest.h>

#include "platform/graphics/gl_context.h"
#include "support/half_pixels.h"

namespace reelhaven {
namespace {

using testing_support::halfPixel;

class OffscreenFramebufferTest : public ::testing::Test {
protected:
    std::shared_ptr<gfx::GLContext> context = gfx::GLContext::create();

    void SetUp() override { ASSERT_TRUE(context && context->makeCurrent()); }
    void TearDown() override { context->releaseCurrent(); }

    // Paints the lower GL rows (the picture's top, as mpv draws unflipped) one colour, the rest another.
    static void paint(const FBOInfo& info, int topRows) {
        glBindFramebuffer(GL_FRAMEBUFFER, info.identifier);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, info.renderWidth, topRows);
        glClearColor(2.0f, 0.5f, 0, 1);  // above 1: half floats keep extended range
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
};

TEST_F(OffscreenFramebufferTest, ReadsTheHalfFloatPixelsBackRowsAsDrawnIntoPaddedRows) {
    // 37 pixels: 296 bytes a row, padded to 320 in the buffer.
    auto target = OffscreenFramebuffer::create(37, 20);
    ASSERT_TRUE(target);
    EXPECT_GT(target->pixelBuffer()->bytesPerRow(), 37u * 8);
    paint(target->info(), 5);

    ASSERT_TRUE(target->readBack());
    const auto& buffer = *target->pixelBuffer();
    EXPECT_EQ(buffer.pixelFormat(), media::PixelFormat::rgba64Half);
    EXPECT_EQ(halfPixel(buffer, 0, 0), (std::array<float, 4>{2.0f, 0.5f, 0, 1}));
    EXPECT_EQ(halfPixel(buffer, 36, 4), (std::array<float, 4>{2.0f, 0.5f, 0, 1}));
    EXPECT_EQ(halfPixel(buffer, 36, 5), (std::array<float, 4>{0, 0, 1, 1}));
    EXPECT_EQ(halfPixel(buffer, 0, 19), (std::array<float, 4>{0, 0, 1, 1}));
}

TEST_F(OffscreenFramebufferTest, ACopyKeepsItsPixelsWhenTheTargetIsDrawnAgain) {
    auto target = OffscreenFramebuffer::create(16, 8);
    ASSERT_TRUE(target);
    paint(target->info(), 8);
    auto copy = target->readBackCopy();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, target->pixelBuffer());
    paint(target->info(), 0);
    ASSERT_TRUE(target->readBack());
    EXPECT_EQ(halfPixel(*copy, 3, 3), (std::array<float, 4>{2.0f, 0.5f, 0, 1}));
    EXPECT_EQ(halfPixel(*target->pixelBuffer(), 3, 3), (std::array<float, 4>{0, 0, 1, 1}));
}

TEST_F(OffscreenFramebufferTest, NoTargetOfAnEmptySize) {
    EXPECT_FALSE(OffscreenFramebuffer::create(0, 10));
    EXPECT_FALSE(OffscreenFramebuffer::create(10, -1));
}

}  // namespace
}  // namespace reelhaven
