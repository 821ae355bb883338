#pragma once
// A progress bar for the long commands (scan, load, factory), drawn on one line of standard output, and
// only when that is a terminal: a file or a pipe gets none of it.
#include <cstddef>
#include <string>
#include <string_view>

#include "k54ctl/Console.h"

namespace k54::ctl {

class ProgressBar {
public:
    ProgressBar(Console& console, std::string title);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Draws `done` of `total` with a note, e.g. "9600 baud, address 120".
    void show(int done, int total, std::string_view note = {});
    // Erases the bar, so that other output can take the line; the next show draws it again.
    void clear();

private:
    Console& console_;
    std::string title_;
    std::size_t shownWidth_ = 0;  // the columns the bar covers on the terminal; 0 when not shown
};

// The bar's line for `done` of `total`: "title [#####...............]  25%  note".
std::string progressLine(std::string_view title, int done, int total, std::string_view note);

}  // namespace k54::ctl
