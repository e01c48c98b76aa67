// The close box of a window on an X display, for the tests of the window; kept in a file of its own, since
// libX11's header defines names such as Status and Bool as macros.

#include "runs/runs.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <type_traits>

// libX11 is loaded only here, so that no other test carries it.
bool RequestWindowClose(const std::string& DisplayName, unsigned long Target)
{
    void* Library = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    const auto Find = [Library](auto& Entry, const char* Name) {
        return (Entry = reinterpret_cast<std::remove_reference_t<decltype(Entry)>>(dlsym(Library, Name))) != nullptr;
    };
    Display* (*OpenDisplay)(const char*);
    Atom (*InternAtom)(Display*, const char*, Bool);
    Status (*SendEvent)(Display*, Window, Bool, long, XEvent*);
    int (*CloseDisplay)(Display*);
    Display* Connection = nullptr;
    if (Library == nullptr || !Find(OpenDisplay, "XOpenDisplay") || !Find(InternAtom, "XInternAtom")
        || !Find(SendEvent, "XSendEvent") || !Find(CloseDisplay, "XCloseDisplay")
        || (Connection = OpenDisplay(DisplayName.c_str())) == nullptr)
        return false;
    XEvent Event = {};
    Event.xclient = {
        ClientMessage, 0, False, Connection, Target, InternAtom(Connection, "WM_PROTOCOLS", False), 32, {}};
    Event.xclient.data.l[0] = static_cast<long>(InternAtom(Connection, "WM_DELETE_WINDOW", False));
    const bool Sent = SendEvent(Connection, Target, False, NoEventMask, &Event) != 0;
    CloseDisplay(Connection);
    return Sent;
}
