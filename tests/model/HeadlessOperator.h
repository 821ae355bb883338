#pragma once
// The operator on the headless window.
#include "tests/model/OperatorWindow.h"

namespace k54::model {

std::unique_ptr<OperatorWindow> makeHeadlessOperator(const WindowSetup& setup);

}  // namespace k54::model
