#pragma once
// The results by the local day: the figure of each day and its moving
// average, the days of the chart's time axis, and what the trainee did in
// all: time, days, the current streak, today against the daily goal.

#include "history/Results.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace vistorel {

// The local day of a local time in ms since 1970-01-01 00:00 (ResultRow::LocalMs).
QDate LocalDay(std::int64_t localMs);
// The days since 1970-01-01 of a local day, as the chart's time axis counts.
std::int64_t DayNumber(QDate day);

// One point a day: the day's best figure, or the mean of its figures.
enum class DayFigure { Best, Mean };
struct DayValue {
    QDate Day;
    double Value = 0;
};
// The rows (newest first, as a ResultTable holds them), oldest day first.
std::vector<DayValue> ByDay(const std::vector<ResultRow>& rows, DayFigure figure);
// For each day, the mean of the values of the days among the last
// windowDays calendar days, that day included.
std::vector<double> MovingAverage(const std::vector<DayValue>& days, int windowDays);
inline constexpr int kMovingAverageDays = 7;

// The time axis from the first day to the last, in categories that begin on
// a local day's start: each day, when no more than maxLabels days; else weeks
// (from Mondays), else months. Each runs to the next one's start, the last
// to the end of the last day; every label differs from the others.
struct DayCategory {
    QDate Start;
    QString Label;
};
std::vector<DayCategory> DayCategories(QDate first, QDate last, int maxLabels);

// What was trained on one local day, all kinds together.
struct TrainingDay {
    QDate Day;
    double Seconds = 0;  // running time of exercises, time of the tests
    int Results = 0;
};
struct TrainingLog {
    std::vector<TrainingDay> Days;  // oldest first
    std::optional<ResultKind> NewestKind;
};

struct TrainingSummary {
    double Seconds = 0;
    int Days = 0;
    // Days in a row with results, up to today, or up to yesterday while
    // today has none yet.
    int Streak = 0;
    int ResultsToday = 0;
    double SecondsToday = 0;
};
TrainingSummary SummarizeTraining(const std::vector<TrainingDay>& days, QDate today);
// "Всего 3 ч 05 мин за 7 дней · серия 3 дня подряд · сегодня 4 результата".
QString TrainingLine(const TrainingSummary& summary);
// Today's training time reaches the goal (in minutes; 0: no goal).
bool GoalReached(const TrainingSummary& summary, int goalMinutes);
// "Сегодня 12 мин из 20: осталось 8 мин", "Сегодня 25 мин из 20: цель достигнута".
QString GoalLine(const TrainingSummary& summary, int goalMinutes);

}  // namespace vistorel
