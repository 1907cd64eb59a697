"""Just enough of Xlib, through ctypes, for timing from the X side: notice
the moment a top-level window is mapped, and press a key through the XTEST
extension with a timestamp taken right before the press.

Times are CLOCK_MONOTONIC_RAW in microseconds: Wine's QueryPerformanceCounter
counts the same clock, so they compare directly with ClickTarget's log.
"""

import ctypes
import ctypes.util
import select
import time

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
XEVENT_LONGS = 24  # sizeof(XEvent) is 24 longs


def now_us():
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW) // 1000


class XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", XMapEvent),
                ("pad", ctypes.c_long * XEVENT_LONGS)]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


def _load(name, fallback):
    return ctypes.CDLL(ctypes.util.find_library(name) or fallback)


class XClient:
    """One connection to the display, watching the root window's children."""

    def __init__(self, display_name):
        self.x11 = _load("X11", "libX11.so.6")
        self.xtst = _load("Xtst", "libXtst.so.6")
        x11 = self.x11
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XPending.argtypes = [ctypes.c_void_p]
        x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
        x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                   ctypes.POINTER(ctypes.c_char_p)]
        x11.XFree.argtypes = [ctypes.c_void_p]
        x11.XStringToKeysym.restype = ctypes.c_ulong
        x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]

        # A window can vanish between its MapNotify and the name query; the
        # default handler would end this process over that.
        self._on_error = ERROR_HANDLER(lambda display, event: 0)
        x11.XSetErrorHandler(self._on_error)
        self.display = x11.XOpenDisplay(display_name.encode())
        if not self.display:
            raise RuntimeError(f"cannot open X display {display_name}")
        x11.XSelectInput(self.display, x11.XDefaultRootWindow(self.display),
                         SUBSTRUCTURE_NOTIFY_MASK)
        x11.XFlush(self.display)
        self.fd = x11.XConnectionNumber(self.display)

    def close(self):
        if self.display:
            self.x11.XCloseDisplay(self.display)
            self.display = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def window_name(self, window):
        name = ctypes.c_char_p()
        if not self.x11.XFetchName(self.display, window, ctypes.byref(name)) or not name.value:
            return None
        text = name.value.decode("latin-1")
        self.x11.XFree(name)
        return text

    def drain(self):
        """Forgets every event received so far."""
        event = XEvent()
        while self.x11.XPending(self.display):
            self.x11.XNextEvent(self.display, ctypes.byref(event))

    def wait_mapped(self, title, timeout):
        """Time (µs) at which a top-level window named `title` was mapped."""
        deadline = time.monotonic() + timeout
        event = XEvent()
        while True:
            while self.x11.XPending(self.display):
                self.x11.XNextEvent(self.display, ctypes.byref(event))
                if event.type == MAP_NOTIFY:
                    mapped = now_us()
                    if self.window_name(event.xmap.window) == title:
                        return mapped
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise TimeoutError(f"no window {title!r} mapped within {timeout} s")
            select.select([self.fd], [], [], remaining)

    def key(self, keysym_name):
        """Presses and releases a key; returns the time just before the press."""
        keysym = self.x11.XStringToKeysym(keysym_name.encode())
        keycode = self.x11.XKeysymToKeycode(self.display, keysym)
        if not keycode:
            raise ValueError(f"no key code for {keysym_name}")
        pressed = now_us()
        self.xtst.XTestFakeKeyEvent(self.display, keycode, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.display, keycode, 0, 0)
        self.x11.XFlush(self.display)
        return pressed
