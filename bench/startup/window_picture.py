"""Watches an X11 display from outside for a video's picture in a new top-level window.

The clips bench/startup/run.sh makes carry four boxes of saturated colour (magenta, cyan, yellow,
green) over a moving pattern. A window shows the picture once the centres of all four boxes, where
a 16:9 picture fitted into the window puts them, have those colours. Neither player's interface
draws those four colours there, and the test is the same for every process watched: the pixels
the display shows, read from the X server, not a line a process prints about itself.

WindowCloser closes a process's new window from outside as a user does, with the message a window
manager sends (bench/player/stop_time.py times the exit that follows).
"""
import ctypes
import ctypes.util
import time

# Box centres as fractions of the picture, and the colour of each box: 1 a full channel, 0 none.
BOXES = [((0.20, 0.275), (1, 0, 1)),  # magenta, top left
         ((0.80, 0.275), (0, 1, 1)),  # cyan, top right
         ((0.20, 0.725), (1, 1, 0)),  # yellow, bottom left
         ((0.80, 0.725), (0, 1, 0))]  # green, bottom right
# The ffmpeg filter that draws them (on a picture of any size).
BOX_FILTER = ",".join(
    f"drawbox=x=iw*{x - 0.1:.2f}:y=ih*{y - 0.125:.3f}:w=iw*0.2:h=ih*0.25:t=fill:color=0x{colour}"
    for (x, y), colour in zip([b[0] for b in BOXES], ["FF00FF", "00FFFF", "FFFF00", "00FF00"]))
# A channel counts as full above this and as empty below 255 minus it: generous enough for either
# player's colour matrix and scaler, far from the greys and blues of an interface.
FULL = 165
ASPECT = 16 / 9


class _Display:
    def __init__(self):
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        x11 = self.x11
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                   ctypes.POINTER(ctypes.c_uint)]
        x11.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                     ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                     ctypes.POINTER(ctypes.c_uint), ctypes.POINTER(ctypes.c_uint),
                                     ctypes.POINTER(ctypes.c_uint), ctypes.POINTER(ctypes.c_uint)]
        x11.XGetImage.restype = ctypes.c_void_p
        x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                  ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x11.XGetPixel.restype = ctypes.c_ulong
        x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        x11.XDestroyImage.argtypes = [ctypes.c_void_p]
        x11.XFree.argtypes = [ctypes.c_void_p]
        x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        # A window that goes or is not mapped yet answers with an error: ignored, it is looked at again.
        self._ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        x11.XSetErrorHandler(self._ignore)
        self.handle = x11.XOpenDisplay(None)
        if not self.handle:
            raise RuntimeError("no X display (DISPLAY)")
        self.root = x11.XDefaultRootWindow(self.handle)

    def top_levels(self):
        root, parent, count = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_uint()
        children = ctypes.POINTER(ctypes.c_ulong)()
        if not self.x11.XQueryTree(self.handle, self.root, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(children), ctypes.byref(count)):
            return []
        windows = [children[i] for i in range(count.value)]
        if children:
            self.x11.XFree(children)
        return windows

    def size(self, window):
        root, x, y = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
        if not self.x11.XGetGeometry(self.handle, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                                     ctypes.byref(width), ctypes.byref(height), ctypes.byref(border),
                                     ctypes.byref(depth)):
            return None
        return width.value, height.value

    def pixel(self, window, x, y):
        """(r, g, b) of the window's pixel, or None while it is not viewable."""
        image = self.x11.XGetImage(self.handle, window, x, y, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            return None
        value = self.x11.XGetPixel(image, 0, 0)
        self.x11.XDestroyImage(image)
        return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF

    def ask_to_close(self, window):
        """What a window manager sends when the user closes the window: WM_DELETE_WINDOW."""
        event = _XEvent()
        message = event.client
        message.type = 33  # ClientMessage
        message.window = window
        message.message_type = self.x11.XInternAtom(self.handle, b"WM_PROTOCOLS", 0)
        message.format = 32
        message.data[0] = self.x11.XInternAtom(self.handle, b"WM_DELETE_WINDOW", 0)
        message.data[1] = 0  # CurrentTime
        self.x11.XSendEvent(self.handle, window, 0, 0, ctypes.byref(event))
        self.x11.XFlush(self.handle)


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("client", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def _shared_display():
    if _Display.shared is None:
        _Display.shared = _Display()
    return _Display.shared


_Display.shared = None  # one connection for every watch


class WindowCloser:
    """Closes, as a user does through the window manager, the windows that were not there when it
    was made (the display has no window manager: the message is the one a manager would send)."""

    def __init__(self):
        self.display = _shared_display()
        self.before = set(self.display.top_levels())

    def close(self, patience=10.0):
        """Asks every new window of at least 64x64 to close; how many were asked. Waits up to
        `patience` seconds for one to be there."""
        end = time.monotonic() + patience
        while True:
            windows = [window for window in self.display.top_levels() if window not in self.before]
            windows = [window for window in windows if min(self.display.size(window) or (0, 0)) >= 64]
            if windows or time.monotonic() > end:
                break
            time.sleep(0.01)
        for window in windows:
            self.display.ask_to_close(window)
        return len(windows)


class PictureWatch:
    """Looks for the picture in windows that were not there when it was made."""

    def __init__(self):
        self.display = _shared_display()
        self.before = set(self.display.top_levels())

    def shows_picture(self):
        for window in self.display.top_levels():
            if window in self.before:
                continue
            size = self.display.size(window)
            if size and size[0] >= 64 and size[1] >= 64 and self._boxes_in(window, *size):
                return True
        return False

    def _boxes_in(self, window, width, height):
        # The picture fitted into the window, centred (both players' default).
        picture_width = min(width, height * ASPECT)
        picture_height = picture_width / ASPECT
        left, top = (width - picture_width) / 2, (height - picture_height) / 2
        for (fx, fy), colour in BOXES:
            pixel = self.display.pixel(window, int(left + fx * picture_width), int(top + fy * picture_height))
            if pixel is None:
                return False
            for channel, full in zip(pixel, colour):
                if (channel < FULL) if full else (channel > 255 - FULL):
                    return False
        return True
