#pragma once
// Whether Esc is held down while the window is the active one. The window asks it while it waits on the
// line, when the keyboard's and the mouse's input stays queued in the platform for later (so Esc cannot
// come as a key event then).
class QWidget;

namespace k54 {

class EscapeKey {
public:
    // True when Esc is down now, or (where the platform tells) was pressed since the last call.
    bool pressed(const QWidget& window);

private:
    int keycode_ = -1;  // X11: Escape's key code, once looked up (0: none)
};

}  // namespace k54
