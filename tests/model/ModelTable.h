#pragma once
// The model's own description of the instrument's parameters and of the window's focus order, written
// down from the instrument's documentation (not taken from the configurator): which registers each
// parameter holds, how its value is shown, its factory value, and where its control sits.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k54::model {

inline constexpr int kRows = 31;
inline constexpr int kRegisters = 39;
inline constexpr int kPages = 6;
inline constexpr int kNoPage = -1;

struct ModelRow {
    std::string_view name;
    int reg;          // first register
    bool wide;        // two registers, high word first
    int scale;        // 1, 10 or 100
    int decimals;     // digits after the point an edit shows
    int32_t factory;  // factory value
    int items;        // list rows: item count; 0 for edits
    bool oneBased;    // the list's first item stands for 1
    int page;         // page index, or kNoPage for the connection group
};

const std::array<ModelRow, kRows>& modelRows();
const ModelRow& modelRow(int row);
std::optional<int> modelRowOf(std::string_view control);

// The ten numeric fields the operator types into, and the lists on the parameter pages.
const std::vector<std::string_view>& numericFields();
const std::vector<std::string_view>& pageLists();
bool isNumericField(std::string_view control);
// A control whose focus-in and focus-out reach the configurator (the ten fields and the password field).
bool hasFocusHandlers(std::string_view control);

// The registers a row holds.
std::vector<int> registersOf(int row);
using Image = std::array<uint16_t, kRegisters>;
Image factoryImage();
// A row's value from the image, and the image with a row's value in it.
int32_t rowValue(const Image& image, int row);
void putRowValue(Image& image, int row, int32_t value);

// What an edit shows for a raw value: raw / scale written with `decimals` digits after the separator
// (computed exactly from the integer).
std::string decimalText(int64_t raw, int scale, int decimals, char separator);
// The list item a value shows (-1: none).
int itemForValue(int row, int32_t value);

// Input types: the panels they show and the unit of the measured value.
bool isThermocouple(int32_t type);
bool isResistanceInput(int32_t type);
std::string_view unitOf(int32_t type);

// The window's focus chain in Qt's order (the order the controls are created), each with its page.
struct ChainEntry {
    std::string_view name;
    int page;
};
const std::vector<ChainEntry>& focusChain();
int pageOf(std::string_view control);

}  // namespace k54::model
