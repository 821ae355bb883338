// The window as the logic sees it: start-up state, status reporting, event semantics and wiring.
#include <gtest/gtest.h>

#include "form/Status.h"
#include "tests/app/WindowRules.h"
#include "tests/support/HeadlessRig.h"

namespace k54 {
namespace {

// The rules every window keeps, each on a fresh window (the Qt window runs the same suite).
TEST(WindowRules, HoldOnTheHeadlessWindow) {
    for (const test::WindowRule& rule : test::windowRules()) {
        SCOPED_TRACE(rule.name);
        test::ScratchDir portsDir{"k54-ports"};
        test::HeadlessRig rig{portsDir.path()};
        test::Problems problems;
        rule.check(rig.session(), problems);
        EXPECT_EQ(problems, test::Problems{});
    }
}

class WindowModel : public ::testing::Test {
protected:
    test::ScratchDir portsDir{"k54-ports"};
    test::HeadlessRig rig{portsDir.path()};
    HeadlessForm& form = rig.form();
};

TEST_F(WindowModel, CreationReplacesTheDesignPortItemsWithExistingPortsOnly) {
    for (int i = 0; i < form.itemCount("Com_B"); ++i) EXPECT_EQ(form.itemText("Com_B", i).rfind("COM", 0), 0u);
    EXPECT_LT(form.itemCount("Com_B"), 255);
}

TEST_F(WindowModel, ReportsGoToPanel3AndTheLogInOrder) {
    const int repaints = form.repaints();
    reportStatus(form, "первая");
    reportStatus(form, "вторая");
    EXPECT_EQ(form.panelText(3), "вторая");
    ASSERT_GE(form.logLines().size(), 2u);
    EXPECT_EQ(form.logLines().end()[-2], "первая");
    EXPECT_EQ(form.logLines().back(), "вторая");
    EXPECT_EQ(form.repaints(), repaints + 2);
}

TEST_F(WindowModel, ClearingTheLogLeavesThePanelAndTheNextReportIsTheOnlyLine) {
    clearLog(form);
    clearLog(form);  // an empty log stays empty
    EXPECT_TRUE(form.logLines().empty());
    reportStatus(form, "строка");
    form.click("ClearMemo");
    EXPECT_TRUE(form.logLines().empty());
    EXPECT_EQ(form.panelText(3), "строка");
    reportStatus(form, "одна");
    EXPECT_EQ(form.logLines(), std::vector<std::string>{"одна"});
}

TEST_F(WindowModel, TextsSetFromCodeRaiseChangeOnlyWhenTheyChange) {
    const int before = form.changeEvents("Adr_E");
    form.setText("Adr_E", "1");  // the same text
    EXPECT_EQ(form.changeEvents("Adr_E"), before);
    form.setText("Adr_E", "7");
    EXPECT_EQ(form.changeEvents("Adr_E"), before + 1);
    EXPECT_EQ(rig.state.slaveAddress, 7);  // the change handler took it
}

TEST_F(WindowModel, ListChoicesFromCodeRaiseNoChangeButTheOperatorsDo) {
    form.setItemIndex("Spd_B", 6);
    EXPECT_EQ(rig.state.speedIndex, 3);
    form.operatorChooses("Spd_B", 6);
    EXPECT_EQ(rig.state.speedIndex, 6);
}

TEST_F(WindowModel, CheckBoxSetFromCodeRaisesItsClick) {
    form.setChecked("Mgr_En", true);
    EXPECT_TRUE(form.isTimerEnabled("Timer_ReadMg"));
    EXPECT_TRUE(rig.state.hasLinkFlags(kLinkPolling));
    form.setChecked("Mgr_En", false);
    EXPECT_FALSE(form.isTimerEnabled("Timer_ReadMg"));
    EXPECT_FALSE(rig.state.hasLinkFlags(kLinkPolling));
}

TEST_F(WindowModel, TheMeasurementSwitchActsOnlyForTheCheckBoxOfItsName) {
    form.setChecked("Mgr_En", true);
    Event fromAnother{"Mgr_Id", ControlKind::Panel};
    rig.window.events.Mon_EnClick(fromAnother);
    EXPECT_TRUE(rig.state.hasLinkFlags(kLinkPolling));
    Event fromTheBox{"Mgr_En", ControlKind::CheckBox};
    form.setChecked("Mgr_En", false);           // raises the click itself
    rig.window.events.Mon_EnClick(fromTheBox);  // a second stop changes nothing
    EXPECT_FALSE(rig.state.hasLinkFlags(kLinkPolling));
    EXPECT_EQ(form.text("sMgr"), " ");
}

TEST_F(WindowModel, EnterInAParameterFieldCommitsAsLeavingItDoes) {
    rig.state.row(row::Dph).value = 3200;  // room for the setpoint: 0.0 ... 320.0, below setpoint 2
    rig.state.row(row::Us2).value = 2560;
    form.focus("Us1_E");
    form.operatorTypes("Us1_E", "12.3");
    form.pressKey("Us1_E", kKeyEnter);
    EXPECT_EQ(rig.state.row(row::Us1).value, 123);
    form.pressKey("Us1_E", 'A');  // any other key: nothing
    form.operatorTypes("Us1_E", "14.5");
    form.pressKey("Us1_E", 'A');
    EXPECT_EQ(rig.state.row(row::Us1).value, 123);
    form.focus("Gs1_E");  // leaving commits
    EXPECT_EQ(rig.state.row(row::Us1).value, 145);
}

TEST_F(WindowModel, EveryWiredControlExistsAndEveryEditAndListHasItsHandlers) {
    int lists = 0, edits = 0;
    for (const Wire& wire : eventWiring()) {
        if (wire.control != kWindowName) {
            EXPECT_TRUE(form.hasControl(wire.control)) << wire.control;
        }
        if (wire.handler == &WindowEvents::Mod_BChange) ++lists;
        if (wire.handler == &WindowEvents::Us1_EExit) ++edits;
    }
    EXPECT_EQ(lists, 18);
    EXPECT_EQ(edits, 10);
}

TEST_F(WindowModel, ExitButtonClosesTheWindow) {
    form.click("DemoExit");
    EXPECT_TRUE(form.closed());
}

}  // namespace
}  // namespace k54
