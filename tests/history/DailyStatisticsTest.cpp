// The results by the local day: each day's best and mean, the moving average
// over calendar days, the time axis's categories, the training summary with
// its streak, and the daily goal, which counts whole minutes only.

#include "history/DailyStatistics.h"
#include "history/HistoryTestSupport.h"
#include "history/ResultsDatabase.h"
#include "support/TestSupport.h"

#include <QSet>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

using test::At;

// Results at 23:30 and 00:30 local time fall on two local days, though both
// are on one day in UTC (Moscow is three hours ahead); best and mean per day;
// the average of 7 days leaves out the day 7 days back.
TEST(DailyStatistics, DaysAreLocalDaysWithTheirBestMeanAndMovingAverage) {
    test::StartDirectory dir(false);
    ResultsDatabase db(dir.File(QStringLiteral("Vistorel.sqlite")), {});
    for (const auto& [at, wpm] : {std::pair{At(2, 0), 100}, std::pair{At(4, 30, 23), 300}, std::pair{At(5, 30, 0), 200},
                                  std::pair{At(5, 0, 18), 260}, std::pair{At(9, 0), 400}}) {
        db.Record(test::ReadingTest(at, wpm));
    }
    const ResultTable table = db.Table(ResultKind::ReadingTest);
    ASSERT_EQ(table.Rows.size(), 5u);
    EXPECT_EQ(table.Rows[2].At.toUTC().date(), QDate(2026, 3, 4));
    EXPECT_EQ(LocalDay(table.Rows[2].LocalMs), QDate(2026, 3, 5));
    EXPECT_EQ(LocalDay(table.Rows[3].LocalMs), QDate(2026, 3, 4));

    const std::vector<DayValue> best = ByDay(table.Rows, DayFigure::Best);
    const std::vector<DayValue> mean = ByDay(table.Rows, DayFigure::Mean);
    ASSERT_EQ(best.size(), 4u);
    ASSERT_EQ(mean.size(), 4u);
    const QDate days[] = {QDate(2026, 3, 2), QDate(2026, 3, 4), QDate(2026, 3, 5), QDate(2026, 3, 9)};
    const double bests[] = {100, 300, 260, 400};
    const double means[] = {100, 300, 230, 400};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(best[k].Day, days[k]);
        EXPECT_EQ(best[k].Value, bests[k]);
        EXPECT_EQ(mean[k].Value, means[k]);
    }
    const std::vector<double> average = MovingAverage(best, kMovingAverageDays);
    EXPECT_EQ(average, (std::vector<double>{100, 200, 220, 320}));  // the 9th: the 4th, 5th and itself

    // Before 1970 the day is the earlier one.
    EXPECT_EQ(LocalDay(-1), QDate(1969, 12, 31));
    EXPECT_EQ(LocalDay(kDayMs), QDate(1970, 1, 2));
}

// Days, weeks from Mondays or months from their first days, by the room
// there is; every label once, every category starting on a day's start.
TEST(DailyStatistics, TimeAxisCategoriesFitTheRoom) {
    const auto labels = [](const std::vector<DayCategory>& categories) {
        QStringList list;
        for (const DayCategory& c : categories) list.append(c.Label);
        return list;
    };
    const std::vector<DayCategory> week = DayCategories(QDate(2026, 3, 2), QDate(2026, 3, 9), 8);
    EXPECT_EQ(labels(week), (QStringList{QStringLiteral("02.03"), QStringLiteral("03.03"), QStringLiteral("04.03"),
                                         QStringLiteral("05.03"), QStringLiteral("06.03"), QStringLiteral("07.03"),
                                         QStringLiteral("08.03"), QStringLiteral("09.03")}));
    // One day more than room: weeks, from the first day (a Thursday), then Mondays.
    const std::vector<DayCategory> weeks = DayCategories(QDate(2026, 3, 5), QDate(2026, 3, 13), 8);
    EXPECT_EQ(labels(weeks), (QStringList{QStringLiteral("05.03"), QStringLiteral("09.03")}));
    // Three years in 16 labels: a category of three months.
    const std::vector<DayCategory> years = DayCategories(QDate(2024, 1, 20), QDate(2026, 12, 1), 16);
    EXPECT_EQ(years.front().Start, QDate(2024, 1, 20));
    EXPECT_EQ(years[1].Start, QDate(2024, 4, 1));
    EXPECT_LE(years.size(), 16u);
    const QStringList all = labels(years);
    EXPECT_EQ(QSet<QString>(all.begin(), all.end()).size(), all.size());
    for (std::size_t k = 1; k < years.size(); ++k) {
        EXPECT_EQ(years[k].Start.day(), 1);
        EXPECT_EQ(years[k].Start.month() % 3, 1);
    }
}

// Time and days over all, the streak up to today or yesterday, today's
// results, and the goal: 19 min 50 s do not reach 20 minutes.
TEST(DailyStatistics, SummaryStreakAndGoal) {
    const std::vector<TrainingDay> days = {{QDate(2026, 2, 27), 1800, 2},
                                           {QDate(2026, 3, 1), 600, 1},
                                           {QDate(2026, 3, 2), 1200, 3},
                                           {QDate(2026, 3, 3), 1190, 2}};
    TrainingSummary s = SummarizeTraining(days, QDate(2026, 3, 3));
    EXPECT_EQ(s.Days, 4);
    EXPECT_EQ(s.Streak, 3);
    EXPECT_EQ(s.ResultsToday, 2);
    EXPECT_EQ(TrainingLine(s), QStringLiteral("Всего 1 ч 20 мин за 4 дня · серия 3 дня подряд · сегодня 2 результата"));
    EXPECT_FALSE(GoalReached(s, 20));
    EXPECT_EQ(GoalLine(s, 20), QStringLiteral("Сегодня 19 мин из 20: осталось 1 мин"));
    EXPECT_TRUE(GoalReached(s, 19));
    EXPECT_FALSE(GoalReached(s, 0));
    EXPECT_EQ(GoalLine(s, 0), QStringLiteral("Сегодня 19 мин, цель не задана"));

    s = SummarizeTraining(days, QDate(2026, 3, 4));
    EXPECT_EQ(s.Streak, 3);
    EXPECT_EQ(s.ResultsToday, 0);
    EXPECT_EQ(SummarizeTraining(days, QDate(2026, 3, 5)).Streak, 0);
    EXPECT_EQ(SummarizeTraining(days, QDate(2026, 2, 28)).Streak, 1);  // from the day before
    EXPECT_EQ(SummarizeTraining({{QDate(2026, 3, 1), 60, 1}}, QDate(2026, 3, 1)).Streak, 1);
    EXPECT_EQ(TrainingLine(SummarizeTraining({}, QDate(2026, 3, 1))),
              QStringLiteral("Всего 0 мин за 0 дней · серии нет · сегодня 0 результатов"));
}

}  // namespace
}  // namespace vistorel
