#pragma once
// A window the randomized operator drives: the headless window or the Qt window Tk54, each beside a
// running k54sim and connected to it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form/Form.h"
#include "tests/model/OperatorModel.h"
#include "tests/support/SimInstrument.h"

namespace k54::model {

struct WindowSetup {
    const test::SimInstrument& sim;
    bool reactivatesAfterBox;  // a window manager activates the window again after every box
    char separator;
};

class OperatorWindow {
public:
    virtual ~OperatorWindow() = default;

    virtual const Form& form() const = 0;

    // Acts as the operator does; question boxes get the action's answer, every other box OK. The
    // model's expectation gives the headless window the focus moves that Qt makes by itself.
    virtual void perform(const Action& action, const Expectation& expected) = 0;

    // The texts of the boxes the last action showed.
    virtual const std::vector<std::string>& boxes() const = 0;

    // Checks of this window after an action: its focus, page and activation against the model's, no
    // box or popup left open; each problem as one line.
    virtual void check(const Action& action, const Model& model, std::vector<std::string>& problems) const = 0;
};

using WindowFactory = std::function<std::unique_ptr<OperatorWindow>(const WindowSetup&)>;

// The port the instrument is on; the window picks it in «Порт» and connects.
inline constexpr int kInstrumentPort = 4;

}  // namespace k54::model
