#include "XcbWindows.h"

#include <cstring>

namespace XcbWindows {

QList<xcb_window_t> rootWindows(xcb_connection_t* connection, xcb_window_t root, const char* name)
{
    const auto atom = owned(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
    if (!atom)
        return {};
    const auto value = owned(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 64), nullptr));
    QList<xcb_window_t> windows;
    const auto* ids = value ? static_cast<const xcb_window_t*>(xcb_get_property_value(value.get())) : nullptr;
    for (int i = 0; value && i < xcb_get_property_value_length(value.get()) / 4; ++i)
        windows << ids[i];
    return windows;
}

bool hasWindowManager()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const bool managed = !rootWindows(connection, screen->root, "_NET_SUPPORTING_WM_CHECK").isEmpty();
    xcb_disconnect(connection);
    return managed;
}

} // namespace XcbWindows
