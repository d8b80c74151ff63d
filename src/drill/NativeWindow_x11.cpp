#include "NativeWindow.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

xcb_connection_t *x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t x11Atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

xcb_window_t x11Root(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// EWMH: ask the window manager to add a state to a mapped window.
void x11AddState(xcb_connection_t *c, xcb_window_t window, xcb_atom_t state)
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = x11Atom(c, "_NET_WM_STATE");
    event.data.data32[0] = 1; // _NET_WM_STATE_ADD
    event.data.data32[1] = state;
    event.data.data32[3] = 1; // from an application
    xcb_send_event(c, 0, x11Root(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

} // namespace

namespace NativeWindow {

bool startMove(QWidget *)
{
    // Qt's own move request (_NET_WM_MOVERESIZE) is the X11 way.
    return false;
}

void keepAbove(QWidget *window, bool topmost)
{
    if (topmost) {
        if (xcb_connection_t *c = x11Connection())
            x11AddState(c, static_cast<xcb_window_t>(window->winId()), x11Atom(c, "_NET_WM_STATE_ABOVE"));
    }
    // Top of its band; raising never activates.
    window->raise();
}

void skipTaskbar(QWidget *window)
{
    xcb_connection_t *c = x11Connection();
    if (!c)
        return;
    // Qt keeps states it finds on the window when it maps it and adds its own (above).
    const xcb_atom_t states[] = {x11Atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), x11Atom(c, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()),
                        x11Atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 2, states);
    xcb_flush(c);
}

} // namespace NativeWindow
