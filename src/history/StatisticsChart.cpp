#include "history/StatisticsChart.h"

#include <QCategoryAxis>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace vistorel {
namespace {

const QColor kAccentColour(0xFF, 0xA1, 0x4D);
const QColor kTextColour(0xF2, 0xEE, 0xE9);
const QColor kAverageColour(0x7F, 0xC8, 0xF8);
// The room a date label ("05.03") takes on the time axis, with a gap.
constexpr int kLabelWidth = 52;

// As few decimals as the ticks need: a step of 0.2 with one, of 25 with none.
int DecimalsOf(double step) {
    int decimals = 0;
    for (double scaled = step; decimals < 4 && std::abs(scaled - std::round(scaled)) > 1e-6 * std::max(1.0, scaled);
         scaled *= 10) {
        ++decimals;
    }
    return decimals;
}

}  // namespace

StatisticsChart::StatisticsChart()
    : Points(new QLineSeries), Average(new QLineSeries), TimeAxis(new QCategoryAxis), ValueAxis(new QValueAxis) {
    setTheme(QChart::ChartThemeDark);
    setBackgroundBrush(QColor(0x0E, 0x0E, 0x0E));
    setBackgroundPen(QPen(QColor(0x9A, 0x5E, 0x2A)));
    setBackgroundRoundness(0);
    setMargins(QMargins(4, 4, 4, 4));
    setTitleBrush(kAccentColour);
    // Figures with a decimal comma, and no gaps in the thousands.
    QLocale russian(QLocale::Russian, QLocale::Russia);
    russian.setNumberOptions(QLocale::OmitGroupSeparator);
    setLocale(russian);
    setLocalizeNumbers(true);
    legend()->setAlignment(Qt::AlignBottom);
    legend()->setLabelColor(kTextColour);
    Points->setPen(QPen(kAccentColour, 2));
    Points->setPointsVisible(true);
    QPen dashed(kAverageColour, 2);
    dashed.setStyle(Qt::DashLine);
    Average->setPen(dashed);
    Average->setName(QStringLiteral("Среднее за %1 дней").arg(kMovingAverageDays));
    addSeries(Points);
    addSeries(Average);
    TimeAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    ValueAxis->setLabelFormat(QStringLiteral("%.0f"));
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(TimeAxis), static_cast<QAbstractAxis*>(ValueAxis)}) {
        axis->setLabelsBrush(kTextColour);
        axis->setGridLineColor(QColor(0x2A, 0x2A, 0x2A));
        axis->setLinePenColor(QColor(0x9A, 0x5E, 0x2A));
    }
    addAxis(TimeAxis, Qt::AlignBottom);
    addAxis(ValueAxis, Qt::AlignLeft);
    for (QLineSeries* series : {Points, Average}) {
        series->attachAxis(TimeAxis);
        series->attachAxis(ValueAxis);
    }
}

void StatisticsChart::Fill(ResultKind kind, const std::vector<ResultRow>& rows, StatisticsView view, int plotWidth) {
    QList<QPointF> points;
    QList<QPointF> average;
    double high = 1;
    if (view == StatisticsView::Results) {
        points.reserve(static_cast<qsizetype>(rows.size()));
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            points.append(QPointF(static_cast<double>(row->LocalMs) / kDayMs, row->Figure));
            high = std::max(high, row->Figure);
        }
        Points->setName(QStringLiteral("Каждый результат"));
    } else {
        const std::vector<DayValue> days = ByDay(rows, view == StatisticsView::DayBest ? DayFigure::Best : DayFigure::Mean);
        const std::vector<double> means = MovingAverage(days, kMovingAverageDays);
        for (std::size_t k = 0; k < days.size(); ++k) {
            const double x = static_cast<double>(DayNumber(days[k].Day)) + 0.5;  // the middle of its day
            points.append(QPointF(x, days[k].Value));
            average.append(QPointF(x, means[k]));
            high = std::max(high, days[k].Value);
        }
        Points->setName(view == StatisticsView::DayBest ? QStringLiteral("Лучший за день")
                                                        : QStringLiteral("Среднее за день"));
    }
    // Thousands of points: a plain line, drawn without smoothing.
    Points->setPointsVisible(points.size() <= 200);
    Points->setPen(QPen(kAccentColour, points.size() > 1000 ? 0 : 2));
    Points->replace(points);
    Average->replace(average);
    Average->setVisible(view != StatisticsView::Results);
    legend()->setVisible(view != StatisticsView::Results);
    setTitle(QStringLiteral("%1: %2").arg(KindName(kind), FigureName(kind)));

    const QDate today = QDate::currentDate();
    last_ = rows.empty() ? today : LocalDay(rows.front().LocalMs);
    first_ = rows.empty() ? today : LocalDay(rows.back().LocalMs);
    FitTimeAxis(plotWidth);
    ValueAxis->setRange(0, high * 1.1);
    ValueAxis->applyNiceNumbers();
    const double step = (ValueAxis->max() - ValueAxis->min()) / std::max(1, ValueAxis->tickCount() - 1);
    ValueAxis->setLabelFormat(QStringLiteral("%.%1f").arg(DecimalsOf(step)));
}

void StatisticsChart::FitTimeAxis(int plotWidth) {
    if (!first_.isValid()) return;  // not filled yet
    const std::vector<DayCategory> categories = DayCategories(first_, last_, std::max(2, plotWidth / kLabelWidth));
    const QStringList old = TimeAxis->categoriesLabels();
    for (const QString& label : old) TimeAxis->remove(label);
    const double start = static_cast<double>(DayNumber(first_));
    const double end = static_cast<double>(DayNumber(last_) + 1);
    TimeAxis->setStartValue(start);
    for (std::size_t k = 0; k < categories.size(); ++k) {
        const double to = k + 1 < categories.size() ? static_cast<double>(DayNumber(categories[k + 1].Start)) : end;
        TimeAxis->append(categories[k].Label, to);
    }
    TimeAxis->setRange(start, end);
}

}  // namespace vistorel
