#pragma once
// The parameters' stable keys: the names under which configuration files and the command line know
// them. A key is the instrument's front-panel mnemonic where the window's label shows one, otherwise a
// short descriptive word. Each key has the window's label and the unit its value is given in.
#include <array>
#include <optional>
#include <string_view>

#include "config/params/ParamTable.h"

namespace k54 {

// Where a parameter's unit comes from.
enum class UnitSource {
    None,       // a list, a count or an address
    Fixed,      // always the same unit (Ом, мА)
    InputType,  // the input type's unit (the display range)
    Reference,  // the unit of the range the setpoints refer to: the input type's in modes 0 and 1,
                // none (conventional units of the scaled range) in modes 2 and 3
};

struct ParamKey {
    std::string_view key;
    std::string_view label;  // the window's label of the parameter
    UnitSource unitSource;
    std::string_view fixedUnit = {};
};

// Indexed by row (0 - 30, register order).
// clang-format off
inline constexpr std::array<ParamKey, kParamCount> kParamKeys{{
    {"dAt",             "Тип датчика (dAt)",                      UnitSource::None},
    {"scheme",          "Схема подключения",                      UnitSource::None},
    {"line_resistance", "Компенсирующее сопротивление",           UnitSource::Fixed, "Ом"},
    {"CutE",            "Датчик обрыва (CutE)",                   UnitSource::None},
    {"UF",              "Точность индикации (UF)",                UnitSource::None},
    {"C_HS",            "Диапазон преобразования (C_HS)",         UnitSource::None},
    {"DpLo",            "Минимум диапазона (DpLo)",               UnitSource::InputType},
    {"DpHi",            "Максимум диапазона (DpHi)",              UnitSource::InputType},
    {"IoLo",            "Минимум диапазона (IoLo)",               UnitSource::None},
    {"IoHi",            "Максимум диапазона (IoHi)",              UnitSource::None},
    {"Ind",             "Цифровой индикатор (Ind)",               UnitSource::None},
    {"ndt",             "Усреднение (ndt)",                       UnitSource::None},
    {"IOdP",            "Режим токового выхода (IOdP)",           UnitSource::None},
    {"Sqrt",            "Корнеизвлечение (Sqrt)",                 UnitSource::None},
    {"I_En",            "Фиксированный режим (I_En)",             UnitSource::None},
    {"Icod",            "Значение (Icod)",                        UnitSource::Fixed, "мА"},
    {"cold_junction",   "Компенсация температуры холодного спая", UnitSource::None},
    {"address",         "Адрес",                                  UnitSource::None},
    {"speed",           "Скорость",                               UnitSource::None},
    {"password",        "Установка пароля",                       UnitSource::None},
    {"protocol",        "Протокол  обмена",                       UnitSource::None},
    {"Lt",              "Режим линейного индикатора (Lt)",        UnitSource::None},
    {"LP",              "Вид линейного индикатора (LP)",          UnitSource::None},
    {"LA",              "Яркость линейного индикатора (LA)",      UnitSource::None},
    {"Ld",              "Яркость цифрового индикатора (Ld)",      UnitSource::None},
    {"rL1",             "Канал 1 (rL1)",                          UnitSource::None},
    {"rL2",             "Канал 2 (rL2)",                          UnitSource::None},
    {"US_1",            "Уставка 1 (US_1)",                       UnitSource::Reference},
    {"GS_1",            "Гистерезис 1 (GS_1)",                    UnitSource::Reference},
    {"US_2",            "Уставка 2 (US_2)",                       UnitSource::Reference},
    {"GS_2",            "Гистерезис 2 (GS_2)",                    UnitSource::Reference},
}};
// clang-format on

// The row of a key (exact spelling), or nothing.
std::optional<int> rowForKey(std::string_view key);
// The key of a row (0 - 30).
std::string_view keyOfRow(int rowIndex);

// The unit a row's value is given in for the configuration the rows hold; empty when it has none.
std::string_view parameterUnit(const ParamTable& rows, int rowIndex);

// The rows that decide how the instrument is reached: its address, speed and protocol. They are
// saved, but restored only on request.
bool isLinkRow(int rowIndex);

// The service password's row: never saved, never restored.
inline constexpr bool isPasswordRow(int rowIndex) {
    return rowIndex == row::Psw;
}

}  // namespace k54
