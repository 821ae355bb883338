#include "app/qt/EscapeKey.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef _WIN32
#include <windows.h>
#elif defined(__linux__)
#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <memory>
#endif

namespace k54 {
namespace {

#if defined(__linux__) && !defined(_WIN32)
constexpr xcb_keysym_t kEscapeKeysym = 0xFF1B;

// The key code that gives Escape in the server's keyboard mapping; 0 when none does.
xcb_keycode_t escapeKeycode(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<uint8_t>(count)), nullptr),
        &std::free);
    if (!mapping) return 0;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKeycode = mapping->keysyms_per_keycode;
    for (int k = 0; k < count; ++k)
        for (int i = 0; i < perKeycode; ++i)
            if (keysyms[k * perKeycode + i] == kEscapeKeysym) return static_cast<xcb_keycode_t>(setup->min_keycode + k);
    return 0;
}

bool x11EscapeDown(int& keycode) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return false;  // another platform (offscreen, Wayland): no such query
    if (keycode < 0) keycode = escapeKeycode(connection);
    if (keycode == 0) return false;
    const auto escape = static_cast<unsigned>(keycode);
    const std::unique_ptr<xcb_query_keymap_reply_t, decltype(&std::free)> keymap(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr), &std::free);
    return keymap && (keymap->keys[escape / 8] & (1u << (escape % 8))) != 0;
}
#endif

}  // namespace

bool EscapeKey::pressed(const QWidget& window) {
    if (!window.isActiveWindow()) return false;
#ifdef _WIN32
    // The high bit: down now; the low bit: pressed since the last call (a short tap between two asks).
    return (::GetAsyncKeyState(VK_ESCAPE) & 0x8001) != 0;
#elif defined(__linux__)
    return x11EscapeDown(keycode_);
#else
    return false;
#endif
}

}  // namespace k54
