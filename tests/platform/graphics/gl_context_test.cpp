#include "platform/graphics/gl_context.h"

#include <EGL/egl.h>
#include <GLES3/gl3.h>
#include <gtest/gtest.h>

#include <cmath>

#include "platform/dispatch/work_queue.h"
#include "platform/graphics/gl_readback.h"

namespace {

// A framebuffer with a colour attachment of `format`, made and bound on the current context.
struct Framebuffer {
    GLuint framebuffer = 0, texture = 0;
    Framebuffer(GLenum internalFormat, GLenum format, GLenum type, int width, int height) {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, nullptr);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    }
    ~Framebuffer() {
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &texture);
    }
    bool complete() const { return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE; }
};

class GLContextTest : public ::testing::Test {
protected:
    std::shared_ptr<dispatch::WorkQueue> thread = dispatch::WorkQueue::create("test.gl");
    std::shared_ptr<gfx::GLContext> context = gfx::GLContext::create();

    void SetUp() override {
        ASSERT_TRUE(context) << "no GLES 3 context on the surfaceless EGL display";
        ASSERT_TRUE(thread->syncValue([&] { return context->makeCurrent(); }));
    }
    void TearDown() override {
        thread->sync([&] { context->releaseCurrent(); });
    }
};

TEST_F(GLContextTest, IsAGLES3Context) {
    auto version = thread->syncValue([] {
        GLint major = 0;
        glGetIntegerv(GL_MAJOR_VERSION, &major);
        return major;
    });
    EXPECT_GE(version, 3);
    EXPECT_FALSE(context->renderer().empty());
}

TEST_F(GLContextTest, AnotherThreadCannotTakeTheContextWhileOneHoldsIt) {
    // Why the render thread is a WorkQueue: EGL refuses the second thread.
    auto other = dispatch::WorkQueue::create("test.gl.other");
    EXPECT_FALSE(other->syncValue([&] { return context->makeCurrent(); }));
    EXPECT_EQ(other->syncValue([] { return eglGetError(); }), EGL_SUCCESS) << "the error was read by makeCurrent";
}

TEST_F(GLContextTest, ProcAddressesAreNullForUnknownNames) {
    thread->sync([] {
        EXPECT_NE(gfx::GLContext::getProcAddress("glClear"), nullptr);
        EXPECT_NE(gfx::GLContext::getProcAddress("glBlitFramebuffer"), nullptr);
        EXPECT_NE(gfx::GLContext::getProcAddress("eglGetCurrentContext"), nullptr);
        EXPECT_EQ(gfx::GLContext::getProcAddress("glNoSuchFunction"), nullptr);
        EXPECT_EQ(gfx::GLContext::getProcAddress("glNoSuchFunctionXYZW"), nullptr);
        EXPECT_EQ(gfx::GLContext::getProcAddress("eglNoSuchFunction"), nullptr);
        EXPECT_EQ(gfx::GLContext::getProcAddress(""), nullptr);
        EXPECT_EQ(gfx::GLContext::getProcAddress(nullptr), nullptr);
    });
}

TEST_F(GLContextTest, RGBA8ReadBackPutsTheFramebuffersTopRowFirst) {
    auto image = thread->syncValue([] {
        Framebuffer target(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 8, 4);
        EXPECT_TRUE(target.complete());
        glViewport(0, 0, 8, 4);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 2, 8, 2);  // GL's upper rows
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        return gfx::readFramebufferRGBA8(target.framebuffer, 8, 4);
    });
    ASSERT_EQ(image.width(), 8);
    ASSERT_EQ(image.height(), 4);
    EXPECT_EQ(image.pixel(3, 0), (gfx::Pixel{255, 0, 0, 255}));
    EXPECT_EQ(image.pixel(3, 3), (gfx::Pixel{0, 0, 255, 255}));
}

TEST_F(GLContextTest, RGBA16FReadBackKeepsValuesBeyondOne) {
    auto halves = thread->syncValue([] {
        Framebuffer target(GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, 4, 2);
        EXPECT_TRUE(target.complete());
        glViewport(0, 0, 4, 2);
        const GLfloat color[] = {2.5f, 0.25f, -1.0f, 1.0f};
        glClearBufferfv(GL_COLOR, 0, color);
        return gfx::readFramebufferRGBA16F(target.framebuffer, 4, 2);
    });
    ASSERT_EQ(halves.size(), 4u * 2u * 4u);
    EXPECT_FLOAT_EQ(gfx::halfToFloat(halves[0]), 2.5f);
    EXPECT_FLOAT_EQ(gfx::halfToFloat(halves[1]), 0.25f);
    EXPECT_FLOAT_EQ(gfx::halfToFloat(halves[2]), -1.0f);
    EXPECT_FLOAT_EQ(gfx::halfToFloat(halves[3]), 1.0f);
}

TEST(HalfFloat, DecodesNormalsSubnormalsAndSpecials) {
    EXPECT_EQ(gfx::halfToFloat(0x3c00), 1.0f);
    EXPECT_EQ(gfx::halfToFloat(0xc000), -2.0f);
    EXPECT_EQ(gfx::halfToFloat(0x0001), std::ldexp(1.0f, -24));
    EXPECT_EQ(gfx::halfToFloat(0x7bff), 65504.0f);
    EXPECT_TRUE(std::isinf(gfx::halfToFloat(0x7c00)));
    EXPECT_TRUE(std::isnan(gfx::halfToFloat(0x7e00)));
}

}  // namespace
