#include "support/XDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <chrono>
#include <thread>

namespace test {
namespace {

Display* dpy(void* d) {
    return static_cast<Display*>(d);
}

std::string titleOf(Display* display, Window window) {
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    if (title.empty()) {
        char* name = nullptr;
        if (XFetchName(display, window, &name) && name) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

XErrorHandler previousHandler = nullptr;

// The program under test creates and destroys its windows while we walk the tree: a window
// that vanished between listing and asking is simply not there, not a reason to exit.
int ignoreVanishedWindows(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable ||
        error->error_code == BadMatch)
        return 0;
    return previousHandler ? previousHandler(display, error) : 0;
}

void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace

XDisplay::XDisplay(const std::string& name) {
    display_ = XOpenDisplay(name.c_str());
    if (display_ && !previousHandler) previousHandler = XSetErrorHandler(ignoreVanishedWindows);
}

XDisplay::~XDisplay() {
    if (display_) XCloseDisplay(dpy(display_));
}

unsigned long XDisplay::findWindow(const std::string& title) {
    Display* display = dpy(display_);
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    unsigned long found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && titleOf(display, children[i]) == title)
            found = children[i];
    }
    if (children) XFree(children);
    return found;
}

unsigned long XDisplay::waitForWindow(const std::string& title, int timeoutSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (unsigned long window = findWindow(title)) return window;
        pause(50);
    }
    return 0;
}

bool XDisplay::windowExists(const std::string& title) {
    return findWindow(title) != 0;
}

void XDisplay::pressKey(unsigned long window, const char* keysym) {
    Display* display = dpy(display_);
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    pause(100);
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysym));
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XSync(display, False);
    pause(100); // held long enough for a frame to see it
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
}

void XDisplay::requestClose(unsigned long window) {
    Display* display = dpy(display_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

bool XDisplay::size(unsigned long window, int& width, int& height) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy(display_), window, &attributes)) return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

Image XDisplay::capture(unsigned long window) {
    Image image;
    int width = 0, height = 0;
    if (!size(window, width, height)) return image;
    XImage* x = XGetImage(dpy(display_), window, 0, 0, static_cast<unsigned>(width),
                          static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!x) return image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int xx = 0; xx < width; ++xx) {
            const unsigned long p = XGetPixel(x, xx, y);
            image.set(xx, y,
                      {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                       static_cast<int>(p & 0xFF)});
        }
    XDestroyImage(x);
    return image;
}

} // namespace test
