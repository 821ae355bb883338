#pragma once
// Where the trend window opens the first time: beside the main window, so that «Измерение», the value
// and the clock stay in sight. Rectangles are outer (frame) geometries in screen coordinates.
#include <QRect>

namespace k54 {

struct TrendPlacement {
    QRect trend;        // the trend window's frame
    QPoint mainWindow;  // the main window's frame's top left: where it is, or where it moves to make room
};

// On the side of the main window with the more room when the trend fits there (its preferred size, or
// as much of it as there is room for, down to its minimum); otherwise the main window moves aside just
// enough for the minimum beside it; on a screen too narrow for both, the trend lies at the screen's
// right edge, covering no more of the main window than its part right of `keptWidth`.
TrendPlacement placeTrendWindow(const QRect& mainFrame, const QRect& available, QSize preferred, QSize minimum,
                                int keptWidth);

}  // namespace k54
