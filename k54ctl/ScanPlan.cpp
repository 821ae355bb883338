#include "k54ctl/ScanPlan.h"

#include <algorithm>
#include <charconv>

#include "config/files/ConfigChecks.h"

namespace k54::ctl {
namespace {

std::optional<int> addressNumber(std::string_view text) {
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (number < kLowestAddress || number > kHighestAddress) return std::nullopt;
    return number;
}

}  // namespace

std::optional<AddressRange> parseAddressRange(std::string_view text) {
    const auto dash = text.find('-');
    const auto first = addressNumber(text.substr(0, dash));
    const auto last = dash == std::string_view::npos ? first : addressNumber(text.substr(dash + 1));
    if (!first || !last || *first > *last) return std::nullopt;
    return AddressRange{*first, *last};
}

std::vector<Probe> scanPlan(const AddressRange& addresses, const std::vector<uint32_t>& speeds) {
    std::vector<uint32_t> order = speeds;
    const auto factory = std::ranges::find(order, kFactoryBaud);
    if (factory != order.end()) std::rotate(order.begin(), factory, factory + 1);

    std::vector<Probe> plan;
    const bool factoryAddress = addresses.first <= kFactoryAddress && kFactoryAddress <= addresses.last;
    if (factoryAddress)
        for (const uint32_t baud : order) plan.push_back({kFactoryAddress, baud});
    for (const uint32_t baud : order)
        for (int address = addresses.first; address <= addresses.last; ++address)
            if (address != kFactoryAddress || !factoryAddress) plan.push_back({address, baud});
    return plan;
}

}  // namespace k54::ctl
