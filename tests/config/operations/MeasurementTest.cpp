// The live measured value and the clock.
#include <gtest/gtest.h>

#include <chrono>

#include "config/operations/Measurement.h"
#include "serial/PlatformSerial.h"
#include "tests/support/HeadlessRig.h"

namespace k54 {
namespace {

TEST(Clock, ShowsAFixedWidthDateAndTime) {
    test::ScratchDir portsDir("k54-ports");
    test::HeadlessRig rig(portsDir.path());
    EXPECT_TRUE(rig.form().fireTimer("TimerReal"));
    EXPECT_EQ(rig.form().text("RealTime"), "2009-11-18   08:05:29");
}

TEST(Clock, ShowsTheCurrentTimeFromTheStartNotTheDesignText) {
    test::ScratchDir portsDir("k54-ports");
    cPort port(makePlatformSerialBackend(portsDir.path()));
    mBus bus(port);
    k54L state;
    const SystemSettings system{'.', [] {
                                    std::tm t{};
                                    t.tm_year = 2031 - 1900;
                                    t.tm_mon = 1;
                                    t.tm_mday = 3;
                                    t.tm_hour = 4;
                                    t.tm_min = 5;
                                    t.tm_sec = 6;
                                    return t;
                                }};
    HeadlessWindow window(port, bus, state, system);
    window.form.create();
    EXPECT_EQ(window.form.text("RealTime"), "2031-02-03   04:05:06");  // before the clock's first tick
}

class Measurement : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.connect());
        form.click("Mgr_En");
    }
    test::SimRig rig;
    HeadlessForm& form = rig.form();
};

TEST_F(Measurement, TickingTheBoxPollsRegisters60And61AndShowsTheValueWithItsUnit) {
    EXPECT_TRUE(form.isTimerEnabled("Timer_ReadMg"));
    EXPECT_EQ(form.timerInterval("Timer_ReadMg"), 500);
    EXPECT_EQ(form.timerInterval("Timer_Mgr"), 200);
    EXPECT_TRUE(rig.state().hasLinkFlags(kLinkPolling));

    const std::size_t from = rig.sim.traceLines().size();
    ASSERT_TRUE(form.fireTimer("Timer_ReadMg"));
    const auto requests = rig.requestsFrom(from);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].substr(0, 17), "01 03 00 3C 00 02");
    const std::string shown = form.text("sMgr");
    EXPECT_EQ(shown.size(), 9u);  // precision 3 of the factory setting: "%9.3f"
    const double value = std::stod(shown);
    EXPECT_GE(value, 0.0);
    EXPECT_LE(value, 320.0);
    EXPECT_EQ(form.text("sUnt"), "Ом");
    EXPECT_EQ(form.colour("Mgr_Id"), kLampGreen);
    EXPECT_TRUE(form.isTimerEnabled("Timer_Mgr"));

    ASSERT_TRUE(form.fireTimer("Timer_Mgr"));
    EXPECT_EQ(form.colour("Mgr_Id"), kButtonFace);
    EXPECT_FALSE(form.isTimerEnabled("Timer_Mgr"));
}

TEST_F(Measurement, UntickingOrDisconnectingStopsPolling) {
    form.click("Mgr_En");
    EXPECT_FALSE(form.isTimerEnabled("Timer_ReadMg"));
    EXPECT_FALSE(rig.state().hasLinkFlags(kLinkPolling));
    form.click("Mgr_En");
    form.fireTimer("Timer_ReadMg");
    form.click("ConnectCom");
    EXPECT_FALSE(form.isTimerEnabled("Timer_ReadMg"));
    EXPECT_FALSE(form.isChecked("Mgr_En"));
    EXPECT_EQ(form.text("sMgr"), " ");
    EXPECT_EQ(form.text("sUnt"), " ");
    EXPECT_EQ(rig.state().linkFlags, 0);
}

TEST_F(Measurement, AnExceptionReplyIsNotShownAsAValue) {
    rig.sim.control("fault exception=2");
    EXPECT_FALSE(pollMeasurement(rig.session()));
    EXPECT_FALSE(form.isChecked("Mgr_En"));
    EXPECT_EQ(form.text("sMgr"), " ");
    EXPECT_EQ(form.colour("Mgr_Id"), kLampGreen);  // the lamp flashes for a failed poll too
}

TEST_F(Measurement, AnInstrumentGoneSilentEndsPolling) {
    ASSERT_TRUE(form.fireTimer("Timer_ReadMg"));
    ASSERT_NE(form.text("sMgr"), " ");
    form.fireTimer("Timer_Mgr");
    rig.sim.control("fault silent");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(form.fireTimer("Timer_ReadMg"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, rig.rig.port.readTimeouts().forCount(9).total);
    EXPECT_FALSE(form.isChecked("Mgr_En"));
    EXPECT_FALSE(form.isTimerEnabled("Timer_ReadMg"));
    EXPECT_EQ(form.text("sMgr"), " ");
    EXPECT_EQ(form.text("sUnt"), " ");
    EXPECT_EQ(form.colour("Mgr_Id"), kLampGreen);
    EXPECT_TRUE(form.isTimerEnabled("Timer_Mgr"));
    // One line says why the value went blank, and the status line no longer says the instrument is
    // connected.
    EXPECT_EQ(form.logLines().back(), kNoAnswer);
    EXPECT_EQ(form.panelText(3), kNoAnswer);
}

}  // namespace
}  // namespace k54
