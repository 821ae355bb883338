// The firmware versions a program works with: v.1.90.0013 or later; V1 = 0 is no instrument at all.
#include <gtest/gtest.h>

#include "config/instrument/InstrumentLink.h"

namespace k54 {
namespace {

TEST(DeviceVersion, IsSignedSoAHighFirstByteIsOld) {
    EXPECT_EQ(deviceVersion(1, 90, 0, 13), kMinDeviceVersion);
    EXPECT_LT(deviceVersion(1, 90, 0, 12), kMinDeviceVersion);
    EXPECT_GT(deviceVersion(2, 0, 0, 0), kMinDeviceVersion);
    EXPECT_LT(deviceVersion(128, 0, 0, 0), kMinDeviceVersion);
}

TEST(FirmwareAcceptance, FromTheOldestAcceptedVersionOnAndNeverWithoutV1) {
    struct Case {
        FirmwareVersion version;
        FirmwareAcceptance acceptance;
    };
    const Case cases[] = {
        {{1, 90, 0, 13}, FirmwareAcceptance::accepted},     {{1, 90, 1, 0}, FirmwareAcceptance::accepted},
        {{2, 0, 0, 0}, FirmwareAcceptance::accepted},       {{1, 90, 0, 12}, FirmwareAcceptance::tooOld},
        {{1, 89, 99, 99}, FirmwareAcceptance::tooOld},      {{128, 0, 0, 0}, FirmwareAcceptance::tooOld},
        {{0, 90, 0, 13}, FirmwareAcceptance::noInstrument}, {{0, 0, 0, 0}, FirmwareAcceptance::noInstrument},
    };
    for (const Case& c : cases) EXPECT_EQ(firmwareAcceptance(c.version), c.acceptance) << firmwareText(c.version);
    EXPECT_EQ(firmwareText({1, 90, 0, 13}), "1.90.0013");
}

}  // namespace
}  // namespace k54
