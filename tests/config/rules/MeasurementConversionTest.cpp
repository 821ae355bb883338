// The measured value as the display settings show it, on the parameter table alone.
#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "config/rules/MeasurementConversion.h"

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
    ParamTable rows = kParamTemplate;
    auto value = [&rows](int index) -> int32_t& { return rows.at(static_cast<std::size_t>(index)).value; };
    value(row::Mod) = 22;  // 0 ... 320 Ohm
    value(row::Iol) = 0;
    value(row::Ioh) = 1000;
    value(row::Rng) = 2;
    value(row::Ufp) = 1;
    EXPECT_EQ(convertMeasurement(rows, 160000), 50000);
    EXPECT_EQ(measurementText(rows, 160000, '.'), "   50.0");
    EXPECT_EQ(measurementUnit(rows), "Ом");

    value(row::Rng) = 3;
    value(row::Dpl) = 1000;
    value(row::Dph) = 2000;
    EXPECT_EQ(convertMeasurement(rows, 150000), 50000);  // the middle of 100.0 ... 200.0

    value(row::Dph) = 1000;  // an empty display range: the scaled low, no division by zero
    value(row::Iol) = -50;
    EXPECT_EQ(convertMeasurement(rows, 150000), -5000);

    value(row::Rng) = 1;
    EXPECT_EQ(convertMeasurement(rows, 150000), 150000);
    value(row::Rng) = 2;
    value(row::Mod) = 40;  // no table range for an unknown type: left as it came, and no unit
    EXPECT_EQ(convertMeasurement(rows, 150000), 150000);
    EXPECT_EQ(measurementUnit(rows), "");
    value(row::Mod) = 278;  // its low byte would be type 22
    EXPECT_EQ(measurementUnit(rows), "");
}

// The band the trend draws: the input type's range where the value is shown.
TEST(MeasurementBand, IsTheInputRangeConvertedAsTheValueIs) {
    struct Case {
        int32_t type, mode, dpLo, dpHi, ioLo, ioHi;  // tenths
        std::optional<std::pair<double, double>> band;
    };
    const Case cases[] = {
        {22, 0, 500, 1000, 0, 1000, {{0.0, 320.0}}},       // input modes: the input range itself,
        {13, 1, 5000, 6000, 0, 1000, {{300.0, 1800.0}}},   // not the display range
        {22, 2, 500, 1000, 0, 1000, {{0.0, 100.0}}},       // scaled full: the scaled range
        {22, 2, 500, 1000, 1000, -500, {{-50.0, 100.0}}},  // an inverted scaled range, low first
        {22, 3, 1000, 2000, 0, 1000, {{-100.0, 220.0}}},   // scaled set: beyond the scaled range
        {40, 0, 0, 1000, 0, 1000, std::nullopt},           // no range for an unknown type
    };
    for (const Case& c : cases) {
        ParamTable rows = kParamTemplate;
        auto value = [&rows](int index) -> int32_t& { return rows.at(static_cast<std::size_t>(index)).value; };
        value(row::Mod) = c.type;
        value(row::Rng) = c.mode;
        value(row::Dpl) = c.dpLo;
        value(row::Dph) = c.dpHi;
        value(row::Iol) = c.ioLo;
        value(row::Ioh) = c.ioHi;
        const auto band = measurementBand(rows);
        ASSERT_EQ(band.has_value(), c.band.has_value()) << c.type << " mode " << c.mode;
        if (!band) continue;
        EXPECT_DOUBLE_EQ(band->low, c.band->first) << c.type << " mode " << c.mode;
        EXPECT_DOUBLE_EQ(band->high, c.band->second) << c.type << " mode " << c.mode;
    }
}

TEST(MeasurementNumber, IsTheNumberTheTextShows) {
    EXPECT_EQ(measurementNumber("  123.456"), 123.456);
    EXPECT_EQ(measurementNumber("   50,0"), 50.0);
    EXPECT_EQ(measurementNumber("    -1"), -1.0);
    EXPECT_EQ(measurementNumber(" "), std::nullopt);
    EXPECT_EQ(measurementNumber("12a"), std::nullopt);
}

// A poll as it is shown and recorded: the converted value's text and number, its unit and band.
TEST(MeasurementPoll, IsTheValueAsShownOrNoAnswer) {
    ParamTable rows = kParamTemplate;
    rows.at(row::Mod).value = 22;  // 0 ... 320 Ohm
    rows.at(row::Ufp).value = 2;
    const auto time = std::chrono::system_clock::time_point(std::chrono::seconds(1'700'000'000));
    const MeasurementPoll poll = measurementPoll(rows, 160'456, time, ',');
    EXPECT_TRUE(poll.answered);
    EXPECT_EQ(poll.time, time);
    EXPECT_EQ(poll.text, "  160,45");
    EXPECT_DOUBLE_EQ(poll.value, 160.45);
    EXPECT_EQ(poll.decimals, 2);
    EXPECT_EQ(poll.unit, "Ом");
    ASSERT_TRUE(poll.band.has_value());
    EXPECT_DOUBLE_EQ(poll.band->high, 320.0);
    const MeasurementPoll silent = measurementPoll(rows, std::nullopt, time, ',');
    EXPECT_FALSE(silent.answered);
    EXPECT_EQ(silent.time, time);
    EXPECT_TRUE(silent.text.empty());
    EXPECT_TRUE(silent.unit.empty());
}

}  // namespace
}  // namespace k54
