#include "app/qt/InputHold.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace k54 {
namespace {

bool isKey(QEvent::Type type) {
    return type == QEvent::KeyPress || type == QEvent::KeyRelease;
}

bool isRefused(QEvent::Type type) {
    switch (type) {
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
    }
}

bool isEscape(const QEvent* event) {
    return static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

}  // namespace

InputHold::InputHold(std::function<void()> onEscape, QString passedControl)
    : onEscape_(std::move(onEscape)), passedControl_(std::move(passedControl)) {}

InputHold::~InputHold() = default;

bool InputHold::eventFilter(QObject* watched, QEvent* event) {
    if (!active_) return QObject::eventFilter(watched, event);
    if (isKey(event->type())) {
        if (!isEscape(event))
            keys_.emplace_back(watched, event->clone());
        else if (event->type() == QEvent::KeyPress && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
            onEscape_();
        return true;
    }
    if (isRefused(event->type()) && watched->objectName() != passedControl_) return true;
    return QObject::eventFilter(watched, event);
}

void InputHold::typeAhead() {
    for (auto& [receiver, event] : std::exchange(keys_, {}))
        if (receiver) QCoreApplication::postEvent(receiver, event.release());
}

}  // namespace k54
