// Several instruments behind one k54sim port, as on an RS-485 line: each with its own registers,
// firmware and live measurement; a request for an address nobody has goes unanswered.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/sim/RawLine.h"
#include "tests/sim/SimMaster.h"
#include "tests/sim/TracePredicates.h"
#include "tests/support/SimInstrument.h"

namespace {

using k54::test::hasLine;
using k54::test::hasLineMatching;
using k54::test::kAnyCrc;
using k54::test::measurementOf;
using k54::test::RawLine;
using k54::test::SimInstrument;
using k54::test::SimMaster;

class K54SimInstruments : public testing::Test {
protected:
    SimMaster& master(int slave, std::chrono::milliseconds responseTimeout = SimMaster::kAnswerWait) {
        current_.reset();  // one master on the line at a time
        current_ = std::make_unique<SimMaster>(sim.devicePath(), slave, 19200, responseTimeout);
        return *current_;
    }

    SimInstrument sim{{"--address", "17", "--address", "30", "--firmware", "2.00.0001"}};

private:
    std::unique_ptr<SimMaster> current_;
};

TEST_F(K54SimInstruments, EachKeepsItsOwnRegistersAndFirmware) {
    ASSERT_EQ(master(17).writeOne(5, 777).rc, 1);
    sim.control("@30 firmware 3.01.0002");
    sim.control("@30 set 6 -3");

    EXPECT_EQ(master(17).read(5, 2).values.at(0), 777);
    EXPECT_NE(master(30).read(5, 1).values.at(0), 777);
    EXPECT_EQ(master(30).read(6, 1).values, std::vector<uint16_t>{0xFFFD});
    EXPECT_NE(master(17).read(6, 1).values, std::vector<uint16_t>{0xFFFD});
    EXPECT_EQ(master(17).read(41, 2).values, (std::vector<uint16_t>{0x0200, 0x0001}));
    EXPECT_EQ(master(30).read(41, 2).values, (std::vector<uint16_t>{0x0301, 0x0002}));

    EXPECT_TRUE(sim.waitForTrace(hasLineMatching("rep 11 06 00 05 03 09" + kAnyCrc + " \\(instrument 17\\)")));
    EXPECT_TRUE(sim.waitForTrace(hasLineMatching("rep 1E 03 04 03 01 00 02" + kAnyCrc + " \\(instrument 30\\)")));
}

TEST_F(K54SimInstruments, EachMeasuresInItsOwnInputTypesRange) {
    sim.control("set 0 13");     // the first instrument, 17: thermocouple B, 300 - 1800
    sim.control("@30 set 0 0");  // resistance thermometer, -50 - 200
    for (int i = 0; i < 3; ++i) {
        const int32_t first = measurementOf(master(17).read(60, 2));
        const int32_t second = measurementOf(master(30).read(60, 2));
        EXPECT_GE(first, 300000);
        EXPECT_LE(first, 1800000);
        EXPECT_GE(second, -50000);
        EXPECT_LE(second, 200000);
    }
}

TEST_F(K54SimInstruments, NobodyAnswersAnAddressNobodyHas) {
    EXPECT_EQ(master(5, SimMaster::kSilenceWait).read(41, 2).error, ETIMEDOUT);
    EXPECT_TRUE(sim.waitForTrace(hasLine("rep none (no instrument at address 5)")));
    EXPECT_EQ(master(30).read(41, 2).rc, 2);  // the line still serves the others

    sim.control("@5 set 0 1");
    sim.control("@30 fault silent");
    sim.control("@0 set 0 1");
    EXPECT_EQ(master(30).read(41, 2).rc, 2);
    for (const char* reason :
         {"no instrument at address 5 on this line", "'@30 fault silent': faults and the reset belong to the line",
          "'@0' names no address 1-247"}) {
        EXPECT_NE(sim.errorOutput().find(reason), std::string::npos) << reason << "\n" << sim.errorOutput();
    }
}

TEST_F(K54SimInstruments, AResetReturnsEveryInstrumentAndTheLineToHowTheyStarted) {
    const std::vector<uint16_t> configuration = master(17).read(0, 39).values;
    ASSERT_EQ(configuration.size(), 39U);
    ASSERT_EQ(master(17).writeOne(5, 777).rc, 1);
    sim.control("@30 firmware 3.01.0002");
    sim.control("@30 set 60 32767");  // a measurement held far outside every range
    sim.control("@30 baud 9600");
    sim.control("fault silent");
    sim.control("@30 reset");  // refused: the reset is for the whole line
    sim.control("reset");

    EXPECT_EQ(master(17).read(0, 39).values, configuration);
    EXPECT_EQ(master(30).read(41, 2).values, (std::vector<uint16_t>{0x0200, 0x0001}));  // at 19200 again
    EXPECT_LE(measurementOf(master(30).read(60, 2)), 2500000);  // in the widest range: the wave again
    EXPECT_NE(sim.errorOutput().find("'@30 reset': faults and the reset belong to the line"), std::string::npos)
        << sim.errorOutput();
}

TEST_F(K54SimInstruments, ABroadcastWriteReachesEveryInstrumentAndNobodyAnswers) {
    // Function 6 to address 0: register 7 := 4321.
    const std::array<uint8_t, 8> broadcast{0x00, 0x06, 0x00, 0x07, 0x10, 0xE1, 0xF4, 0x52};
    RawLine(sim.devicePath(), 19200).send(broadcast);
    EXPECT_TRUE(sim.waitForTrace(hasLine("rep none (broadcast)")));
    EXPECT_EQ(master(17).read(7, 1).values, std::vector<uint16_t>{4321});
    EXPECT_EQ(master(30).read(7, 1).values, std::vector<uint16_t>{4321});
}

}  // namespace
