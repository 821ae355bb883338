// The trend hears live measurement through the window's own polls, against the simulated instrument:
// it gets exactly what the window shows, in order, and adds nothing on the line.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "config/operations/Measurement.h"
#include "tests/support/HeadlessRig.h"
#include "trend/Trend.h"

namespace k54 {
namespace {

constexpr const char* kPollRequest = "01 03 00 3C 00 02";

// Every poll and switch as the listener was told.
class Witness final : public MeasurementListener {
public:
    void measurementPolled(const MeasurementPoll& poll) override { polls.push_back(poll); }
    void measurementSwitched(bool on) override { switches.push_back(on); }

    std::vector<MeasurementPoll> polls;
    std::vector<bool> switches;
};

class TrendFeed : public ::testing::Test {
protected:
    // Connects with the registers given, attaches the witness and ticks «Mgr_En».
    void start(const test::Registers& registers = {}) {
        ASSERT_TRUE(rig.connect(registers));
        rig.session().measurementListener = &witness;
        form.click("Mgr_En");
        ASSERT_EQ(witness.switches, std::vector<bool>{true});
    }
    // One poll; the value and unit the window then shows.
    std::pair<std::string, std::string> poll() {
        EXPECT_TRUE(form.fireTimer("Timer_ReadMg"));
        return {form.text("sMgr"), form.text("sUnt")};
    }
    int pollRequestsFrom(std::size_t mark) const {
        int n = 0;
        for (const std::string& r : rig.requestsFrom(mark)) n += r.rfind(kPollRequest, 0) == 0 ? 1 : 0;
        return n;
    }

    test::SimRig rig;
    HeadlessForm& form = rig.form();
    Witness witness;
};

TEST_F(TrendFeed, AFixedValueArrivesAsTheWindowShowsItWithItsUnitAndBand) {
    // 160.000 Ohm on the factory type (0 - 320 Ohm), shown on the scaled range 0.0 - 100.0 with one decimal.
    start({{60, 2}, {61, 28928}, {4, 1}, {5, 2}, {10, 0}, {11, 0}, {12, 0}, {13, 1000}});
    const auto before = std::chrono::system_clock::now();
    for (int i = 0; i < 3; ++i) {
        const auto [text, unit] = poll();
        ASSERT_EQ(witness.polls.size(), i + 1u);
        const MeasurementPoll& p = witness.polls.back();
        EXPECT_TRUE(p.answered);
        EXPECT_EQ(p.text, text);
        EXPECT_EQ(p.text, "   50.0");
        EXPECT_EQ(p.value, 50.0);
        EXPECT_EQ(p.decimals, 1);
        EXPECT_EQ(p.unit, unit);
        EXPECT_EQ(p.unit, "Ом");
        ASSERT_TRUE(p.band);
        EXPECT_EQ(p.band->low, 0.0);
        EXPECT_EQ(p.band->high, 100.0);
        EXPECT_GE(p.time, before);
        EXPECT_LE(p.time, std::chrono::system_clock::now());
    }
}

TEST_F(TrendFeed, TheMovingValueArrivesInOrderWithNoRequestOfItsOwn) {
    start();
    Trend trend;
    rig.session().measurementListener = &trend;
    const std::size_t mark = rig.sim.traceLines().size();
    std::vector<std::string> shown;
    // Polls until the value has moved (the wave is slow); a few polls at least.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (shown.size() < 5 || shown.front() == shown.back()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the value did not move";
        shown.push_back(poll().first);
    }
    ASSERT_EQ(trend.buffer().size(), shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(trend.buffer()[i].value, std::stod(shown[i])) << i;
        if (i > 0) {
            EXPECT_GE(trend.buffer()[i].time, trend.buffer()[i - 1].time);
        }
    }
    EXPECT_EQ(trend.lastShown()->text, shown.back());
    EXPECT_EQ(pollRequestsFrom(mark), static_cast<int>(shown.size()));
    EXPECT_EQ(rig.requestsFrom(mark).size(), shown.size());
}

TEST_F(TrendFeed, AFailedPollIsToldThenPollingStops) {
    start();
    poll();
    rig.sim.control("fault exception=2");
    EXPECT_FALSE(pollMeasurement(rig.session()));
    ASSERT_EQ(witness.polls.size(), 2u);
    EXPECT_TRUE(witness.polls[0].answered);
    EXPECT_FALSE(witness.polls[1].answered);
    EXPECT_TRUE(witness.polls[1].text.empty());
    ASSERT_GE(witness.switches.size(), 2u);
    EXPECT_FALSE(witness.switches.back());
    EXPECT_FALSE(form.isChecked("Mgr_En"));
}

TEST_F(TrendFeed, UntickingAndDisconnectingTellPollingStopped) {
    start();
    form.click("Mgr_En");
    EXPECT_FALSE(witness.switches.back());
    form.click("Mgr_En");
    EXPECT_TRUE(witness.switches.back());
    form.click("ConnectCom");
    EXPECT_FALSE(witness.switches.back());
    EXPECT_TRUE(witness.polls.empty());
}

TEST_F(TrendFeed, GraphOpensTheTrendWindowAndSendsNothing) {
    ASSERT_TRUE(rig.connect());
    const std::size_t mark = rig.sim.traceLines().size();
    form.click("Mgr_Trend");
    form.click("Mgr_Trend");
    EXPECT_EQ(form.trendWindowShown(), 2);
    EXPECT_TRUE(rig.requestsFrom(mark).empty());
    EXPECT_FALSE(form.isChecked("Mgr_En"));
}

}  // namespace
}  // namespace k54
