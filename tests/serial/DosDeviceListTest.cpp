// The MS-DOS device list as Windows hands it out: zero-terminated names, ended by an empty name.

#include "serial/DosDeviceList.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using Names = std::vector<std::string>;

struct ListCase {
    const char* name;
    std::string_view bytes;
    Names expected;

    friend void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }
};

class DosDeviceList : public testing::TestWithParam<ListCase> {};

TEST_P(DosDeviceList, GivesTheNamesInOrder) {
    EXPECT_EQ(k54::splitDosDeviceList(GetParam().bytes), GetParam().expected);
}

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Lists, DosDeviceList,
    testing::Values(ListCase{"TwoNames", "COM3\0LPT1\0\0"sv, {"COM3", "LPT1"}},
                    ListCase{"OrderAndRepeatsKept", "COM10\0C:\0COM3\0COM10\0\0"sv, {"COM10", "C:", "COM3", "COM10"}},
                    ListCase{"EmptyNameEndsTheList", "COM1\0\0COM2\0\0"sv, {"COM1"}},
                    ListCase{"OnlyTheEnd", "\0"sv, {}}, ListCase{"NoBytes", ""sv, {}},
                    ListCase{"LastNameWithoutItsZeroIsDropped", "COM1\0COM2"sv, {"COM1"}},
                    ListCase{"EndOfBufferWithoutEmptyName", "COM1\0COM2\0"sv, {"COM1", "COM2"}}),
    [](const testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

}  // namespace
