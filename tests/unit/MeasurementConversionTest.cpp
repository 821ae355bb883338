// The measured value as the display settings show it, on the parameter table alone.
#include <gtest/gtest.h>

#include "config/MeasurementConversion.h"

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

}  // namespace
}  // namespace k54
