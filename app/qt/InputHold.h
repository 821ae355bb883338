#pragma once
// Input that reaches the window while it waits on the line although the platform's input stays queued
// then (input sent from within the program, as the tests send it), held so that no second operation
// starts in the middle of one. Clicks, the wheel and menus are refused (they do nothing; the busy cursor shows why),
// but for those on the one control let through (the exit button, which ends the wait as the close box
// does). Keys are kept and typed after the work has ended, in order, as type-ahead: nothing typed is
// lost. Esc is the one key taken at once: it asks the work in progress to stop. Painting, moving,
// resizing, timers and the close box go on as always.
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace k54 {

class InputHold final : public QObject {
    Q_OBJECT
public:
    InputHold(std::function<void()> onEscape, QString passedControl);
    ~InputHold() override;
    // Held only while active; installed on the application once.
    void setActive(bool active) { active_ = active; }
    // Posts the keys kept, in the order they came.
    void typeAhead();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onEscape_;
    QString passedControl_;
    bool active_ = false;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> keys_;
};

}  // namespace k54
