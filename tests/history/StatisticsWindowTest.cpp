// The statistics window over the results on disk: one chart point per result
// or per local day, one table row per result, newest first in the table, the
// best result and the trend in Russian figures, the time axis labelled by the
// day, the training summary and the daily goal, filters, results recorded
// while it is open, the kind it opens on, an empty kind saying what to do,
// deleting only after a yes, and the shown results exported as CSV in both
// forms.

#include "app/Program.h"
#include "history/HistoryTestSupport.h"
#include "history/ResultsDatabase.h"
#include "history/ResultsWriter.h"
#include "history/StatisticsChart.h"
#include "history/StatisticsWindow.h"
#include "support/TestSupport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGraphicsTextItem>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QValueAxis>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

using test::At;
using test::ReadingTest;

// Twelve reading tests a day apart: the first five average 220, the last
// five 320, and the best (500) lies between them.
constexpr int kSpeeds[] = {200, 210, 220, 230, 240, 500, 100, 300, 310, 320, 330, 340};

void RecordSpeeds(ResultsDatabase& db) {
    for (int day = 1; day <= 12; ++day) {
        db.Record(ReadingTest(At(day, 0), kSpeeds[day - 1], QStringLiteral("Книга, том %1").arg(day)));
    }
}

TEST(StatisticsWindow, ChartAndTableShowEveryResultWithTheBestAndTheTrend) {
    test::ProgramUnderTest p;
    RecordSpeeds(*p->Results);
    p->Results->Record(IpsTestResult{At(3, 0), 60, 5.5, 10, 2, 30, 1});
    StatisticsWindow& window = *p->statisticsWindow;
    window.Show();
    window.viewBox->setCurrentIndex(0);  // each result
    window.Reload();

    // x: days of the local clock since 1970, 10:00 local being 10/24 into its day.
    QLineSeries& series = *window.chart->Points;
    ASSERT_EQ(series.count(), 12);
    for (int k = 0; k < 12; ++k) {
        EXPECT_DOUBLE_EQ(series.at(k).x(), static_cast<double>(DayNumber(QDate(2026, 3, k + 1))) + 10.0 / 24);
        EXPECT_EQ(series.at(k).y(), kSpeeds[k]);
    }
    QAbstractItemModel& table = *window.tableView->model();
    ASSERT_EQ(table.rowCount(), 12);
    EXPECT_EQ(table.index(0, 1).data().toString(), QStringLiteral("340"));
    EXPECT_EQ(table.index(11, 1).data().toString(), QStringLiteral("200"));
    EXPECT_EQ(window.summaryLabel->text(),
              QStringLiteral("Лучший результат: 500 (слов в минуту, 06.03.2026). Тренд: 220 → 320 (+45,5 %), "
                             "среднее первых и последних 5."));

    window.ShowKind(ResultKind::IpsTest);
    EXPECT_EQ(series.count(), 1);
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_TRUE(window.summaryLabel->text().endsWith(QStringLiteral("Для тренда нужно хотя бы два результата.")));

    // Three results: a trend of the oldest against the newest; of two equal
    // bests, the earlier.
    p->Results->Record(IpsTestResult{At(4, 0), 60, 8.0, 10, 2, 30, 1});
    p->Results->Record(IpsTestResult{At(5, 0), 60, 8.0, 10, 2, 30, 1});
    window.ShowKind(ResultKind::IpsTest);
    EXPECT_EQ(window.summaryLabel->text(), QStringLiteral("Лучший результат: 8,00 (IPS, бит/с, 04.03.2026). Тренд: 5,50 → "
                                                          "8,00 (+45,5 %), среднее первых и последних 1."));
}

// A press where the chart's scene has no item (the chart drawn smaller than
// its view, as while the window is being laid out) is let go, not handed to
// the chart view, which expects an item under every press.
TEST(StatisticsWindow, APressOutsideTheChartIsIgnored) {
    test::ProgramUnderTest p;
    RecordSpeeds(*p->Results);
    StatisticsWindow& window = *p->statisticsWindow;
    window.Show();
    window.chartView->chart()->resize(20, 20);
    window.chartView->setSceneRect(0, 0, 20, 20);
    QWidget* viewport = window.chartView->viewport();
    const QPoint outside(viewport->width() - 5, viewport->height() - 5);
    ASSERT_EQ(window.chartView->itemAt(outside), nullptr);
    QTest::mousePress(viewport, Qt::LeftButton, {}, outside);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, outside);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, outside);
    EXPECT_TRUE(window.Visible());
}

TEST(StatisticsWindow, AKindWithoutResultsSaysHowToGetOne) {
    test::ProgramUnderTest p;
    StatisticsWindow& window = *p->statisticsWindow;
    window.Show();
    window.ShowKind(ResultKind::MemoryTest);
    EXPECT_EQ(window.pages->currentWidget(), window.emptyLabel);
    EXPECT_TRUE(window.emptyLabel->text().contains(QStringLiteral("«Тест памяти»")));
    EXPECT_FALSE(window.deleteButton->isEnabled());
    EXPECT_FALSE(window.exportButton->isEnabled());
    EXPECT_EQ(window.chart->Points->count(), 0);
}

TEST(StatisticsWindow, AResultIsDeletedOnlyAfterYesAndOnlyThatOne) {
    test::ProgramUnderTest p;
    RecordSpeeds(*p->Results);
    StatisticsWindow& window = *p->statisticsWindow;
    window.Show();
    p.Test.Dialogs.Answers = {false, true};
    window.DeleteRow(6);  // 500, the sixth day
    EXPECT_EQ(window.chart->Points->count(), 12);
    ASSERT_EQ(p.Test.Dialogs.Questions.size(), 1);
    EXPECT_TRUE(p.Test.Dialogs.Questions[0].contains(QStringLiteral("500"))) << p.Test.Dialogs.Questions[0].toStdString();
    window.DeleteRow(6);
    EXPECT_EQ(window.chart->Points->count(), 11);
    const ResultTable left = p->Results->Table(ResultKind::ReadingTest);
    ASSERT_EQ(left.Rows.size(), 11u);
    for (const ResultRow& row : left.Rows) EXPECT_NE(row.Figure, 500);
    EXPECT_TRUE(window.summaryLabel->text().startsWith(QStringLiteral("Лучший результат: 340")));
}

TEST(StatisticsWindow, ExportWritesTheShownKindAsCsv) {
    test::ProgramUnderTest p;
    p->Results->Record(ReadingTest(At(1, 0), 312, QStringLiteral("Книга, \"том\" 1"), QStringLiteral("книга.txt")));
    p->Results->Record(ReadingTest(At(2, 0), 330));
    p->Results->Record(MemoryTestResult{At(2, 0), 40, 40 / 7.0});
    StatisticsWindow& window = *p->statisticsWindow;
    window.Show();
    const QString path = p.Dir.File(QStringLiteral("out.csv"));
    p.Test.Dialogs.SaveFiles = {path};
    window.Export();
    const QString day1 = At(1, 0).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString day2 = At(2, 0).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    EXPECT_EQ(test::FileBytes(path),
              QByteArray("\xEF\xBB\xBF") + QStringLiteral("Дата,Слов в минуту,bps,Секунд,Знаков,Текст,Файл\r\n"
                                                          "%1,330,1815,36.36,2000,Текст,t.txt\r\n"
                                                          "%2,312,1716,38.46,2000,\"Книга, \"\"том\"\" 1\",книга.txt\r\n")
                                               .arg(day2, day1)
                                               .toUtf8());

    // For Russian spreadsheets: semicolons, decimal commas, Russian dates; a
    // title with a semicolon is quoted now.
    p->Results->Record(ReadingTest(At(3, 0), 300, QStringLiteral("Том; второй"), QStringLiteral("t2.txt")));
    window.Reload();
    p.Test.Dialogs.SaveFiles = {path};
    p.Test.Dialogs.SaveFileTypes = {1};
    window.Export();
    EXPECT_EQ(test::FileBytes(path),
              QByteArray("\xEF\xBB\xBF") + QStringLiteral("Дата;Слов в минуту;bps;Секунд;Знаков;Текст;Файл\r\n"
                                                          "03.03.2026 10:00:00;300;1650;40,00;2000;\"Том; второй\";t2.txt\r\n"
                                                          "02.03.2026 10:00:00;330;1815;36,36;2000;Текст;t.txt\r\n"
                                                          "01.03.2026 10:00:00;312;1716;38,46;2000;\"Книга, \"\"том\"\" 1\";книга.txt\r\n")
                                               .toUtf8());
    // The table on screen shows decimal commas too.
    EXPECT_EQ(window.tableView->model()->index(1, 3).data().toString(), QStringLiteral("36,36"));

    // A file that cannot be written is told in Russian, and nothing is left behind.
    const QString nowhere = p.Dir.File(QStringLiteral("нет такой папки/out.csv"));
    p.Test.Dialogs.SaveFiles = {nowhere};
    try {
        window.Export();
        ADD_FAILURE() << "an export into a missing folder went through";
    } catch (const Error& error) {
        EXPECT_EQ(error.Message(),
                  QStringLiteral("Не удаётся записать файл \"%1\": файл или папка не найдены").arg(nowhere));
    }
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

// The texts of the chart's labels as drawn: the axes' labels, the title, the legend.
QStringList ChartTexts(StatisticsWindow& window) {
    window.chartView->resize(900, 400);
    QApplication::processEvents();
    (void)window.chartView->grab();
    QStringList texts;
    const auto items = window.chartView->scene()->items();
    for (QGraphicsItem* item : items) {
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item)) texts.append(text->toPlainText());
    }
    return texts;
}

// Memory tests near 1.14 on days with gaps, two across a local midnight
// (00:30 in Moscow is the day before in UTC): one point a day with the moving
// average; every day of the range labelled once on the time axis, its
// categories starting at local midnights; figures on the value axis with a
// decimal comma.
TEST(StatisticsWindow, PerDayChartLabelsEachDayOnceWithDecimalsWhereSmall) {
    test::ProgramUnderTest p;
    for (const auto& [at, score] : {std::pair{At(2, 0), 8}, std::pair{At(4, 30, 23), 9}, std::pair{At(5, 30, 0), 7},
                                    std::pair{At(5, 0, 12), 8}, std::pair{At(9, 0), 8}}) {
        p->Results->Record(MemoryTestResult{at, score, score / 7.0});
    }
    StatisticsWindow& window = *p->statisticsWindow;
    window.Show();  // opens on the only kind there is
    ASSERT_EQ(window.Kind(), ResultKind::MemoryTest);
    ASSERT_EQ(window.viewBox->currentIndex(), 1);  // the day's best
    const auto pointsOf = [](QLineSeries* series) {
        QList<double> values;
        for (const QPointF& point : series->points()) values.append(std::round(point.y() * 1000) / 1000);
        return values;
    };
    // The day's mean in the middle of its day, beside the 7 days' average.
    window.viewBox->setCurrentIndex(2);
    window.Reload();
    EXPECT_EQ(pointsOf(window.chart->Points), (QList<double>{1.143, 1.286, 1.071, 1.143}));
    EXPECT_EQ(window.chart->Points->at(2).x(), static_cast<double>(DayNumber(QDate(2026, 3, 5))) + 0.5);
    EXPECT_EQ(pointsOf(window.chart->Average), (QList<double>{1.143, 1.214, 1.167, 1.167}));

    QCategoryAxis& days = *window.chart->TimeAxis;
    EXPECT_EQ(days.categoriesLabels(), (QStringList{QStringLiteral("02.03"), QStringLiteral("03.03"), QStringLiteral("04.03"),
                                                    QStringLiteral("05.03"), QStringLiteral("06.03"), QStringLiteral("07.03"),
                                                    QStringLiteral("08.03"), QStringLiteral("09.03")}));
    EXPECT_EQ(days.startValue(), static_cast<double>(DayNumber(QDate(2026, 3, 2))));
    EXPECT_EQ(days.endValue(QStringLiteral("05.03")), static_cast<double>(DayNumber(QDate(2026, 3, 6))));
    const QStringList texts = ChartTexts(window);
    EXPECT_TRUE(texts.contains(QStringLiteral("0,5")) && texts.contains(QStringLiteral("1,5")))
        << texts.join(u'|').toStdString();
    EXPECT_FALSE(texts.contains(QStringLiteral("1"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Среднее за 7 дней")));
    EXPECT_EQ(texts.count(QStringLiteral("05.03")), 1);
    // A trend from nothing has no percentage.
    p->Results->Record(IpsTestResult{At(1, 0), 60, 0, 0, 0, 0, 30});
    p->Results->Record(IpsTestResult{At(2, 0), 60, 8 / 7.0, 10, 2, 30, 1});
    window.ShowKind(ResultKind::IpsTest);
    EXPECT_TRUE(window.summaryLabel->text().endsWith(QStringLiteral("Тренд: 0,00 → 1,14, среднее первых и последних 1.")))
        << window.summaryLabel->text().toStdString();
}

// Time, days, the streak and today's results over all kinds, and today
// against the goal set in the window, which is kept for the next start.
TEST(StatisticsWindow, SummaryAndDailyGoal) {
    test::ProgramUnderTest p;
    const auto exercise = [](const QDateTime& at, double seconds) {
        return ExerciseSessionResult{at, at.addSecs(static_cast<int>(seconds)), QStringLiteral("Текст"),
                                     QStringLiteral("t.txt"), 1, 3, seconds, 1000, 40, 250};
    };
    p->Results->Record(exercise(At(2, 0), 600));
    p->Results->Record(exercise(At(5, 0), 900));
    p->Results->Record(exercise(At(6, 0), 1200));
    p->Results->Record(exercise(At(7, 0), 1180));  // 19 min 40 s
    p->Results->Record(MemoryTestResult{At(7, 30, 23), 40, 40 / 7.0});
    // 40 s at 00:30, the day before in UTC: with the exercise 20 min 20 s.
    p->Results->Record(ReadingTest(At(7, 30, 0), 300));
    StatisticsWindow& window = *p->statisticsWindow;
    window.SetToday([] { return QDate(2026, 3, 7); });
    window.Show();
    EXPECT_EQ(window.trainingLabel->text(),
              QStringLiteral("Всего 1 ч 05 мин за 4 дня · серия 3 дня подряд · сегодня 3 результата"));
    EXPECT_EQ(window.goalBox->value(), StatisticsWindow::kDefaultGoalMinutes);
    EXPECT_EQ(window.goalLabel->text(), QStringLiteral("Сегодня 20 мин из 20: цель достигнута"));
    window.goalBox->setValue(21);
    EXPECT_EQ(window.goalLabel->text(), QStringLiteral("Сегодня 20 мин из 21: осталось 1 мин"));
    EXPECT_FALSE(window.goalLabel->property("reached").toBool());
    EXPECT_EQ(p->Results->Preference(StatisticsWindow::kGoalKey), QStringLiteral("21"));


    StatisticsWindow next(*p);
    next.Create();
    next.Show();
    EXPECT_EQ(next.goalBox->value(), 21);
}

// Exercises filtered by text and by level, the best and the trend of what
// is left; the tests without texts or levels offer no such filters.
TEST(StatisticsWindow, FiltersByTextAndLevel) {
    test::ProgramUnderTest p;
    int day = 1;
    for (const auto& [title, level, speed] : {std::tuple{"Война и мир", 1, 200}, std::tuple{"Война и мир", 2, 260},
                                              std::tuple{"Ася", 2, 320}, std::tuple{"Ася", 3, 410}}) {
        const QDateTime at = At(day++, 0);
        const QString name = QString::fromUtf8(title);
        p->Results->Record(ExerciseSessionResult{at, at.addSecs(600), name, name + QStringLiteral(".txt"), level, 3, 600,
                                                 2000, 80, speed});
    }
    StatisticsWindow& window = *p->statisticsWindow;
    window.Show();
    ASSERT_EQ(window.Kind(), ResultKind::Exercise);
    EXPECT_TRUE(window.textBox->isVisibleTo(window.Widget()));
    EXPECT_EQ(window.textBox->count(), 3);  // all, and the two titles in order
    EXPECT_EQ(window.textBox->itemText(1), QStringLiteral("Ася"));
    window.textBox->setCurrentIndex(2);
    Q_EMIT window.textBox->activated(2);
    ASSERT_EQ(window.Shown().Rows.size(), 2u);
    EXPECT_TRUE(window.summaryLabel->text().startsWith(QStringLiteral("Лучший результат: 260")));
    window.levelBox->setCurrentIndex(window.levelBox->findData(2));
    Q_EMIT window.levelBox->activated(window.levelBox->currentIndex());
    ASSERT_EQ(window.Shown().Rows.size(), 1u);
    EXPECT_EQ(window.Shown().Rows[0].Figure, 260);
    // Kept when the results are read again.
    window.Reload();
    EXPECT_EQ(window.Shown().Rows.size(), 1u);

    window.ShowKind(ResultKind::IpsTest);
    EXPECT_FALSE(window.textBox->isVisibleTo(window.Widget()));
    EXPECT_FALSE(window.levelBox->isVisibleTo(window.Widget()));
    window.ShowKind(ResultKind::ReadingTest);
    EXPECT_TRUE(window.textBox->isVisibleTo(window.Widget()));
    EXPECT_FALSE(window.levelBox->isVisibleTo(window.Widget()));
}

// A result the writer stores on its thread while the window is open shows
// without a click; several at once are read once. The window opens on the
// kind the user chose last, also in a window made afresh, and Escape closes
// it wherever the keyboard is.
TEST(StatisticsWindow, FollowsNewResultsOpensOnTheLastKindAndClosesOnEscape) {
    test::ProgramUnderTest p;
    p->Results->Record(ReadingTest(At(1, 0), 300));
    p->Results->Record(IpsTestResult{At(2, 0), 60, 5.5, 10, 2, 30, 1});
    StatisticsWindow& window = *p->statisticsWindow;
    window.Show();
    EXPECT_EQ(window.Kind(), ResultKind::IpsTest);  // the newest
    window.kindButtons[0]->click();
    ASSERT_EQ(window.Kind(), ResultKind::ReadingTest);
    p->Writer->Record(ReadingTest(At(3, 0), 320));
    p->Writer->Record(ReadingTest(At(4, 0), 330));
    ASSERT_TRUE(p->Writer->Flush(10000));
    QApplication::processEvents();
    EXPECT_EQ(window.Shown().Rows.size(), 3u);
    EXPECT_TRUE(window.trainingLabel->text().contains(QStringLiteral("за 4 дня")));

    StatisticsWindow next(*p);
    next.Create();
    next.Show();
    EXPECT_EQ(next.Kind(), ResultKind::ReadingTest);

    for (QWidget* focus : {static_cast<QWidget*>(window.tableView), static_cast<QWidget*>(window.goalBox),
                           static_cast<QWidget*>(window.textBox)}) {
        window.Show();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_FALSE(window.Visible()) << focus->metaObject()->className();
    }
}

}  // namespace
}  // namespace vistorel
