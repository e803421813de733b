// The statistics window over the results on disk: one chart point and one
// table row per result, newest first in the table, the best result and the
// trend, an empty kind saying what to do, deleting only after a yes, and the
// shown kind exported as CSV.

#include "app/Program.h"
#include "history/HistoryTestSupport.h"
#include "history/ResultsDatabase.h"
#include "history/StatisticsWindow.h"
#include "support/TestSupport.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QChartView>
#include <QChart>
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

    ASSERT_EQ(window.series->count(), 12);
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(window.series->at(k).x(), static_cast<double>(At(k + 1, 0).toMSecsSinceEpoch()));
        EXPECT_EQ(window.series->at(k).y(), kSpeeds[k]);
    }
    QAbstractItemModel& table = *window.tableView->model();
    ASSERT_EQ(table.rowCount(), 12);
    EXPECT_EQ(table.index(0, 1).data().toString(), QStringLiteral("340"));
    EXPECT_EQ(table.index(11, 1).data().toString(), QStringLiteral("200"));
    EXPECT_EQ(window.summaryLabel->text(),
              QStringLiteral("Лучший результат: 500 (слов в минуту, 06.03.2026). Тренд: 220 → 320 (+45.5 %), "
                             "среднее первых и последних 5."));

    window.ShowKind(ResultKind::IpsTest);
    EXPECT_EQ(window.series->count(), 1);
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_TRUE(window.summaryLabel->text().endsWith(QStringLiteral("Для тренда нужно хотя бы два результата.")));

    // Three results: a trend of the oldest against the newest; of two equal
    // bests, the earlier.
    p->Results->Record(IpsTestResult{At(4, 0), 60, 8.0, 10, 2, 30, 1});
    p->Results->Record(IpsTestResult{At(5, 0), 60, 8.0, 10, 2, 30, 1});
    window.ShowKind(ResultKind::IpsTest);
    EXPECT_EQ(window.summaryLabel->text(), QStringLiteral("Лучший результат: 8.00 (IPS, бит/с, 04.03.2026). Тренд: 5.50 → "
                                                          "8.00 (+45.5 %), среднее первых и последних 1."));
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
    EXPECT_EQ(window.series->count(), 0);
}

TEST(StatisticsWindow, AResultIsDeletedOnlyAfterYesAndOnlyThatOne) {
    test::ProgramUnderTest p;
    RecordSpeeds(*p->Results);
    StatisticsWindow& window = *p->statisticsWindow;
    window.Show();
    p.Test.Dialogs.Answers = {false, true};
    window.DeleteRow(6);  // 500, the sixth day
    EXPECT_EQ(window.series->count(), 12);
    ASSERT_EQ(p.Test.Dialogs.Questions.size(), 1);
    EXPECT_TRUE(p.Test.Dialogs.Questions[0].contains(QStringLiteral("500"))) << p.Test.Dialogs.Questions[0].toStdString();
    window.DeleteRow(6);
    EXPECT_EQ(window.series->count(), 11);
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
}

}  // namespace
}  // namespace vistorel
