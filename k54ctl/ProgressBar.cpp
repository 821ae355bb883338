#include "k54ctl/ProgressBar.h"

#include <algorithm>

namespace k54::ctl {
namespace {

constexpr int kBarWidth = 30;
constexpr std::string_view kEraseLine = "\r\033[K";

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

void ProgressBar::show(int done, int total, std::string_view note) {
    if (!console_.outIsTerminal) return;
    console_.out << kEraseLine << progressLine(title_, done, total, note) << std::flush;
    shown_ = true;
}

void ProgressBar::clear() {
    if (!shown_) return;
    console_.out << kEraseLine << std::flush;
    shown_ = false;
}

}  // namespace k54::ctl
