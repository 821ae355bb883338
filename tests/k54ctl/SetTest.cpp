// k54ctl set against the simulated instrument: the window's limits, store rules and resets on the wire,
// list items by number and text, the input type's read-back, address and speed last, and refusals.
#include <algorithm>

#include "tests/k54ctl/CtlRig.h"

namespace k54::ctl::test {
namespace {

const std::string kReadConfiguration = "11 03 00 00 00 27";

using Set = CtlTest;

TEST_F(Set, ANumberIsCutHeldToItsLimitAndSaysSo) {
    const std::size_t mark = traceMark();
    const Result result = onLine({"set", "US_1=100.06", "US_2=5000"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "US_1 = 100.0 Ом\n"
              "US_2 = 320.0 Ом (5000 is outside 100.1 ... 320.0: held to the nearer limit)\n");
    EXPECT_EQ(writesFrom(mark),
              (std::vector<std::string>{"11 10 00 1F 00 02 04 00 00 03 E8", "11 10 00 23 00 02 04 00 00 0C 80"}));
}

TEST_F(Set, ARangeModeSendsItsResetsAndARangeItDoesNotLetBeSetIsResetInstead) {
    const std::size_t mark = traceMark();
    const Result result = onLine({"set", "C_HS=Входной заданный", "DpHi=250,5", "C_HS=0", "DpLo=10"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "C_HS = 1 «Входной заданный»; reset DpHi = 320.0 Ом, DpLo = 0.0 Ом\n"
              "DpHi = 250.5 Ом; held into the range: US_2 = 250.5 Ом\n"
              "C_HS = 0 «Входной полный»; reset DpHi = 320.0 Ом, DpLo = 0.0 Ом\n"
              "DpLo = 0.0 Ом (C_HS 0 «Входной полный» does not let it be set); reset DpHi = 320.0 Ом\n");
    EXPECT_EQ(writesFrom(mark), (std::vector<std::string>{
                                    "11 06 00 05 00 01",                 // C_HS
                                    "11 10 00 08 00 02 04 00 00 0C 80",  // DpHi reset, upper first
                                    "11 10 00 06 00 02 04 00 00 00 00",  // DpLo reset
                                    "11 10 00 08 00 02 04 00 00 09 C9",  // DpHi 250.5
                                    "11 10 00 23 00 02 04 00 00 09 C9",  // US_2 256.0 held to 250.5
                                    "11 06 00 05 00 00",                 // C_HS
                                    "11 10 00 08 00 02 04 00 00 0C 80",  //
                                    "11 10 00 06 00 02 04 00 00 00 00",  //
                                    "11 10 00 08 00 02 04 00 00 0C 80",  // DpLo entered: the range reset
                                    "11 10 00 06 00 02 04 00 00 00 00",  //
                                    "11 10 00 06 00 02 04 00 00 00 00",  // and DpLo itself, last
                                }));
}

TEST_F(Set, ANewInputTypeReadsTheConfigurationBackBeforeTheNextAssignment) {
    const std::size_t mark = traceMark();
    const Result result = onLine({"set", "dAt=11", "rL1=Прямая"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "dAt = 11 «Термопара ХА (K) (HA)»\n"
              "  the configuration read back for the new input type\n"
              "rL1 = 1 «Прямая»\n");
    const auto requests = sim.requestsFrom(mark);
    const auto type = std::ranges::find(requests, "11 06 00 00 00 0B");
    ASSERT_NE(type, requests.end());
    EXPECT_EQ(*(type + 1), kReadConfiguration);
    EXPECT_EQ(*(type + 2), "11 06 00 1D 00 01");
}

TEST_F(Set, AddressAndSpeedGoLastTogetherInOneRequest) {
    const std::size_t mark = traceMark();
    const Result result = onLine({"set", "speed=4800", "address=20", "ndt=5"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(writesFrom(mark), (std::vector<std::string>{"11 06 00 0F 00 05", "11 10 00 15 00 02 04 00 14 00 01"}));
    EXPECT_EQ(
        result.out,
        "ndt = 5 «5»\naddress = 20\nspeed = 1 «4800»\n  the instrument answers there once it takes the new settings\n");
}

TEST_F(Set, AnyAssignmentThatCannotBeTakenRefusesAllBeforeTheLineIsTouched) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"set", "US_1=100", "US_2=lots"}, {"set", "US_1=100", "nokey=1"}, {"set", "password=1"}, {"set"}}) {
        const Result result = onLine(args);
        EXPECT_EQ(result.status, 2) << args.back();
        EXPECT_EQ(result.out, "");
    }
    EXPECT_TRUE(sim.requestsFrom().empty());
}

TEST_F(Set, AnUnansweredWriteEndsTheCommandAndNamesWhatWasNotDone) {
    const std::size_t mark = traceMark();
    sim.control("fault drop-every=3");  // version, configuration, then the first write
    const Result unanswered = onLine({"set", "US_1=100", "US_2=200"});
    EXPECT_EQ(unanswered.status, 1);
    EXPECT_EQ(unanswered.out, "");
    EXPECT_TRUE(holds(unanswered.err, "writing US_1: no reply (time-out) from address 17 at 9600 baud on COM4"));
    EXPECT_TRUE(holds(unanswered.err, "written: none; sent, no reply: US_1 (may or may not be applied)\n"));
    EXPECT_TRUE(holds(unanswered.err, "not done: US_2=200"));
    EXPECT_EQ(writesFrom(mark).size(), 1u);
}

// The README's example: a setpoint the new range leaves outside is held into it and sent, so that the
// instrument holds a configuration its own file checks accept and that loads back.
TEST_F(Set, ARangeChangeHoldsTheSetpointsIntoTheNewRange) {
    const Result result = onLine({"set", "US_2=5000", "C_HS=1", "DpHi=250,5"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "US_2 = 320.0 Ом (5000 is outside 64.1 ... 320.0: held to the nearer limit)\n"
              "C_HS = 1 «Входной заданный»; reset DpHi = 320.0 Ом, DpLo = 0.0 Ом\n"
              "DpHi = 250.5 Ом; held into the range: US_2 = 250.5 Ом\n");
    const Result saved = onLine({"save", file("after.json").string()});
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.err, "");  // no "would not load"
    EXPECT_EQ(onLine({"load", file("after.json").string(), "--backup-dir", file("b").string()}).status, 0);

    const Result next = onLine({"set", "US_1=300", "US_2=200"});
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(
        next.out,
        "US_1 = 250.4 Ом (300 is outside 0.0 ... 250.4: held to the nearer limit)\n"
        "US_2 = 250.5 Ом (200 is outside 250.5 ... 250.5: held to the nearer limit) (unchanged: nothing written)\n");
}

TEST_F(Set, AnAssignmentNoValueFitsRefusesTheWholeListAndNamesTheConflict) {
    // An instrument left inconsistent by another program: US_1 = 300.0 above DpHi = 250.5 in mode 1.
    for (const auto& [reg, value] : {std::pair{5, 1}, {9, 2505}, {32, 3000}, {36, 3100}})
        sim.control("set " + std::to_string(reg) + " " + std::to_string(value));
    const std::size_t mark = traceMark();
    const Result result = onLine({"set", "ndt=5", "US_2=200"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(holds(result.err, "US_2=200 cannot be set: its limits come from US_1 = 300.0 and DpHi = 250.5"));
    EXPECT_TRUE(holds(result.err, "nothing written"));
    EXPECT_FALSE(holds(result.err, "300.1 ... 250.5").operator bool());
    EXPECT_TRUE(writesFrom(mark).empty());
    // Setting the conflicting value first makes room.
    EXPECT_EQ(onLine({"set", "US_1=100", "US_2=200"}).status, 0);
}

TEST_F(Set, AnAssignmentThatChangesNothingWritesNothing) {
    ASSERT_EQ(onLine({"set", "C_HS=1", "DpHi=250"}).status, 0);
    const std::size_t mark = traceMark();
    const Result result = onLine({"set", "C_HS=1", "DpHi=250", "address=1"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "C_HS = 1 «Входной заданный» (unchanged: nothing written)\n"
              "DpHi = 250.0 Ом (unchanged: nothing written)\n"
              "address = 1 (unchanged: nothing written)\n");
    EXPECT_TRUE(writesFrom(mark).empty());
    EXPECT_TRUE(holds(onLine({"read"}).out, "DpHi             "));
    EXPECT_TRUE(holds(onLine({"read"}).out, "250.0"));
}

}  // namespace
}  // namespace k54::ctl::test
