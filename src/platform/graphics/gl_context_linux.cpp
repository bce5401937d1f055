#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES3/gl3.h>
#include <dlfcn.h>

#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>

#include "platform/base/log.h"
#include "platform/graphics/gl_context.h"

namespace gfx {

namespace {
void logFailure(const std::string& what) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    base::log(base::LogLevel::error, "gl", what + " failed (EGL error " + code + ")");
}

// The surfaceless display is made once and never terminated: terminating it would destroy the
// contexts of every other owner.
EGLDisplay surfacelessDisplay() {
    static EGLDisplay display = [] {
        auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        EGLDisplay made = getPlatformDisplay
                              ? getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)
                              : EGL_NO_DISPLAY;
        if (made == EGL_NO_DISPLAY) {
            logFailure("eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA)");
            return EGL_NO_DISPLAY;
        }
        EGLint major = 0, minor = 0;
        if (!eglInitialize(made, &major, &minor)) {
            logFailure("eglInitialize");
            return EGL_NO_DISPLAY;
        }
        return made;
    }();
    return display;
}

void* libraryHandle(const char* soname) {
    void* handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    return handle;
}

// The vendor suffix of an extension function ("OES" of glEGLImageTargetTexture2DOES), or "".
std::string_view vendorSuffix(std::string_view name) {
    std::size_t end = name.size();
    std::size_t start = end;
    while (start > 0 && std::isupper(static_cast<unsigned char>(name[start - 1]))) --start;
    if (end - start < 2 || start == 0) return {};
    return name.substr(start);
}

bool currentContextAdvertises(std::string_view vendor) {
    if (eglGetCurrentContext() == EGL_NO_CONTEXT) return false;
    auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions) return false;
    std::string needle = "GL_" + std::string(vendor) + "_";
    return std::strstr(extensions, needle.c_str()) != nullptr;
}

struct SharedContext {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
};
// Live contexts per display; guarded by sharedMutex().
std::map<EGLDisplay, int>& contextCounts() {
    static std::map<EGLDisplay, int> counts;
    return counts;
}
std::mutex& sharedMutex() {
    static std::mutex mutex;
    return mutex;
}
SharedContext& sharedContext() {
    static SharedContext shared;
    return shared;
}
}  // namespace

void GLContext::shareWith(void* eglDisplay, void* eglContext) {
    std::lock_guard lock(sharedMutex());
    sharedContext() = {eglDisplay ? static_cast<EGLDisplay>(eglDisplay) : EGL_NO_DISPLAY,
                       eglContext ? static_cast<EGLContext>(eglContext) : EGL_NO_CONTEXT};
}

int GLContext::contextsOn(void* eglDisplay) {
    std::lock_guard lock(sharedMutex());
    auto found = contextCounts().find(static_cast<EGLDisplay>(eglDisplay));
    return found == contextCounts().end() ? 0 : found->second;
}

struct GLContext::Handles {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
};

std::shared_ptr<GLContext> GLContext::create() {
    SharedContext shared;
    {
        std::lock_guard lock(sharedMutex());
        shared = sharedContext();
    }
    EGLDisplay display = shared.display != EGL_NO_DISPLAY ? shared.display : surfacelessDisplay();
    if (display == EGL_NO_DISPLAY) return nullptr;
    if (!eglBindAPI(EGL_OPENGL_ES_API)) {
        logFailure("eglBindAPI(EGL_OPENGL_ES_API)");
        return nullptr;
    }
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 0, EGL_NONE};
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, shared.context, attributes);
    if (context == EGL_NO_CONTEXT) {
        logFailure("eglCreateContext(GLES 3)");
        return nullptr;
    }
    auto handles = std::make_unique<Handles>();
    handles->display = display;
    handles->context = context;
    {
        std::lock_guard lock(sharedMutex());
        ++contextCounts()[display];
    }
    auto made = std::shared_ptr<GLContext>(new GLContext(std::move(handles)));
    // Read the renderer's name on the creating thread, then let the context go: its owner
    // thread makes it current.
    EGLContext previous = eglGetCurrentContext();
    EGLSurface previousDraw = eglGetCurrentSurface(EGL_DRAW);
    EGLSurface previousRead = eglGetCurrentSurface(EGL_READ);
    if (made->makeCurrent()) {
        if (auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER))) made->m_renderer = renderer;
        eglMakeCurrent(display, previousDraw, previousRead, previous);
    }
    return made;
}

GLContext::GLContext(std::unique_ptr<Handles> handles) : m_handles(std::move(handles)) {}

GLContext::~GLContext() {
    if (isCurrent()) releaseCurrent();
    // A context still current on another thread is destroyed by EGL once that thread lets go.
    eglDestroyContext(m_handles->display, m_handles->context);
    std::lock_guard lock(sharedMutex());
    if (--contextCounts()[m_handles->display] == 0) contextCounts().erase(m_handles->display);
}

bool GLContext::makeCurrent() {
    if (isCurrent()) return true;
    if (!eglMakeCurrent(m_handles->display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_handles->context)) {
        logFailure("eglMakeCurrent");
        return false;
    }
    return true;
}

void GLContext::releaseCurrent() {
    if (isCurrent()) eglMakeCurrent(m_handles->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

bool GLContext::isCurrent() const { return eglGetCurrentContext() == m_handles->context; }

void* GLContext::getProcAddress(const char* name) {
    if (!name || !*name) return nullptr;
    // eglGetProcAddress hands out a dispatch stub for any "gl..." name, known or not, so the
    // libraries' own exports decide first.
    static void* gles = libraryHandle("libGLESv2.so.2");
    static void* egl = libraryHandle("libEGL.so.1");
    for (void* library : {gles, egl}) {
        if (!library) continue;
        if (void* found = dlsym(library, name)) return found;
    }
    std::string_view view(name);
    if (view.starts_with("egl")) return reinterpret_cast<void*>(eglGetProcAddress(name));
    auto vendor = vendorSuffix(view);
    if (view.starts_with("gl") && !vendor.empty() && currentContextAdvertises(vendor))
        return reinterpret_cast<void*>(eglGetProcAddress(name));
    return nullptr;
}

}  // namespace gfx
