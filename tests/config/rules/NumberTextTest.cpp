// Numbers as the window shows and reads them.
#include <gtest/gtest.h>

#include "base/TextFormat.h"
#include "config/rules/NumberText.h"

namespace k54 {
namespace {

struct FormatCase {
    long double value;
    const char* format;
    char separator;
    const char* shown;
};

TEST(FormatWithTemplate, RoundsHalfAwayFromZeroToTheTemplatesDecimals) {
    const FormatCase cases[] = {
        {0.1L, "0.0", '.', "0.1"},
        {12.34L, "0.00", '.', "12.34"},
        {-50.0L, "0.0", '.', "-50.0"},
        {2.5L, "0", '.', "3"},
        {-2.5L, "0", '.', "-3"},
        {0.25L, "0.0", '.', "0.3"},
        {1234.0L, "0", '.', "1234"},
        {12.3L, "0.0", ',', "12,3"},
        {-0.01L, "0.00", '.', "-0.01"},
        {-0.04L, "0.0", '.', "0.0"},
        {0.0L, "0.00", '.', "0.00"},
        {5.0L, "0.00", '.', "5.00"},
        {100.0L, "0.00", ',', "100,00"},
        // Beyond every integer type: an entry typed as 1e25 or with twenty digits is shown as it is.
        {1e25L, "0.0", '.', "10000000000000000000000000.0"},
        {-3.5e20L, "0", ',', "-350000000000000000000"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(formatWithTemplate(c.value, c.format, c.separator), c.shown) << static_cast<double>(c.value);
}

struct ParseCase {
    const char* text;
    char separator;
    std::optional<double> number;
};

TEST(ParseDecimal, AcceptsTheNumberSyntaxAndNothingElse) {
    const ParseCase cases[] = {
        {"12.3", '.', 12.3},
        {"12,3", ',', 12.3},
        {" -7 ", '.', -7.0},
        {"+4.", '.', 4.0},
        {".5", '.', 0.5},
        {".", '.', 0.0},
        {"1e3", '.', 1000.0},
        {"2.5E-1", '.', 0.25},
        {"12,3", '.', std::nullopt},
        {"1.2.3", '.', std::nullopt},
        {"", '.', std::nullopt},
        {"abc", '.', std::nullopt},
        {"-", '.', std::nullopt},
        {"1e", '.', std::nullopt},
        {"1 2", '.', std::nullopt},
        {"0x10", '.', std::nullopt},
        {"e5", '.', std::nullopt},
    };
    for (const ParseCase& c : cases) EXPECT_EQ(parseDecimal(c.text, c.separator), c.number) << '"' << c.text << '"';
}

TEST(ParseDecimal, ExponentsBeyondDoubleRangeGiveInfinityOrZero) {
    EXPECT_EQ(parseDecimal("1e999", '.'), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseDecimal("-1e999", '.'), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseDecimal("1e-999", '.'), 0.0);
}

TEST(TextFormat, PadsByCharactersNotBytes) {
    EXPECT_EQ(padLeft("°C", 2), "°C");
    EXPECT_EQ(padLeft("", 2), "  ");
    EXPECT_EQ(formatText("%4d %5d", -5, 32), "  -5    32");
}

}  // namespace
}  // namespace k54
