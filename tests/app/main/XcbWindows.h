#pragma once

#include <QList>

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

// What the X server itself says about the windows on this display.
namespace XcbWindows {

// The X server's replies, which the caller frees.
template <typename Reply> std::unique_ptr<Reply, decltype(&std::free)> owned(Reply* reply)
{
    return { reply, &std::free };
}

// The windows that a root window property lists, as a window manager sets it.
QList<xcb_window_t> rootWindows(xcb_connection_t* connection, xcb_window_t root, const char* name);

// Whether a window manager has taken charge of the display.
bool hasWindowManager();

} // namespace XcbWindows
