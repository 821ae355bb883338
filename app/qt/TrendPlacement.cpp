#include "app/qt/TrendPlacement.h"

#include <algorithm>

namespace k54 {
namespace {

constexpr int kGap = 8;  // between the two windows' frames

QRect trendAt(int left, int width, const QRect& mainFrame, const QRect& available, QSize preferred) {
    const int height = std::min(preferred.height(), available.height());
    const int top = std::clamp(mainFrame.top(), available.top(), available.bottom() + 1 - height);
    return {left, top, width, height};
}

}  // namespace

TrendPlacement placeTrendWindow(const QRect& mainFrame, const QRect& available, QSize preferred, QSize minimum,
                                int keptWidth) {
    const int roomRight = available.right() - mainFrame.right() - kGap;
    const int roomLeft = mainFrame.left() - available.left() - kGap;
    if (std::max(roomRight, roomLeft) >= minimum.width()) {
        if (roomRight >= roomLeft) {
            const int width = std::min(preferred.width(), roomRight);
            return {trendAt(mainFrame.right() + 1 + kGap, width, mainFrame, available, preferred), mainFrame.topLeft()};
        }
        const int width = std::min(preferred.width(), roomLeft);
        return {trendAt(mainFrame.left() - kGap - width, width, mainFrame, available, preferred), mainFrame.topLeft()};
    }
    // Move the main window left, as little as will do, or as far as the screen lets it.
    const int mainLeft = std::max(available.left(), std::min(mainFrame.left(), available.right() + 1 - minimum.width() -
                                                                                   kGap - mainFrame.width()));
    const QRect movedMain(QPoint(mainLeft, mainFrame.top()), mainFrame.size());
    const int besideLeft = movedMain.right() + 1 + kGap;
    if (available.right() + 1 - besideLeft >= minimum.width())
        return {trendAt(besideLeft, minimum.width(), movedMain, available, preferred), movedMain.topLeft()};
    // Too narrow for both: over the main window's right part only, at the trend's minimum width or more.
    const int left = std::max(movedMain.left() + keptWidth, available.right() + 1 - preferred.width());
    const int width = std::max(minimum.width(), available.right() + 1 - left);
    return {trendAt(available.right() + 1 - width, width, movedMain, available, preferred), movedMain.topLeft()};
}

}  // namespace k54
