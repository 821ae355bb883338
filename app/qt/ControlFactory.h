#pragma once
// Makes the Qt widget (or timer) for one entry of the window's layout table, in its design state.
#include <QObject>
#include <QWidget>

#include "app/WindowLayout.h"

namespace k54 {

// parent is the widget the control sits in (a page for page contents); timers are owned by owner.
QObject* createControl(const ControlSpec& entry, QWidget* parent, QObject* owner);

}  // namespace k54
