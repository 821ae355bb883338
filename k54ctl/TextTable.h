#pragma once
// Rows of text cells written as aligned columns (two blanks apart), for a terminal: widths count
// characters, not bytes, so that the Russian labels line up.
#include <ostream>
#include <string>
#include <vector>

namespace k54::ctl {

// The characters of a UTF-8 text (its code points).
std::size_t displayWidth(const std::string& text);

class TextTable {
public:
    void addRow(std::vector<std::string> cells);
    // Every row, each cell but the last padded to its column's width; no blanks at the end of a line.
    void write(std::ostream& out) const;
    bool empty() const { return rows_.empty(); }

private:
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace k54::ctl
