// The live measured value and the clock.
#include <gtest/gtest.h>

#include <chrono>

#include "config/Measurement.h"
#include "tests/unit/Rig.h"

namespace k54 {
namespace {

TEST(MeasurementText, IsCutToThePrecisionAndRightAligned) {
    struct Case {
        int32_t raw;
        int precision;
        char separator;
        const char* shown;
    };
    const Case cases[] = {
        {123999, 0, '.', "   123"},    {123456, 1, '.', "  123.4"},   {123456, 2, '.', "  123.45"},
        {123456, 3, '.', "  123.456"}, {-1500, 0, '.', "    -1"},     {-1999, 1, '.', "   -1.9"},
        {50000, 1, ',', "   50,0"},    {123456, 7, '.', "  123.456"}, {123456, 255, '.', "  123.456"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatMeasurement(c.raw, c.precision, c.separator), c.shown) << c.raw;
}

TEST(MeasurementConversion, ScaledModesMapOntoTheScaledRange) {
    k54L k;
    k.row(row::Mod).value = 22;  // 0 ... 320 Ohm
    k.row(row::Iol).value = 0;
    k.row(row::Ioh).value = 1000;
    k.row(row::Rng).value = 2;
    EXPECT_EQ(convertMeasurement(k, 160000), 50000);
    EXPECT_EQ(formatMeasurement(convertMeasurement(k, 160000), 1, '.'), "   50.0");

    k.row(row::Rng).value = 3;
    k.row(row::Dpl).value = 1000;
    k.row(row::Dph).value = 2000;
    EXPECT_EQ(convertMeasurement(k, 150000), 50000);  // the middle of 100.0 ... 200.0

    k.row(row::Dph).value = 1000;  // an empty display range: the scaled low, no division by zero
    k.row(row::Iol).value = -50;
    EXPECT_EQ(convertMeasurement(k, 150000), -5000);

    k.row(row::Rng).value = 1;
    EXPECT_EQ(convertMeasurement(k, 150000), 150000);
    k.row(row::Rng).value = 2;
    k.row(row::Mod).value = 40;  // no table range for an unknown type: left as it came
    EXPECT_EQ(convertMeasurement(k, 150000), 150000);
}

TEST(Clock, ShowsAFixedWidthDateAndTime) {
    test::ScratchDir portsDir("k54-ports");
    test::WindowRig rig(portsDir.path());
    EXPECT_TRUE(rig.form().fireTimer("TimerReal"));
    EXPECT_EQ(rig.form().text("RealTime"), "2009-11-18   08:05:29");
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
    EXPECT_TRUE(form.logLines().back() == "Прибор подключен Com4.") << "no message for a failed poll";
}

}  // namespace
}  // namespace k54
