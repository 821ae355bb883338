// Port numbers from the platform's device names and from a person's "COM4".

#include "serial/PortNumbers.h"

#include <gtest/gtest.h>

namespace {

using k54::parsePortName;
using k54::portNumbersFromDeviceNames;

TEST(PortList, EachExistingPortOnceInAscendingOrder) {
    EXPECT_EQ(portNumbersFromDeviceNames({"COM3", "COM10", "COM1", "COM3"}), (std::vector<int>{1, 3, 10}));
    EXPECT_EQ(portNumbersFromDeviceNames({"COM", "COMX", "com5", "Com6", "COM0", "COM300", "LPT1", "COM07"}),
              (std::vector<int>{7}));
    EXPECT_TRUE(portNumbersFromDeviceNames({}).empty());
}

TEST(PortName, IsComAndANumberOneTo255InAnyCaseOrTheNumberAlone) {
    EXPECT_EQ(parsePortName("COM4"), 4);
    EXPECT_EQ(parsePortName("com33"), 33);
    EXPECT_EQ(parsePortName("Com255"), 255);
    EXPECT_EQ(parsePortName("7"), 7);
    for (const char* refused :
         {"", "COM", "COM0", "COM256", "COM04", "0", "COM4x", "COM 4", "LPT1", "-3", "/dev/ttyS0"})
        EXPECT_EQ(parsePortName(refused), std::nullopt) << refused;
}

}  // namespace
