#include "k54ctl/ProgressBar.h"

#include <algorithm>

#include "k54ctl/TextTable.h"

namespace k54::ctl {
namespace {

constexpr int kBarWidth = 30;

}  // namespace

std::string progressLine(std::string_view title, int done, int total, std::string_view note) {
    const int percent = total > 0 ? std::clamp(done * 100 / total, 0, 100) : 100;
    const int filled = percent * kBarWidth / 100;
    std::string line(title);
    line += " [" + std::string(static_cast<std::size_t>(filled), '#') +
            std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
    const std::string number = std::to_string(percent);
    line += std::string(3 - number.size(), ' ') + number + "%";
    if (!note.empty()) line += "  " + std::string(note);
    return line;
}

ProgressBar::ProgressBar(Console& console, std::string title) : console_(console), title_(std::move(title)) {}

ProgressBar::~ProgressBar() {
    clear();
}

// The bar is drawn over itself after a carriage return and erased with blanks, which every terminal
// (a Windows console too) understands without escape sequences.
void ProgressBar::show(int done, int total, std::string_view note) {
    if (!console_.outIsTerminal) return;
    const std::string line = progressLine(title_, done, total, note);
    const std::size_t width = displayWidth(line);
    console_.out << '\r' << line << std::string(shownWidth_ > width ? shownWidth_ - width : 0, ' ') << std::flush;
    shownWidth_ = std::max(shownWidth_, width);
}

void ProgressBar::clear() {
    if (shownWidth_ == 0) return;
    console_.out << '\r' << std::string(shownWidth_, ' ') << '\r' << std::flush;
    shownWidth_ = 0;
}

}  // namespace k54::ctl
