#include "config/params/ParamTable.h"

namespace k54 {

std::optional<int> registerToRow(int k) {
    if (k < 0 || k >= kConfigRegisterCount) return std::nullopt;
    if (k <= 5) return k;
    if (k <= 13) return 6 + (k - 6) / 2;
    if (k <= 30) return k - 4;
    return 27 + (k - 31) / 2;
}

int32_t decodeNarrow(uint16_t reg) {
    return static_cast<int16_t>(reg);
}

int32_t decodeWide(uint16_t high, uint16_t low) {
    return static_cast<int32_t>((static_cast<uint32_t>(high) << 16) | low);
}

uint16_t encodeNarrow(int32_t value) {
    return static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFFu);
}

std::array<uint16_t, 2> encodeWide(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    return {static_cast<uint16_t>(bits >> 16), static_cast<uint16_t>(bits & 0xFFFFu)};
}

std::optional<int> findRow(const ParamTable& rows, std::string_view controlName) {
    for (int i = 0; i < kParamCount; ++i)
        if (rows.at(static_cast<std::size_t>(i)).controlName == controlName) return i;
    return std::nullopt;
}

int32_t valueInImage(const RegisterImage& image, const ParamRow& row) {
    return row.wide ? decodeWide(image.at(row.reg), image.at(row.reg + 1u)) : decodeNarrow(image.at(row.reg));
}

void putInImage(RegisterImage& image, const ParamRow& row, int32_t value) {
    if (row.wide) {
        const auto words = encodeWide(value);
        image.at(row.reg) = words[0];
        image.at(row.reg + 1u) = words[1];
    } else {
        image.at(row.reg) = encodeNarrow(value);
    }
}

RegisterImage registerImage(const ParamTable& rows, bool factory) {
    RegisterImage image{};
    for (const ParamRow& r : rows) putInImage(image, r, factory ? r.factoryValue : r.value);
    return image;
}

void decodeRegisterImage(ParamTable& rows, const RegisterImage& image) {
    for (ParamRow& r : rows) r.value = valueInImage(image, r);
}

ParamTable rowsOf(const RegisterImage& image) {
    ParamTable rows = kParamTemplate;
    decodeRegisterImage(rows, image);
    return rows;
}

bool isOneBased(std::string_view controlName) {
    return controlName == "Ndt_B" || controlName == "La__B" || controlName == "Ld__B";
}

}  // namespace k54
