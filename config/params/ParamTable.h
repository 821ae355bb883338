#pragma once
// The instrument's 31 parameters and how they lie in its 39 configuration registers (0 - 38).
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace k54 {

enum class ParamKind : int32_t { Combo = 0, Edit = 1 };

struct ParamRow {
    std::string_view controlName;  // the window control that shows the row
    ParamKind kind;
    int32_t paramCode;            // 0x34 marks the line-resistance row
    int32_t factoryValue;         // raw value the factory write sends
    int32_t value;                // current raw value, in register units
    int32_t scale;                // number shown = value / scale
    uint8_t lowLimit, highLimit;  // bounds of the line-resistance row; group marks elsewhere
    bool wide;                    // two registers, high word first
    uint8_t reg;                  // holding register (the first of two for a wide row)
    std::string_view format;      // "0", "0.0" or "0.00"
    bool bound = false;           // bound to its control (set on window activation)
};

inline constexpr int kParamCount = 31;
inline constexpr int kConfigRegisterCount = 39;
inline constexpr int32_t kLineResistanceCode = 0x34;

using ParamTable = std::array<ParamRow, kParamCount>;

// clang-format off
inline constexpr ParamTable kParamTemplate{{
    //  control  kind              code   factory value scale lo   hi    wide  reg format
    {"Mod_B", ParamKind::Combo, 0x0,   22,   1, 1,   0,   0,    false, 0,  "0"},
    {"Sch_B", ParamKind::Combo, 0x2,   3,    1, 1,   0,   0,    false, 1,  "0"},
    {"rLn_E", ParamKind::Edit,  0x34,  0,    0, 100, 0,   100,  false, 2,  "0.00"},
    {"Brn_B", ParamKind::Combo, 0x5,   1,    1, 1,   0,   0,    false, 3,  "0"},
    {"Ufp_B", ParamKind::Combo, 0xC,   3,    3, 1,   0,   0,    false, 4,  "0"},
    {"Rng_B", ParamKind::Combo, 0x6,   0,    1, 1,   0,   0,    false, 5,  "0"},
    {"Dpl_E", ParamKind::Edit,  0x20,  0,    0, 10,  0xFF, 0xFF, true, 6,  "0.0"},
    {"Dph_E", ParamKind::Edit,  0x24,  3200, 0, 10,  0xFF, 0xFF, true, 8,  "0.0"},
    {"Iol_E", ParamKind::Edit,  0x28,  0,    0, 10,  0xFE, 0xFE, true, 10, "0.0"},
    {"Ioh_E", ParamKind::Edit,  0x2C,  1000, 0, 10,  0xFE, 0xFE, true, 12, "0.0"},
    {"Ind_B", ParamKind::Combo, 0xD,   0,    1, 1,   0,   0,    false, 14, "0"},
    {"Ndt_B", ParamKind::Combo, 0x8,   8,    1, 1,   0,   0,    false, 15, "0"},
    {"Out_B", ParamKind::Combo, 0x4,   3,    1, 1,   0,   0,    false, 16, "0"},
    {"Sqr_B", ParamKind::Combo, 0x3,   0,    1, 1,   0,   0,    false, 17, "0"},
    {"Ien_B", ParamKind::Combo, 0x7,   0,    1, 1,   0,   0,    false, 18, "0"},
    {"Icd_E", ParamKind::Edit,  0x30,  0,    0, 100, 0xFD, 0xFD, false, 19, "0.00"},
    {"Mcj_B", ParamKind::Combo, 0x1,   1,    1, 1,   0,   0,    false, 20, "0"},
    {"Adr_E", ParamKind::Edit,  0x9,   1,    0, 1,   0xFF, 0xFF, false, 21, "0"},
    {"Spd_B", ParamKind::Combo, 0xA,   3,    1, 1,   0,   0,    false, 22, "0"},
    {"Psw_E", ParamKind::Edit,  0x2B0, 0,    0, 1,   0xFF, 0xFF, false, 23, "0"},
    {"Ptr_B", ParamKind::Combo, 0xB,   0,    1, 1,   0,   0,    false, 24, "0"},
    {"Lt__B", ParamKind::Combo, 0x1C,  0,    1, 1,   0,   0,    false, 25, "0"},
    {"Lp__B", ParamKind::Combo, 0x1D,  1,    1, 1,   0,   0,    false, 26, "0"},
    {"La__B", ParamKind::Combo, 0x1E,  16,   1, 1,   0,   0,    false, 27, "0"},
    {"Ld__B", ParamKind::Combo, 0x1F,  16,   1, 1,   0,   0,    false, 28, "0"},
    {"Rl1_B", ParamKind::Combo, 0x90,  0,    1, 1,   0,   0,    false, 29, "0"},
    {"Rl2_B", ParamKind::Combo, 0x96,  0,    1, 1,   0,   0,    false, 30, "0"},
    {"Us1_E", ParamKind::Edit,  0xC4,  640,  1, 10,  0xFC, 0xFC, true, 31, "0.0"},
    {"Gs1_E", ParamKind::Edit,  0xCE,  1,    1, 10,  0xFC, 0xFC, true, 33, "0.0"},
    {"Us2_E", ParamKind::Edit,  0xC6,  2560, 1, 10,  0xFC, 0xFC, true, 35, "0.0"},
    {"Gs2_E", ParamKind::Edit,  0xD0,  1,    1, 10,  0xFC, 0xFC, true, 37, "0.0"},
}};
// clang-format on

// Row indices the operations name directly.
namespace row {
inline constexpr int Mod = 0, Sch = 1, rLn = 2, Brn = 3, Ufp = 4, Rng = 5, Dpl = 6, Dph = 7, Iol = 8, Ioh = 9, Ind = 10,
                     Ndt = 11, Out = 12, Sqr = 13, Ien = 14, Icd = 15, Mcj = 16, Adr = 17, Spd = 18, Psw = 19, Ptr = 20,
                     Lt = 21, Lp = 22, La = 23, Ld = 24, Rl1 = 25, Rl2 = 26, Us1 = 27, Gs1 = 28, Us2 = 29, Gs2 = 30;
}

// The row bound to the control of that name (rows compared in table order), or nothing.
std::optional<int> findRow(const ParamTable& rows, std::string_view controlName);

// The row that register k (0 - 38) belongs to; nothing for a register outside the image.
std::optional<int> registerToRow(int k);

// Register encoding: a narrow row is one signed 16-bit register; a wide row a signed 32-bit value,
// high word in the lower register.
int32_t decodeNarrow(uint16_t reg);
int32_t decodeWide(uint16_t high, uint16_t low);
uint16_t encodeNarrow(int32_t value);
std::array<uint16_t, 2> encodeWide(int32_t value);

using RegisterImage = std::array<uint16_t, kConfigRegisterCount>;

// One row's value in an image: read from its register(s), or put into them.
int32_t valueInImage(const RegisterImage& image, const ParamRow& row);
void putInImage(RegisterImage& image, const ParamRow& row, int32_t value);

// The registers 0 - 38 that the given values make, in register order.
RegisterImage registerImage(const ParamTable& rows, bool factory);
// Every row's value from the registers 0 - 38 (wide rows from their two registers).
void decodeRegisterImage(ParamTable& rows, const RegisterImage& image);
// The parameter table with the registers' values: what an image read or loaded holds.
ParamTable rowsOf(const RegisterImage& image);

// Lists whose first item stands for value 1 (averaging, the two brightness lists).
bool isOneBased(std::string_view controlName);

}  // namespace k54
