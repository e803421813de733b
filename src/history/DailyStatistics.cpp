#include "history/DailyStatistics.h"

#include "platform/Plural.h"

#include <algorithm>
#include <cmath>

namespace vistorel {
namespace {

const QDate kEpoch(1970, 1, 1);

// "45 мин", "3 ч 05 мин".
QString Duration(qint64 minutes) {
    if (minutes < 60) return QStringLiteral("%1 мин").arg(minutes);
    return QStringLiteral("%1 ч %2 мин").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// Whole minutes trained today: 19 min 40 s are 19, so that a goal of 20 is
// never shown as met before it is.
qint64 MinutesToday(const TrainingSummary& summary) {
    return static_cast<qint64>(std::floor(summary.SecondsToday / 60 + 1e-9));
}

}  // namespace

QDate LocalDay(std::int64_t localMs) {
    std::int64_t days = localMs / kDayMs;
    if (localMs % kDayMs < 0) --days;  // before 1970: towards the earlier day
    return kEpoch.addDays(days);
}

std::int64_t DayNumber(QDate day) { return kEpoch.daysTo(day); }

std::vector<DayValue> ByDay(const std::vector<ResultRow>& rows, DayFigure figure) {
    std::vector<DayValue> days;
    int count = 0;
    const auto close = [&] {
        if (figure == DayFigure::Mean && count > 0) days.back().Value /= count;
    };
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const QDate day = LocalDay(row->LocalMs);
        if (days.empty() || days.back().Day != day) {
            close();
            days.push_back({day, row->Figure});
            count = 1;
            continue;
        }
        DayValue& last = days.back();
        last.Value = figure == DayFigure::Best ? std::max(last.Value, row->Figure) : last.Value + row->Figure;
        ++count;
    }
    close();
    return days;
}

std::vector<double> MovingAverage(const std::vector<DayValue>& days, int windowDays) {
    std::vector<double> averages;
    averages.reserve(days.size());
    double sum = 0;
    std::size_t from = 0;
    for (std::size_t k = 0; k < days.size(); ++k) {
        sum += days[k].Value;
        while (days[from].Day.daysTo(days[k].Day) >= windowDays) sum -= days[from++].Value;
        averages.push_back(sum / static_cast<double>(k - from + 1));
    }
    return averages;
}

std::vector<DayCategory> DayCategories(QDate first, QDate last, int maxLabels) {
    std::vector<DayCategory> categories;
    if (!first.isValid() || !last.isValid() || last < first) return categories;
    maxLabels = std::max(maxLabels, 2);
    const qint64 days = first.daysTo(last) + 1;
    if (days <= maxLabels) {
        for (QDate day = first; day <= last; day = day.addDays(1)) {
            categories.push_back({day, day.toString(QStringLiteral("dd.MM"))});
        }
        return categories;
    }
    // Weeks from Mondays, the first from the first day.
    if ((days + 6) / 7 + 1 <= maxLabels) {
        for (QDate day = first; day <= last; day = day.addDays(8 - day.dayOfWeek())) {
            categories.push_back({day, day.toString(QStringLiteral("dd.MM"))});
        }
        return categories;
    }
    // Months, or two, three, six or twelve of them, from their first days.
    const int months = (last.year() - first.year()) * 12 + last.month() - first.month() + 1;
    int step = 12;
    for (const int s : {1, 2, 3, 6}) {
        if ((months + s - 1) / s + 1 <= maxLabels) {
            step = s;
            break;
        }
    }
    categories.push_back({first, first.toString(QStringLiteral("MM.yyyy"))});
    const int startMonth = ((first.month() - 1) / step + 1) * step;  // months after January
    for (QDate day = QDate(first.year(), 1, 1).addMonths(startMonth); day <= last; day = day.addMonths(step)) {
        categories.push_back({day, day.toString(QStringLiteral("MM.yyyy"))});
    }
    return categories;
}

TrainingSummary SummarizeTraining(const std::vector<TrainingDay>& days, QDate today) {
    TrainingSummary summary;
    for (const TrainingDay& day : days) {
        summary.Seconds += day.Seconds;
        ++summary.Days;
        if (day.Day == today) {
            summary.ResultsToday = day.Results;
            summary.SecondsToday = day.Seconds;
        }
    }
    // Back from today, or from yesterday, over days that follow each other.
    auto day = std::find_if(days.rbegin(), days.rend(), [&](const TrainingDay& d) { return d.Day <= today; });
    if (day == days.rend() || day->Day.daysTo(today) > 1) return summary;
    QDate expected = day->Day;
    for (; day != days.rend() && day->Day == expected; ++day, expected = expected.addDays(-1)) ++summary.Streak;
    return summary;
}

QString TrainingLine(const TrainingSummary& s) {
    const NounForms days{u"день", u"дня", u"дней"};
    const NounForms results{u"результат", u"результата", u"результатов"};
    const qint64 minutes = std::llround(s.Seconds / 60);
    return QStringLiteral("Всего %1 за %2 · %3 · сегодня %4")
        .arg(Duration(minutes), Counted(s.Days, days),
             s.Streak > 0 ? QStringLiteral("серия %1 подряд").arg(Counted(s.Streak, days)) : QStringLiteral("серии нет"),
             Counted(s.ResultsToday, results));
}

bool GoalReached(const TrainingSummary& summary, int goalMinutes) {
    return goalMinutes > 0 && MinutesToday(summary) >= goalMinutes;
}

QString GoalLine(const TrainingSummary& summary, int goalMinutes) {
    const qint64 today = MinutesToday(summary);
    if (goalMinutes <= 0) return QStringLiteral("Сегодня %1, цель не задана").arg(Duration(today));
    if (GoalReached(summary, goalMinutes)) {
        return QStringLiteral("Сегодня %1 из %2: цель достигнута").arg(Duration(today)).arg(goalMinutes);
    }
    return QStringLiteral("Сегодня %1 из %2: осталось %3")
        .arg(Duration(today))
        .arg(goalMinutes)
        .arg(Duration(goalMinutes - today));
}

}  // namespace vistorel
