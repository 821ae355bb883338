#pragma once
// The operator on the real window Tk54 (offscreen platform): mouse clicks on page tabs, lists, fields
// and buttons, key clicks for typing, Enter and Tab, boxes answered from a timer.
#include "tests/model/OperatorWindow.h"

namespace k54::model {

std::unique_ptr<OperatorWindow> makeQtOperator(const WindowSetup& setup);

}  // namespace k54::model
