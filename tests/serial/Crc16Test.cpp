#include "serial/K54com.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

using k54::cPort;

std::vector<uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(SerialCrc, NoBytesGiveTheInitialValue) {
    EXPECT_EQ(cPort::crc16({}), 0xFFFF);
}

TEST(SerialCrc, PublishedCheckValue) {
    EXPECT_EQ(cPort::crc16(bytesOf("123456789")), 0x4B37);
}

struct KnownFrame {
    std::vector<uint8_t> body;
    uint8_t low;
    uint8_t high;

    friend void PrintTo(const KnownFrame& f, std::ostream* os) { *os << f.body.size() << "-byte frame"; }
};

class SerialCrcFrames : public testing::TestWithParam<KnownFrame> {};

TEST_P(SerialCrcFrames, GivesTheKnownCrcBytes) {
    const uint16_t crc = cPort::crc16(GetParam().body);
    EXPECT_EQ(crc & 0xFF, GetParam().low);
    EXPECT_EQ(crc >> 8, GetParam().high);
}

TEST_P(SerialCrcFrames, FrameFollowedByItsCrcChecksToZero) {
    std::vector<uint8_t> frame = GetParam().body;
    frame.push_back(GetParam().low);
    frame.push_back(GetParam().high);
    EXPECT_EQ(cPort::crc16(frame), 0);
}

INSTANTIATE_TEST_SUITE_P(Modbus, SerialCrcFrames,
                         testing::Values(KnownFrame{{0x01, 0x03, 0x00, 0x00, 0x00, 0x27}, 0x05, 0xD0},
                                         KnownFrame{{0x01, 0x03, 0x00, 0x3C, 0x00, 0x02}, 0x04, 0x07},
                                         KnownFrame{{0x01, 0x06, 0x00, 0x05, 0x12, 0x34}, 0x94, 0xBC},
                                         KnownFrame{{0x01, 0x83, 0x02}, 0xC0, 0xF1},
                                         KnownFrame{{0x01, 0x10, 0x00, 0x20, 0x00, 0x02}, 0x40, 0x02}));

}  // namespace
