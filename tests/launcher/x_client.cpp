#include "launcher/x_client.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <type_traits>

bool RequestWindowClose(const std::string& DisplayName, unsigned long Target) {
    void* Library = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    const auto Find = [Library](auto& Entry, const char* Name) {
        Entry = reinterpret_cast<std::remove_reference_t<decltype(Entry)>>(dlsym(Library, Name));
        return Entry != nullptr;
    };
    Display* (*OpenDisplay)(const char*);
    int (*CloseDisplay)(Display*);
    Atom (*InternAtom)(Display*, const char*, Bool);
    Status (*SendEvent)(Display*, Window, Bool, long, XEvent*);
    int (*Sync)(Display*, Bool);
    Display* Connection = nullptr;
    if (Library == nullptr || !Find(OpenDisplay, "XOpenDisplay") || !Find(CloseDisplay, "XCloseDisplay") ||
        !Find(InternAtom, "XInternAtom") || !Find(SendEvent, "XSendEvent") || !Find(Sync, "XSync") ||
        (Connection = OpenDisplay(DisplayName.c_str())) == nullptr) {
        return false;
    }
    XEvent Event = {};
    Event.xclient.type = ClientMessage;
    Event.xclient.window = Target;
    Event.xclient.message_type = InternAtom(Connection, "WM_PROTOCOLS", False);
    Event.xclient.format = 32;
    Event.xclient.data.l[0] = static_cast<long>(InternAtom(Connection, "WM_DELETE_WINDOW", False));
    Event.xclient.data.l[1] = CurrentTime;
    const bool Sent = SendEvent(Connection, Target, False, NoEventMask, &Event) != 0;
    Sync(Connection, False);
    CloseDisplay(Connection);
    return Sent;
}
