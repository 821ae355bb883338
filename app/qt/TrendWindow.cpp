#include "app/qt/TrendWindow.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace k54 {
namespace {

constexpr const char* kRecordText = "Запись…";
constexpr const char* kStopText = "Стоп";
const QColor kValueColour(0, 90, 170);
const QColor kBandColour(0, 128, 0, 36);  // faint: the values stay readable across it
const QString kPlaceKey = QStringLiteral("trend/geometry");

QSettings programSettings() {
    return QSettings(QSettings::UserScope, QStringLiteral("k54"), QStringLiteral("k54"));
}

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

qint64 msecs(std::chrono::system_clock::time_point time) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

QLabel* statisticLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

TrendWindow::TrendWindow(Trend& trend, QWidget* parent) : QWidget(parent, Qt::Window), trend_(trend) {
    setObjectName(QString::fromLatin1(kTrendWindowName));
    setWindowTitle(QStringLiteral("График измерения"));
    resize(720, 440);

    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setMargins(QMargins(4, 4, 4, 4));
    timeAxis_ = new QDateTimeAxis;
    valueAxis_ = new QValueAxis;
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(valueAxis_, Qt::AlignLeft);
    bandLow_ = new QLineSeries;
    bandHigh_ = new QLineSeries;
    band_ = new QAreaSeries(bandHigh_, bandLow_);
    band_->setObjectName(QStringLiteral("TrendBand"));
    band_->setBrush(kBandColour);
    band_->setPen(Qt::NoPen);
    chart_->addSeries(band_);
    band_->attachAxis(timeAxis_);
    band_->attachAxis(valueAxis_);
    view_ = new QChartView(chart_, this);
    view_->setObjectName(QStringLiteral("TrendChart"));
    view_->setRenderHint(QPainter::Antialiasing);
    // The window's least size is the chart's and what the texts around it need: a number is never cut.
    view_->setMinimumSize(400, 180);

    span_ = new QComboBox(this);
    span_->setObjectName(QStringLiteral("TrendSpan"));
    for (const TrendSpanChoice& choice : kTrendSpans) span_->addItem(qs(choice.text));
    connect(span_, &QComboBox::activated, this, &TrendWindow::refresh);
    measuringState_ = statisticLabel("TrendState", this);
    QFont bold = measuringState_->font();
    bold.setBold(true);
    measuringState_->setFont(bold);
    record_ = new QPushButton(QString::fromUtf8(kRecordText), this);
    record_->setObjectName(QStringLiteral("TrendRecord"));
    record_->setAutoDefault(false);
    connect(record_, &QPushButton::clicked, this, &TrendWindow::recordClicked);
    recordState_ = statisticLabel("TrendRecordState", this);

    current_ = statisticLabel("TrendCurrent", this);
    minimum_ = statisticLabel("TrendMinimum", this);
    maximum_ = statisticLabel("TrendMaximum", this);
    mean_ = statisticLabel("TrendMean", this);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Интервал"), this));
    controls->addWidget(span_);
    controls->addSpacing(12);
    controls->addWidget(measuringState_);
    controls->addStretch(1);
    controls->addWidget(recordState_);
    controls->addWidget(record_);
    // Two by two, so that the numbers keep their whole width also in a narrow window.
    auto* statistics = new QGridLayout;
    statistics->addWidget(current_, 0, 0);
    statistics->addWidget(minimum_, 0, 1);
    statistics->addWidget(mean_, 1, 0);
    statistics->addWidget(maximum_, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(view_, 1);
    layout->addLayout(statistics);

    // A closed window draws nothing; it catches up when shown again.
    trend_.onChange([this] {
        if (isVisible()) refresh();
    });
}

void TrendWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

TrendWindow::~TrendWindow() {
    if (isVisible()) rememberPlace();
    trend_.onChange(nullptr);
}

// A recording the operator could no longer see or stop ends with its window.
void TrendWindow::closeEvent(QCloseEvent* event) {
    if (trend_.recording()) trend_.stopRecording();
    QWidget::closeEvent(event);
}

void TrendWindow::hideEvent(QHideEvent* event) {
    rememberPlace();
    QWidget::hideEvent(event);
}

void TrendWindow::rememberPlace() {
    programSettings().setValue(kPlaceKey, saveGeometry());
}

bool TrendWindow::restorePlace() {
    const QByteArray place = programSettings().value(kPlaceKey).toByteArray();
    return !place.isEmpty() && restoreGeometry(place);
}

TrendSpan TrendWindow::chosenSpan() const {
    const int chosen = std::clamp(span_->currentIndex(), 0, static_cast<int>(kTrendSpans.size()) - 1);
    return kTrendSpans.at(static_cast<std::size_t>(chosen)).span;
}

void TrendWindow::refresh() {
    const TrendInterval interval = trend_.interval(chosenSpan());
    // About two points per pixel of the plot: more would not show, and the whole day stays quick to draw.
    const auto maxPoints = static_cast<std::size_t>(std::max(400, 2 * view_->width()));
    const std::vector<TrendPoint> points = pointsToDraw(trend_.buffer(), interval, maxPoints);
    drawValues(points);
    scaleAxes(interval, points);
    drawBand();
    showStatistics(interval);
    showStates();
}

void TrendWindow::drawValues(const std::vector<TrendPoint>& points) {
    std::vector<QList<QPointF>> runs;
    for (const TrendPoint& p : points) {
        if (runs.empty() || p.afterGap) runs.emplace_back();
        runs.back().append(QPointF(static_cast<qreal>(msecs(p.time)), p.value));
    }
    while (segments_.size() < runs.size()) {
        auto* line = new QLineSeries;
        line->setObjectName(QStringLiteral("TrendValues"));
        line->setPen(QPen(kValueColour, 1.5));
        chart_->addSeries(line);
        line->attachAxis(timeAxis_);
        line->attachAxis(valueAxis_);
        segments_.push_back(line);
    }
    for (std::size_t i = 0; i < segments_.size(); ++i)
        segments_[i]->replace(i < runs.size() ? runs[i] : QList<QPointF>{});
}

void TrendWindow::scaleAxes(const TrendInterval& interval, const std::vector<TrendPoint>& points) {
    qint64 from = msecs(interval.from), to = msecs(interval.to);
    if (to <= from) {
        from -= 1000;
        to += 1000;
    }
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(to));
    timeAxis_->setFormat(to - from > 24LL * 3600 * 1000 ? QStringLiteral("dd.MM HH:mm") : QStringLiteral("HH:mm:ss"));

    const auto& shown = trend_.lastShown();
    valueAxis_->setTitleText(shown ? qs(shown->unit) : QString());
    if (points.empty()) {
        const auto band = shown ? shown->band : std::nullopt;
        valueAxis_->setRange(band ? band->low : 0.0, band ? band->high : 1.0);
        return;
    }
    const auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                                 [](const auto& a, const auto& b) { return a.value < b.value; });
    // The values fill the plot; a steady value still gets a little room at its digits' resolution.
    const double resolution = std::pow(10.0, -(shown ? shown->decimals : 0));
    const double margin = std::max((high->value - low->value) * 0.05, resolution);
    valueAxis_->setRange(low->value - margin, high->value + margin);
    valueAxis_->applyNiceNumbers();
}

void TrendWindow::drawBand() {
    const auto& shown = trend_.lastShown();
    const auto band = shown ? shown->band : std::nullopt;
    band_->setVisible(band.has_value());
    if (!band) return;
    // Across the whole time axis; the plot cuts off what lies above or below the values' scale.
    const auto from = static_cast<qreal>(timeAxis_->min().toMSecsSinceEpoch());
    const auto to = static_cast<qreal>(timeAxis_->max().toMSecsSinceEpoch());
    bandLow_->replace(QList<QPointF>{{from, band->low}, {to, band->low}});
    bandHigh_->replace(QList<QPointF>{{from, band->high}, {to, band->high}});
}

QString TrendWindow::number(double value) const {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const auto& shown = trend_.lastShown();
    return locale.toString(value, 'f', shown ? shown->decimals : 3);
}

void TrendWindow::showStatistics(const TrendInterval& interval) {
    const auto statistics = statisticsOf(trend_.buffer(), interval);
    const auto& shown = trend_.lastShown();
    const QString unit = shown ? QLatin1Char(' ') + qs(shown->unit) : QString();
    const auto text = [&](const char* caption, double TrendStatistics::*field) {
        const QString value = statistics ? number((*statistics).*field) + unit : QStringLiteral("—");
        return QString::fromUtf8(caption) + QStringLiteral(": ") + value;
    };
    current_->setText(text("Текущее", &TrendStatistics::current));
    minimum_->setText(text("Минимум", &TrendStatistics::minimum));
    maximum_->setText(text("Максимум", &TrendStatistics::maximum));
    mean_->setText(text("Среднее", &TrendStatistics::mean));
}

void TrendWindow::showStates() {
    measuringState_->setText(trend_.measuring() ? QString() : QStringLiteral("Измерение выключено"));
    record_->setText(QString::fromUtf8(trend_.recording() ? kStopText : kRecordText));
    if (trend_.recording())
        recordState_->setText(QStringLiteral("Запись: строк %1").arg(trend_.recordedRows()));
    else
        recordState_->setText(qs(trend_.recordingError()));
}

void TrendWindow::recordClicked() {
    if (trend_.recording()) {
        trend_.stopRecording();
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    const QString suggested =
        QStringLiteral("k54-%1.csv").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QFileDialog dialog(this, QStringLiteral("Запись измерения"), folder, QStringLiteral("CSV (*.csv);;Все файлы (*)"));
    dialog.setObjectName(QStringLiteral("TrendRecordDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(QDir(folder).filePath(suggested));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    // A file that cannot be made is said beside the button (the trend's change shows it).
    trend_.startRecording(std::filesystem::path(dialog.selectedFiles().constFirst().toStdU16String()));
}

}  // namespace k54
