#include "tests/model/HeadlessOperator.h"

#include <stdexcept>

#include "tests/support/HeadlessRig.h"

namespace k54::model {
namespace {

class HeadlessOperator final : public OperatorWindow {
public:
    explicit HeadlessOperator(const WindowSetup& setup)
        : rig_(setup.sim.portsDir(), setup.separator, setup.reactivatesAfterBox) {
        HeadlessForm& f = rig_.form();
        const std::string port = "COM" + std::to_string(setup.sim.portNumber());
        for (int i = 0; i < f.itemCount("Com_B"); ++i)
            if (f.itemText("Com_B", i) == port) f.operatorChooses("Com_B", i);
        f.focus("ConnectCom");
        f.click("ConnectCom");
        if (!rig_.state.hasLinkFlags(kLinkConnected)) throw std::runtime_error("the headless window did not connect");
    }

    const Form& form() const override { return rig_.window.form; }
    const std::vector<std::string>& boxes() const override { return boxes_; }

    void perform(const Action& a, const Expectation& expected) override {
        HeadlessForm& f = rig_.form();
        f.clearBoxes();
        tickedMeasurement_ = false;
        heldBefore_ = f.heldInputs();
        meddled_ = 0;
        f.setWhileWaiting([this, meddle = a.meddle] {
            if (meddle != Meddle::None && meddled_ == 0) meddled_ = tryDuringAWait(meddle);
        });
        performAction(a, expected);
        f.setWhileWaiting({});
        boxes_.clear();
        for (const HeadlessForm::Box& box : f.boxes()) boxes_.push_back(box.text);
    }

    void check(const Action&, const Model& model, std::vector<std::string>& problems) const override {
        const HeadlessForm& f = rig_.window.form;
        if (model.reactivates && f.active() != model.active)
            problems.push_back("the window's activation differs from the model's");
        if (tickedMeasurement_ && f.text("sUnt") != unitOf(model.value(0)))
            problems.push_back("(d) the live value's unit is '" + f.text("sUnt") + "'");
        if (f.closed()) problems.push_back("(d) the window closed");
        if (f.heldInputs() - heldBefore_ != meddled_)
            problems.push_back("(h) " + std::to_string(meddled_) + " inputs tried during a wait, " +
                               std::to_string(f.heldInputs() - heldBefore_) + " held");
    }

private:
    // The operator's clicks during a wait; how many were made.
    int tryDuringAWait(Meddle meddle) {
        HeadlessForm& f = rig_.form();
        switch (meddle) {
            case Meddle::None:
                return 0;
            case Meddle::ClickFactory:
                f.click("Source");
                return 1;
            case Meddle::ClickConnect:
                f.click("ConnectCom");
                return 1;
            case Meddle::ChooseInputType:
                f.operatorChooses("Mod_B", 3);
                return 1;
            case Meddle::ClickPage:
                f.focus("Dpl_E");
                return 1;
            case Meddle::TickMeasurement:
                f.click("Mgr_En");
                return 1;
        }
        return 0;
    }

    void performAction(const Action& a, const Expectation& expected) {
        HeadlessForm& f = rig_.form();
        switch (a.kind) {
            case ActionKind::SwitchPage:
                for (const std::string& to : expected.focusMoves)
                    f.focus(to);  // the page hides or shows no control here
                break;
            case ActionKind::Choose:
                f.focus(a.control);
                f.operatorChooses(a.control, a.item);
                break;
            case ActionKind::Type:
                f.focus(a.control);
                f.operatorTypes(a.control, a.text);
                if (a.commit == Commit::Enter)
                    f.pressKey(a.control, kKeyEnter);
                else
                    f.focus(expected.focusMoves.back());  // Tab's next control, or the field clicked
                break;
            case ActionKind::PasswordEnter:
            case ActionKind::PasswordButton:
                f.focus("Psw_E");
                f.operatorTypes("Psw_E", "");
                for (const char digit : a.text) f.operatorTypesChar("Psw_E", digit);
                // Answers wait in a queue: none may be left over for a later question (a field with no
                // number asks nothing).
                if (expected.asks) f.answerNextQuestion(a.yes);
                if (a.kind == ActionKind::PasswordEnter) {
                    f.operatorTypesChar("Psw_E", kKeyEnter);
                } else {
                    f.focus("Psw_Write");
                    f.click("Psw_Write");
                }
                break;
            case ActionKind::PasswordReset:
                clickWithAnswer("Psw_Reset", a.yes);
                break;
            case ActionKind::FactoryWrite:
                clickWithAnswer("Source", a.yes);
                break;
            case ActionKind::ToggleLink:
                f.focus("ConnectCom");
                f.click("ConnectCom");
                break;
            case ActionKind::ToggleMeasure:
                f.focus("Mgr_En");
                f.click("Mgr_En");
                tickedMeasurement_ = f.fireTimer("Timer_ReadMg");  // the first poll's tick
                break;
        }
    }

    void clickWithAnswer(const char* button, bool yes) {
        HeadlessForm& f = rig_.form();
        f.focus(button);
        f.answerNextQuestion(yes);
        f.click(button);
    }

    test::HeadlessRig rig_;
    std::vector<std::string> boxes_;
    bool tickedMeasurement_ = false;
    int heldBefore_ = 0;  // the window's held inputs before the action
    int meddled_ = 0;     // the inputs tried during the action's first wait
};

}  // namespace

std::unique_ptr<OperatorWindow> makeHeadlessOperator(const WindowSetup& setup) {
    return std::make_unique<HeadlessOperator>(setup);
}

}  // namespace k54::model
