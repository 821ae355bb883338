#pragma once
// The two inputs the window takes while it waits on the line, when the keyboard's and the mouse's input
// otherwise stays queued in the platform for later: Esc held down (stop the work in progress) and the
// mouse's left button held down over the exit button (end the wait and close). Both are asked of the
// devices themselves, and only while the window is the active one.
class QWidget;

namespace k54 {

class WaitingInput {
public:
    // True when Esc is down now (the window asks every 10 ms; a press lasts longer).
    bool escapePressed(const QWidget& window);
    // True when the left button is down now with the pointer over `button`.
    bool pressedOn(const QWidget& window, const QWidget& button);

private:
    int escapeKeycode_ = -1;  // X11: Escape's key code, once looked up (0: none)
};

}  // namespace k54
