#pragma once
// The trend window: the live value against time (Qt Charts), over a chosen span, with the input
// range's limits as a faint band, the span's current, minimum, maximum and mean, and the CSV recording.
// A thin view over the trend (trend/Trend.h), which lives for the whole run; it redraws when told.
#include <QWidget>
#include <vector>

#include "trend/Trend.h"

class QAreaSeries;
class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QPushButton;
class QValueAxis;

namespace k54 {

inline constexpr const char* kTrendWindowName = "TrendWindow";

class TrendWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TrendWindow(Trend& trend, QWidget* parent = nullptr);
    ~TrendWindow() override;
    TrendWindow(const TrendWindow&) = delete;
    TrendWindow& operator=(const TrendWindow&) = delete;

    // Draws the trend as it stands.
    void refresh();
    // Puts the window where the operator had it last (kept in the program's settings when it is closed
    // or the program ends); false when there is no such place.
    bool restorePlace();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TrendSpan chosenSpan() const;
    void drawValues(const std::vector<TrendPoint>& points);
    void scaleAxes(const TrendInterval& interval, const std::vector<TrendPoint>& points);
    void drawBand();
    void showStatistics(const TrendInterval& interval);
    void showStates();
    void recordClicked();
    QString number(double value) const;
    void rememberPlace();

    Trend& trend_;
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    QDateTimeAxis* timeAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
    QLineSeries* bandLow_ = nullptr;
    QLineSeries* bandHigh_ = nullptr;
    QAreaSeries* band_ = nullptr;
    std::vector<QLineSeries*> segments_;  // one line per run of polls without a gap
    QComboBox* span_ = nullptr;
    QLabel* measuringState_ = nullptr;
    QLabel* current_ = nullptr;
    QLabel* minimum_ = nullptr;
    QLabel* maximum_ = nullptr;
    QLabel* mean_ = nullptr;
    QPushButton* record_ = nullptr;
    QLabel* recordState_ = nullptr;
};

}  // namespace k54
