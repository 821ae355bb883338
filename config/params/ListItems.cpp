#include "config/params/ListItems.h"

#include <array>
#include <span>

#include "config/params/InputTypes.h"

namespace k54 {
namespace {

constexpr std::array<std::string_view, 4> kSchemes{"2-проводная", "2-проводная с компенсацией", "3-проводная",
                                                   "4-проводная"};
constexpr std::array<std::string_view, 2> kOffOn{"Выключен", "Включен"};
constexpr std::array<std::string_view, 2> kOffOnNeuter{"Выключено", "Включено"};
constexpr std::array<std::string_view, 4> kPrecisions{"0", "1", "2", "3"};
constexpr std::array<std::string_view, 4> kRangeModes{"Входной полный", "Входной заданный", "Условный полный",
                                                      "Условный заданный"};
constexpr std::array<std::string_view, 4> kIndicatorShows{"Измерение", "Уставка 1", "Уставка 2", "Температура"};
constexpr std::array<std::string_view, 30> kOneToThirty{"1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10",
                                                        "11", "12", "13", "14", "15", "16", "17", "18", "19", "20",
                                                        "21", "22", "23", "24", "25", "26", "27", "28", "29", "30"};
constexpr std::array<std::string_view, 4> kCurrentOutputs{"Отключен", "0 .. 5 мА", "0 .. 20 мА", "4 .. 20 мА"};
constexpr std::array<std::string_view, 7> kSpeeds{"2400", "4800", "9600", "19200", "38400", "57600", "115200"};
constexpr std::array<std::string_view, 1> kProtocols{"MODBUS"};
constexpr std::array<std::string_view, 9> kBarModes{"АНА", "АПН", "НПА", "ПНА", "АН", "НА", "Н1", "Н2", "Н3"};
constexpr std::array<std::string_view, 2> kBarKinds{"Риска", "Столбик"};
constexpr std::array<std::string_view, 3> kRelays{"Выключено", "Прямая", "Инверсная"};

std::vector<std::string_view> inputTypeItems() {
    std::vector<std::string_view> items;
    for (const InputTypeInfo& type : kInputTypes) items.push_back(type.itemText);
    return items;
}

std::vector<std::string_view> items(std::span<const std::string_view> texts) {
    return {texts.begin(), texts.end()};
}

}  // namespace

std::vector<std::string_view> listItems(int rowIndex) {
    switch (rowIndex) {
        case row::Mod:
            return inputTypeItems();
        case row::Sch:
            return items(kSchemes);
        case row::Brn:
        case row::Mcj:
            return items(kOffOn);
        case row::Ufp:
            return items(kPrecisions);
        case row::Rng:
            return items(kRangeModes);
        case row::Ind:
            return items(kIndicatorShows);
        case row::Ndt:
            return items(kOneToThirty);
        case row::Out:
            return items(kCurrentOutputs);
        case row::Sqr:
        case row::Ien:
            return items(kOffOnNeuter);
        case row::Spd:
            return items(kSpeeds);
        case row::Ptr:
            return items(kProtocols);
        case row::Lt:
            return items(kBarModes);
        case row::Lp:
            return items(kBarKinds);
        case row::La:
        case row::Ld:
            return items(std::span(kOneToThirty).first(16));
        case row::Rl1:
        case row::Rl2:
            return items(kRelays);
        default:
            return {};
    }
}

int listIndexForValue(const ParamRow& row) {
    const int64_t index = isOneBased(row.controlName) ? int64_t{row.value} - 1 : row.value;
    return index < 0 || index > INT32_MAX ? -1 : static_cast<int>(index);
}

int32_t valueForListIndex(const ParamRow& row, int index) {
    return isOneBased(row.controlName) ? index + 1 : index;
}

std::optional<std::string_view> listItemText(int rowIndex, int32_t value) {
    const std::vector<std::string_view> texts = listItems(rowIndex);
    if (texts.empty()) return std::nullopt;
    ParamRow row = kParamTemplate.at(static_cast<std::size_t>(rowIndex));
    row.value = value;
    const int index = listIndexForValue(row);
    if (index < 0 || static_cast<std::size_t>(index) >= texts.size()) return std::nullopt;
    return texts[static_cast<std::size_t>(index)];
}

}  // namespace k54
