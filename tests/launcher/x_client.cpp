#include "launcher/x_client.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <type_traits>

namespace {

// libX11's entry points in use, looked up once per call; the library stays loaded.
struct TXlib {
    Display* (*OpenDisplay)(const char*);
    int (*CloseDisplay)(Display*);
    Atom (*InternAtom)(Display*, const char*, Bool);
    Status (*SendEvent)(Display*, Window, Bool, long, XEvent*);
    int (*Sync)(Display*, Bool);
    XImage* (*GetImage)(Display*, Drawable, int, int, unsigned int, unsigned int, unsigned long, int);
};

bool LoadXlib(TXlib& Xlib) {
    void* Library = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (Library == nullptr) {
        return false;
    }
    auto Find = [Library](auto& Entry, const char* Name) {
        Entry = reinterpret_cast<std::remove_reference_t<decltype(Entry)>>(dlsym(Library, Name));
        return Entry != nullptr;
    };
    return Find(Xlib.OpenDisplay, "XOpenDisplay") && Find(Xlib.CloseDisplay, "XCloseDisplay") &&
           Find(Xlib.InternAtom, "XInternAtom") && Find(Xlib.SendEvent, "XSendEvent") &&
           Find(Xlib.Sync, "XSync") && Find(Xlib.GetImage, "XGetImage");
}

} // namespace

bool RequestWindowClose(const std::string& DisplayName, unsigned long Target) {
    TXlib Xlib;
    Display* Connection = nullptr;
    if (!LoadXlib(Xlib) || (Connection = Xlib.OpenDisplay(DisplayName.c_str())) == nullptr) {
        return false;
    }
    XEvent Event = {};
    Event.xclient.type = ClientMessage;
    Event.xclient.window = Target;
    Event.xclient.message_type = Xlib.InternAtom(Connection, "WM_PROTOCOLS", False);
    Event.xclient.format = 32;
    Event.xclient.data.l[0] = static_cast<long>(Xlib.InternAtom(Connection, "WM_DELETE_WINDOW", False));
    Event.xclient.data.l[1] = CurrentTime;
    const bool Sent = Xlib.SendEvent(Connection, Target, False, NoEventMask, &Event) != 0;
    Xlib.Sync(Connection, False);
    Xlib.CloseDisplay(Connection);
    return Sent;
}

bool WindowPixels(const std::string& DisplayName, unsigned long Target, int Width, int Height,
                  std::vector<std::uint32_t>& Pixels) {
    TXlib Xlib;
    Display* Connection = nullptr;
    if (!LoadXlib(Xlib) || (Connection = Xlib.OpenDisplay(DisplayName.c_str())) == nullptr) {
        return false;
    }
    XImage* Image = Xlib.GetImage(Connection, Target, 0, 0, static_cast<unsigned>(Width),
                                  static_cast<unsigned>(Height), AllPlanes, ZPixmap);
    // A 24-bit TrueColor window, as Xvfb's default screen gives: red, green and blue in bytes 2, 1 and 0.
    const bool Usable = Image != nullptr && Image->depth == 24 && Image->width == Width && Image->height == Height;
    Pixels.clear();
    for (int Y = 0; Usable && Y < Height; ++Y) {
        for (int X = 0; X < Width; ++X) {
            Pixels.push_back(static_cast<std::uint32_t>(XGetPixel(Image, X, Y)) & 0xFFFFFFu);
        }
    }
    if (Image != nullptr) {
        XDestroyImage(Image);
    }
    Xlib.CloseDisplay(Connection);
    return Usable;
}
