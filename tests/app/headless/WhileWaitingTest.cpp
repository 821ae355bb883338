// The window while the line is waited on, under the rules the Qt window keeps: the operator's clicks are
// refused (no second operation starts inside the first) and the keys typed are typed after, Esc stops a long operation
// before its next request (what was and was not written is logged, and what the instrument holds is read
// back), and closing the window gives up the wait and closes as soon as the work has unwound.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "config/params/ParamTable.h"
#include "serial/PlatformSerial.h"
#include "tests/support/HeadlessRig.h"

namespace k54 {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(WhileWaiting, ClicksAreRefusedAndKeysTypedAfterTheWork) {
    test::SimRig r({"--no-pacing", "--fault", "silent"});
    r.choosePort();
    HeadlessForm& form = r.form();
    const std::string us1 = form.text("Us1_E");
    const int mode = form.itemIndex("Mod_B");
    int waits = 0;
    form.setWhileWaiting([&] {
        if (waits++ != 0) return;
        form.click("Source");
        form.operatorChooses("Mod_B", 5);
        form.operatorTypes("Us1_E", "77");
        form.focus("Us1_E");
        EXPECT_FALSE(form.fireTimer("Timer_ReadMg"));  // a poll would cut into the exchange
    });
    form.click("ConnectCom");

    EXPECT_GT(waits, 1);  // the wait was sliced
    EXPECT_EQ(form.heldInputs(), 3);
    EXPECT_FALSE(form.closed());
    EXPECT_EQ(form.text("Us1_E"), "77");  // typed once the connection attempt had ended
    EXPECT_NE(us1, "77");
    EXPECT_EQ(form.itemIndex("Mod_B"), mode);
    EXPECT_TRUE(form.boxes().empty());
    ASSERT_EQ(r.requestsFrom(0).size(), 1u);  // the firmware read alone
    EXPECT_EQ(r.requestsFrom(0)[0].substr(0, 17), "01 03 00 29 00 02");
    EXPECT_EQ(form.logLines().back(), "Прибор не подключен");

    // Idle again, a click acts.
    form.click("DemoExit");
    EXPECT_TRUE(form.closed());
    EXPECT_EQ(form.heldInputs(), 3);
}

// The close box and «Выход» alike.
class ClosingWhileWaiting : public ::testing::TestWithParam<bool> {};

TEST_P(ClosingWhileWaiting, GivesUpTheWaitAndClosesOnceTheWorkHasUnwound) {
    const bool byExitButton = GetParam();
    test::SimRig r({"--no-pacing", "--fault", "silent"});
    r.session().port.setReadTimeouts(ReadTimeouts{});  // the described 5 s limit, so that giving up shows
    r.choosePort();
    HeadlessForm& form = r.form();
    std::optional<Clock::time_point> closedAt;
    form.setWhileWaiting([&] {
        if (closedAt) return;
        closedAt = Clock::now();
        if (byExitButton)
            form.click("DemoExit");
        else
            form.operatorCloses();
        EXPECT_FALSE(form.closed());  // not while the work runs
    });
    form.click("ConnectCom");
    ASSERT_TRUE(closedAt);
    EXPECT_LT(Clock::now() - *closedAt, 500ms);
    EXPECT_TRUE(form.closed());
    EXPECT_EQ(form.heldInputs(), 0);
    EXPECT_FALSE(r.session().port.isOpen());
    EXPECT_TRUE(form.boxes().empty());
    // The port is free for the next start.
    cPort next(makePlatformSerialBackend(r.sim.portsDir()));
    EXPECT_TRUE(next.setup(static_cast<uint8_t>(r.sim.portNumber()), 3));
}

INSTANTIATE_TEST_SUITE_P(CloseBoxAndExitButton, ClosingWhileWaiting, ::testing::Bool());

class WhileWriting : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_DATA_HOME", data.path().c_str(), 1); }
    test::ScratchDir data{"k54-data-"};
    test::SimRig r{std::vector<std::string>{}};  // paced: each reply takes its time on the line
};

TEST_F(WhileWriting, EscStopsTheFactoryWriteBeforeItsNextRequestAndTheWindowReadsBack) {
    ASSERT_TRUE(r.connect());
    HeadlessForm& form = r.form();
    const std::size_t from = r.sim.traceLines().size();
    bool pressed = false;
    form.setWhileWaiting([&] {
        if (pressed) return;
        const auto requests = r.requestsFrom(from);
        if (std::ranges::any_of(requests, [](const std::string& q) { return q.starts_with("01 06 00 00"); })) {
            form.operatorPressesEscape();
            pressed = true;
        }
    });
    form.answerNextQuestion(true);
    form.click("Source");
    ASSERT_TRUE(pressed);

    // The backup's two reads, the writes up to the one Esc came during, then the read back.
    const auto requests = r.requestsFrom(from);
    const auto writes = static_cast<std::size_t>(std::ranges::count_if(
        requests, [](const std::string& q) { return q.starts_with("01 06") || q.starts_with("01 10"); }));
    ASSERT_GE(writes, 1u);
    ASSERT_LT(writes, static_cast<std::size_t>(kParamCount));
    ASSERT_EQ(requests.size(), 2 + writes + 1);
    EXPECT_EQ(requests.back().substr(0, 17), "01 03 00 00 00 27");
    const auto& log = form.logLines();
    const auto has = [&log](const std::string& start) {
        return std::ranges::any_of(log, [&start](const std::string& line) { return line.starts_with(start); });
    };
    EXPECT_TRUE(has("Записано параметров: " + std::to_string(writes) + " (dAt"));
    EXPECT_TRUE(has("Не записаны: "));
    EXPECT_TRUE(has("Ошибка записи конфигурации"));
    EXPECT_FALSE(has("Запись завершена!"));
    EXPECT_FALSE(form.stopRequested());  // the stop ends with the work
    // The window shows what the instrument holds: the first rows' factory values, the rest as before.
    EXPECT_EQ(r.state().row(0).value, r.state().row(0).factoryValue);
}

}  // namespace
}  // namespace k54
