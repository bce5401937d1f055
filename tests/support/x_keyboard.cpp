#include "support/x_keyboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/x_test_display.h"

namespace testing_support {

namespace {

Display* x(void* display) { return static_cast<Display*>(display); }

// What a command prints, or none when it fails.
std::string outputOf(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    return pclose(pipe) == 0 ? output : std::string();
}

// The layout setxkbmap reports for the display, as it takes it back.
std::string currentLayout() {
    const std::string query = outputOf("setxkbmap -query");
    const auto at = query.find("layout:");
    if (at == std::string::npos) return "us";
    auto start = query.find_first_not_of(' ', at + 7);
    auto end = query.find('\n', start);
    return query.substr(start, end - start);
}

long pidOf(Display* display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None) return -1;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data && count == 1 && format == 32)
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    if (data) XFree(data);
    return pid;
}

// Other tests' windows on the display come and go: one gone between listing it and asking
// about it is an error the request reports, not a reason to end the process. Set only while
// this looks, so the window's own errors go where they went.
int ignoreError(Display*, XErrorEvent*) { return 0; }

}  // namespace

std::unique_ptr<XKeyboard> XKeyboard::open() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return nullptr;
    Display* display = testing_support::openXTestDisplay(name);
    if (!display) return nullptr;
    return std::unique_ptr<XKeyboard>(new XKeyboard(display));
}

XKeyboard::~XKeyboard() {
    if (!m_previousLayout.empty()) std::system(("setxkbmap " + m_previousLayout).c_str());
    XCloseDisplay(x(m_display));
}

bool XKeyboard::setLayout(const std::string& layout) {
    if (m_previousLayout.empty()) m_previousLayout = currentLayout();
    return std::system(("setxkbmap " + layout).c_str()) == 0;
}

bool XKeyboard::focusOwnWindow() {
    Display* display = x(m_display);
    XSync(display, False);
    const auto previous = XSetErrorHandler(ignoreError);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        XSetErrorHandler(previous);
        return false;
    }
    bool focused = false;
    for (unsigned int i = 0; i < count && !focused; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        if (pidOf(display, children[i]) != getpid()) continue;
        XSetInputFocus(display, children[i], RevertToParent, CurrentTime);
        focused = true;
    }
    if (children) XFree(children);
    XSync(display, False);
    XSetErrorHandler(previous);
    return focused;
}

bool XKeyboard::chord(const std::vector<std::string>& keysyms) {
    Display* display = x(m_display);
    std::vector<KeyCode> codes;
    for (const auto& name : keysyms) {
        const KeySym keysym = XStringToKeysym(name.c_str());
        const KeyCode code = keysym == NoSymbol ? 0 : XKeysymToKeycode(display, keysym);
        if (!code) return false;
        codes.push_back(code);
    }
    for (const KeyCode code : codes) XTestFakeKeyEvent(display, code, True, CurrentTime);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) XTestFakeKeyEvent(display, *it, False, CurrentTime);
    XSync(display, False);
    return true;
}

}  // namespace testing_support
