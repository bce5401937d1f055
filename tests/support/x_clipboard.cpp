#include "support/x_clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace testing_support {

struct XClipboardOwner::Served {
    Display* display = nullptr;
    Window window = 0;
    std::string text;
    std::atomic<bool> stop{false};
    std::atomic<int> requests{0};
    std::thread thread;

    // Answers one request for the selection: the text as UTF-8 (or Latin-1 STRING, which a
    // requester of plain ASCII gets alike), or the list of those targets.
    void answer(const XSelectionRequestEvent& request) {
        const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
        const Atom targets = XInternAtom(display, "TARGETS", False);
        XSelectionEvent notify{};
        notify.type = SelectionNotify;
        notify.display = request.display;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.time = request.time;
        notify.property = request.property == None ? request.target : request.property;
        if (request.target == utf8 || request.target == XA_STRING) {
            ++requests;
            XChangeProperty(display, request.requestor, notify.property, request.target, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
        } else if (request.target == targets) {
            const Atom offered[] = {targets, utf8, XA_STRING};
            XChangeProperty(display, request.requestor, notify.property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered), 3);
        } else {
            notify.property = None;
        }
        XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&notify));
        XFlush(display);
    }

    void serve() {
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        while (!stop) {
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == SelectionRequest) answer(event.xselectionrequest);
            }
            poll(&connection, 1, 20);  // looks at `stop` that often while no request comes
        }
    }
};

std::unique_ptr<XClipboardOwner> XClipboardOwner::copy(const std::string& text) {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return nullptr;
    auto served = std::make_unique<Served>();
    served->display = XOpenDisplay(name);
    if (!served->display) return nullptr;
    served->text = text;
    served->window = XCreateSimpleWindow(served->display, DefaultRootWindow(served->display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(served->display, XInternAtom(served->display, "CLIPBOARD", False), served->window, CurrentTime);
    XSync(served->display, False);
    served->thread = std::thread([raw = served.get()] { raw->serve(); });
    return std::unique_ptr<XClipboardOwner>(new XClipboardOwner(std::move(served)));
}

XClipboardOwner::XClipboardOwner(std::unique_ptr<Served> served) : m_served(std::move(served)) {}

XClipboardOwner::~XClipboardOwner() {
    m_served->stop = true;
    m_served->thread.join();
    XDestroyWindow(m_served->display, m_served->window);
    XCloseDisplay(m_served->display);
}

int XClipboardOwner::requests() const { return m_served->requests; }

}  // namespace testing_support
