#include "k54ctl/Assignment.h"

#include <algorithm>

#include "config/files/ConfigChecks.h"
#include "config/files/ParamKeys.h"
#include "config/files/ParamValueText.h"
#include "config/params/ListItems.h"
#include "config/rules/EntryRules.h"
#include "config/rules/NumberText.h"

namespace k54::ctl {
namespace {

std::string itemsText(int row) {
    const std::vector<std::string_view> items = listItems(row);
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        ParamRow probe = kParamTemplate.at(static_cast<std::size_t>(row));
        const int32_t value = valueForListIndex(probe, static_cast<int>(i));
        text += (text.empty() ? "" : ", ") + std::to_string(value) + " «" + std::string(items[i]) + "»";
    }
    return text;
}

std::string refusal(std::string_view key, std::string_view value, const std::string& why) {
    return std::string(key) + "=" + std::string(value) + ": " + why;
}

}  // namespace

std::variant<Assignment, std::string> parseAssignment(std::string_view text) {
    const auto equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return "'" + std::string(text) + "' is no KEY=VALUE (k54ctl read lists the keys)";
    const std::string_view key = text.substr(0, equals), value = text.substr(equals + 1);
    const auto row = rowForKey(key);
    if (!row) return "unknown key '" + std::string(key) + "' (k54ctl read lists the keys)";
    if (isPasswordRow(*row)) return "the service password is set with k54ctl password";

    Assignment assignment{*row, std::string(value), std::nullopt, 0};
    if (isValueEntryRow(*row)) {
        std::string number(value);
        std::ranges::replace(number, ',', '.');
        assignment.number = parseDecimal(number, '.');
        if (!assignment.number) return refusal(key, value, "not a number");
        return assignment;
    }
    const ValueReading reading = readValueOrItemText(*row, value);
    if (reading.error == ValueError::NoSuchItem ||
        (reading.error == ValueError::NotANumber && !listItems(*row).empty()))
        return refusal(key, value, "the list has no such item; its items are " + itemsText(*row));
    if (reading.error) return refusal(key, value, "not a whole number the instrument can hold");
    if (*row == row::Adr && (reading.raw < kLowestAddress || reading.raw > kHighestAddress))
        return refusal(
            key, value,
            "the address must be " + std::to_string(kLowestAddress) + " ... " + std::to_string(kHighestAddress));
    assignment.raw = reading.raw;
    return assignment;
}

}  // namespace k54::ctl
