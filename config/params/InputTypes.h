#pragma once
// The instrument's 23 input types: measuring range (whole units of the type), unit and list text.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace k54 {

inline constexpr int kInputTypeCount = 23;

struct InputTypeInfo {
    std::string_view itemText;  // the text of the input-type list item
    int32_t rangeLow;           // kInputRangeLow
    int32_t rangeHigh;          // kInputRangeHigh
    std::string_view units;     // kInputUnits
};

// Indexed by InputType (the value of the input-type register).
inline constexpr std::array<InputTypeInfo, kInputTypeCount> kInputTypes{{
    {"Термосопротивление 50M  R100/R0=1.4260 (Cu65)", -50, 200, "°C"},
    {"Термосопротивление 53M  R100/R0=1.4260 (Cu63)", -50, 200, "°C"},
    {"Термосопротивление 100M  R100/R0=1.4260 (Cu61)", -50, 200, "°C"},
    {"Термосопротивление 50M  R100/R0=1.4280 (Cu85)", -50, 200, "°C"},
    {"Термосопротивление 53M  R100/R0=1.4280 (Cu83)", -50, 200, "°C"},
    {"Термосопротивление 100M  R100/R0=1.4280 (Cu81)", -50, 200, "°C"},
    {"Термосопротивление 50П  R100/R0=1.3910  (PtH5)", -50, 600, "°C"},
    {"Термосопротивление 100П  R100/R0=1.3910  (PtH1)", -50, 600, "°C"},
    {"Термосопротивление Pt100  R100/R0=1.3850  (Ptb1)", -50, 600, "°C"},
    {"Термопара ТЖК (J) (FC)", -50, 1100, "°C"},
    {"Термопара ХК (L) (HE)", -50, 600, "°C"},
    {"Термопара ХА (K) (HA)", -50, 1300, "°C"},
    {"Термопара ТПП (S) (PP)", 0, 1700, "°C"},
    {"Термопара ТПР (B) (Pr)", 300, 1800, "°C"},
    {"Термопара ТПВ (A-1) (BP)", 0, 2500, "°C"},
    {"Напряжение 0...20 мВ (U20)", 0, 20, "мВ"},
    {"Напряжение 0...50 мВ (U50)", 0, 50, "мВ"},
    {"Напряжение 0...100 мВ (U100)", 0, 100, "мВ"},
    {"Напряжение 0...1000 мВ (U1V)", 0, 1000, "мВ"},
    {"Входной ток 0...20 мА (I020)", 0, 20, "мА"},
    {"Входной ток 4...20 мА (I4020)", 4, 20, "мА"},
    {"Входной ток 0...5 мА (I05)", 0, 5, "мА"},
    {"Сопротивление 0...320 Ом (R)", 0, 320, "Ом"},
}};

// The type's table entry, or nothing for a value outside the table (an instrument may report one).
inline constexpr std::optional<InputTypeInfo> inputTypeInfo(int32_t type) {
    if (type < 0 || type >= kInputTypeCount) return std::nullopt;
    return kInputTypes[static_cast<std::size_t>(type)];
}

}  // namespace k54
