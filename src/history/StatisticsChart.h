#pragma once
// The chart of the statistics window: a kind's main figure over the local
// days, each result or one point a day with its moving average, on a time
// axis whose ticks stand on the days' starts.

#include "history/DailyStatistics.h"
#include "history/Results.h"

#include <QChart>
#include <vector>

class QCategoryAxis;
class QLineSeries;
class QValueAxis;

namespace vistorel {

enum class StatisticsView { Results, DayBest, DayMean };

class StatisticsChart : public QChart {
public:
    StatisticsChart();

    // Shows the rows (newest first); the time axis labelled for a plot about
    // plotWidth points wide.
    void Fill(ResultKind kind, const std::vector<ResultRow>& rows, StatisticsView view, int plotWidth);
    // Labels the time axis again for another width.
    void FitTimeAxis(int plotWidth);

    // x: days since 1970-01-01 of the local clock; y: the figure.
    QLineSeries* Points;
    QLineSeries* Average;  // per day only
    QCategoryAxis* TimeAxis;
    QValueAxis* ValueAxis;

private:
    QDate first_;
    QDate last_;
};

}  // namespace vistorel
