#include "tests/model/ModelTable.h"

#include <algorithm>
#include <stdexcept>

namespace k54::model {
namespace {

// clang-format off
constexpr std::array<ModelRow, kRows> kModelRows{{
    // name    reg  wide   scale dec factory items oneBased page
    {"Mod_B",   0, false,   1, 0,   22, 23, false, 0},
    {"Sch_B",   1, false,   1, 0,    3,  4, false, 0},
    {"rLn_E",   2, false, 100, 2,    0,  0, false, 0},
    {"Brn_B",   3, false,   1, 0,    1,  2, false, 1},
    {"Ufp_B",   4, false,   1, 0,    3,  4, false, 0},
    {"Rng_B",   5, false,   1, 0,    0,  4, false, 2},
    {"Dpl_E",   6, true,   10, 1,    0,  0, false, 2},
    {"Dph_E",   8, true,   10, 1, 3200,  0, false, 2},
    {"Iol_E",  10, true,   10, 1,    0,  0, false, 2},
    {"Ioh_E",  12, true,   10, 1, 1000,  0, false, 2},
    {"Ind_B",  14, false,   1, 0,    0,  4, false, 2},
    {"Ndt_B",  15, false,   1, 0,    8, 30, true,  2},
    {"Out_B",  16, false,   1, 0,    3,  4, false, 4},
    {"Sqr_B",  17, false,   1, 0,    0,  2, false, 4},
    {"Ien_B",  18, false,   1, 0,    0,  2, false, 4},
    {"Icd_E",  19, false, 100, 2,    0,  0, false, 4},
    {"Mcj_B",  20, false,   1, 0,    1,  2, false, 0},
    {"Adr_E",  21, false,   1, 0,    1,  0, false, kNoPage},
    {"Spd_B",  22, false,   1, 0,    3,  7, false, kNoPage},
    {"Psw_E",  23, false,   1, 0,    0,  0, false, 5},
    {"Ptr_B",  24, false,   1, 0,    0,  1, false, 5},
    {"Lt__B",  25, false,   1, 0,    0,  9, false, 3},
    {"Lp__B",  26, false,   1, 0,    1,  2, false, 3},
    {"La__B",  27, false,   1, 0,   16, 16, true,  3},
    {"Ld__B",  28, false,   1, 0,   16, 16, true,  3},
    {"Rl1_B",  29, false,   1, 0,    0,  3, false, 3},
    {"Rl2_B",  30, false,   1, 0,    0,  3, false, 3},
    {"Us1_E",  31, true,   10, 1,  640,  0, false, 1},
    {"Gs1_E",  33, true,   10, 1,    1,  0, false, 1},
    {"Us2_E",  35, true,   10, 1, 2560,  0, false, 1},
    {"Gs2_E",  37, true,   10, 1,    1,  0, false, 1},
}};

// Qt's focus chain: every control that takes the focus, in the order the window creates them.
const std::vector<ChainEntry> kFocusChain{
    {"Mgr_En", kNoPage}, {"ConnectCom", kNoPage}, {"Adr_E", kNoPage}, {"Spd_B", kNoPage}, {"Com_B", kNoPage},
    {"Mod_B", 0}, {"Sch_B", 0}, {"rLn_E", 0}, {"Mcj_B", 0}, {"Ufp_B", 0},
    {"Us1_E", 1}, {"Gs1_E", 1}, {"Us2_E", 1}, {"Gs2_E", 1}, {"Brn_B", 1},
    {"Rng_B", 2}, {"Dpl_E", 2}, {"Dph_E", 2}, {"Iol_E", 2}, {"Ioh_E", 2}, {"Ind_B", 2}, {"Ndt_B", 2},
    {"Lt__B", 3}, {"Lp__B", 3}, {"La__B", 3}, {"Ld__B", 3}, {"Rl1_B", 3}, {"Rl2_B", 3},
    {"Out_B", 4}, {"Sqr_B", 4}, {"Ien_B", 4}, {"Icd_E", 4},
    {"Ptr_B", 5}, {"Psw_E", 5}, {"Psw_Write", 5}, {"Psw_Reset", 5},
    {"Source", kNoPage}, {"ClearMemo", kNoPage}, {"DemoExit", kNoPage},
};
// clang-format on

const std::vector<std::string_view> kNumericFields{"rLn_E", "Dpl_E", "Dph_E", "Iol_E", "Ioh_E",
                                                   "Icd_E", "Us1_E", "Gs1_E", "Us2_E", "Gs2_E"};

std::vector<std::string_view> listsOnPages() {
    std::vector<std::string_view> lists;
    for (const ModelRow& r : kModelRows)
        if (r.items > 0 && r.page != kNoPage && r.name != "Ptr_B") lists.push_back(r.name);
    return lists;
}

}  // namespace

const std::array<ModelRow, kRows>& modelRows() {
    return kModelRows;
}

const ModelRow& modelRow(int row) {
    return kModelRows.at(static_cast<std::size_t>(row));
}

std::optional<int> modelRowOf(std::string_view control) {
    for (int i = 0; i < kRows; ++i)
        if (modelRow(i).name == control) return i;
    return std::nullopt;
}

const std::vector<std::string_view>& numericFields() {
    return kNumericFields;
}

const std::vector<std::string_view>& pageLists() {
    static const std::vector<std::string_view> lists = listsOnPages();
    return lists;
}

bool isNumericField(std::string_view control) {
    return std::ranges::find(kNumericFields, control) != kNumericFields.end();
}

bool hasFocusHandlers(std::string_view control) {
    return isNumericField(control) || control == "Psw_E";
}

std::vector<int> registersOf(int row) {
    const ModelRow& r = modelRow(row);
    return r.wide ? std::vector<int>{r.reg, r.reg + 1} : std::vector<int>{r.reg};
}

int32_t rowValue(const Image& image, int row) {
    const ModelRow& r = modelRow(row);
    if (!r.wide) return static_cast<int16_t>(image.at(static_cast<std::size_t>(r.reg)));
    const uint32_t bits =
        (uint32_t{image.at(static_cast<std::size_t>(r.reg))} << 16) | image.at(static_cast<std::size_t>(r.reg + 1));
    return static_cast<int32_t>(bits);
}

void putRowValue(Image& image, int row, int32_t value) {
    const ModelRow& r = modelRow(row);
    const auto bits = static_cast<uint32_t>(value);
    if (r.wide) {
        image.at(static_cast<std::size_t>(r.reg)) = static_cast<uint16_t>(bits >> 16);
        image.at(static_cast<std::size_t>(r.reg + 1)) = static_cast<uint16_t>(bits & 0xFFFFu);
    } else {
        image.at(static_cast<std::size_t>(r.reg)) = static_cast<uint16_t>(bits & 0xFFFFu);
    }
}

Image factoryImage() {
    Image image{};
    for (int row = 0; row < kRows; ++row) putRowValue(image, row, modelRow(row).factory);
    return image;
}

std::string decimalText(int64_t raw, int scale, int decimals, char separator) {
    // Round raw / scale half away from zero to `decimals` digits, all in integers (scale is 10^k with
    // k >= decimals).
    int keep = 1;
    for (int d = 0; d < decimals; ++d) keep *= 10;
    const int64_t divisor = scale / keep > 0 ? scale / keep : 1;
    const int64_t magnitude = raw < 0 ? -raw : raw;
    const int64_t rounded = (magnitude + divisor / 2) / divisor;  // in units of 10^-decimals
    std::string digits = std::to_string(rounded / keep);
    if (decimals > 0) {
        std::string fraction = std::to_string(rounded % keep);
        fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
        digits += separator + fraction;
    }
    return (raw < 0 && rounded != 0 ? "-" : "") + digits;
}

int itemForValue(int row, int32_t value) {
    const ModelRow& r = modelRow(row);
    const int32_t index = r.oneBased ? value - 1 : value;
    return index >= 0 && index < r.items ? index : -1;
}

bool isThermocouple(int32_t type) {
    return type >= 9 && type <= 14;
}

bool isResistanceInput(int32_t type) {
    return (type >= 0 && type <= 8) || type == 22;
}

std::string_view unitOf(int32_t type) {
    if (type >= 0 && type <= 14) return "°C";
    if (type >= 15 && type <= 18) return "мВ";
    if (type >= 19 && type <= 21) return "мА";
    if (type == 22) return "Ом";
    return "";
}

const std::vector<ChainEntry>& focusChain() {
    return kFocusChain;
}

int pageOf(std::string_view control) {
    for (const ChainEntry& e : kFocusChain)
        if (e.name == control) return e.page;
    return kNoPage;
}

}  // namespace k54::model
