// The X side of ScreenColormap, through the application's own xcb connection. Only this file
// includes the X headers.
// clang-format off
// Qt first: the X headers' macros would break Qt's headers.
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>
// clang-format on

namespace qthost {
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

}  // namespace

void* XcbConnectionOf(const QGuiApplication& app) {
  const auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

bool UseDefaultColormap(void* connection, unsigned long window) {
  auto* c = static_cast<xcb_connection_t*>(connection);
  const auto id = static_cast<xcb_window_t>(window);
  const xcb_get_window_attributes_cookie_t attributes_cookie = xcb_get_window_attributes(c, id);
  const xcb_get_geometry_cookie_t geometry_cookie = xcb_get_geometry(c, id);
  // A failed request answers with an error of its own, which is dropped here and not reported to
  // Qt's event handler: a window that went meanwhile just keeps what it had.
  xcb_generic_error_t* error = nullptr;
  const Reply<xcb_get_window_attributes_reply_t> attributes(
      xcb_get_window_attributes_reply(c, attributes_cookie, &error));
  std::free(error);
  error = nullptr;
  const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometry_cookie, &error));
  std::free(error);
  if (!attributes || !geometry) return false;
  for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem > 0;
       xcb_screen_next(&it)) {
    const xcb_screen_t& screen = *it.data;
    if (screen.root != geometry->root) continue;
    // The default colormap belongs to the screen's own visual; a window of another visual (one
    // with alpha) keeps its own.
    if (attributes->visual != screen.root_visual) return false;
    if (attributes->colormap == screen.default_colormap) return true;
    const uint32_t value = screen.default_colormap;
    xcb_change_window_attributes(c, id, XCB_CW_COLORMAP, &value);
    xcb_flush(c);
    return true;
  }
  return false;
}

}  // namespace qthost
