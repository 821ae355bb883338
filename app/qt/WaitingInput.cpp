#include "app/qt/WaitingInput.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef _WIN32
#include <windows.h>
#elif defined(__linux__)
#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <memory>
#endif

namespace k54 {
namespace {

#if defined(__linux__) && !defined(_WIN32)
constexpr xcb_keysym_t kEscapeKeysym = 0xFF1B;

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* x11Connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;  // none on another platform (offscreen, Wayland)
}

// The key code that gives Escape in the server's keyboard mapping; 0 when none does.
int escapeKeycode(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const Reply<xcb_get_keyboard_mapping_reply_t> mapping(
        xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<uint8_t>(count)), nullptr),
        &std::free);
    if (!mapping) return 0;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKeycode = mapping->keysyms_per_keycode;
    for (int k = 0; k < count; ++k)
        for (int i = 0; i < perKeycode; ++i)
            if (keysyms[k * perKeycode + i] == kEscapeKeysym) return setup->min_keycode + k;
    return 0;
}
#endif

}  // namespace

bool WaitingInput::escapePressed(const QWidget& window) {
    if (!window.isActiveWindow()) return false;
#ifdef _WIN32
    // Down now (the high bit). The low bit, pressed since the last call, would also tell of a press long
    // before the work began.
    return (::GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
#elif defined(__linux__)
    xcb_connection_t* connection = x11Connection();
    if (!connection) return false;
    if (escapeKeycode_ < 0) escapeKeycode_ = escapeKeycode(connection);
    if (escapeKeycode_ == 0) return false;
    const Reply<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr), &std::free);
    const auto code = static_cast<unsigned>(escapeKeycode_);
    return keymap && (keymap->keys[code / 8] & (1u << (code % 8))) != 0;
#else
    return false;
#endif
}

bool WaitingInput::pressedOn(const QWidget& window, const QWidget& button) {
    if (!window.isActiveWindow() || !button.isVisible()) return false;
    const QRect place(button.mapToGlobal(QPoint(0, 0)), button.size());
#ifdef _WIN32
    POINT cursor{};
    if (!::GetCursorPos(&cursor) || !(::GetAsyncKeyState(VK_LBUTTON) & 0x8000)) return false;
    const qreal scale = button.devicePixelRatioF();
    return place.contains(QPoint(static_cast<int>(cursor.x / scale), static_cast<int>(cursor.y / scale)));
#elif defined(__linux__)
    xcb_connection_t* connection = x11Connection();
    if (!connection) return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const Reply<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr), &std::free);
    return pointer && (pointer->mask & XCB_BUTTON_MASK_1) != 0 &&
           place.contains(QPoint(pointer->root_x, pointer->root_y) / button.devicePixelRatioF());
#else
    return false;
#endif
}

}  // namespace k54
