#pragma once

#include "history/Results.h"
#include "platform/Form.h"

#include <array>

class QAbstractButton;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace vistorel {

class Program;
class ResultTableModel;

// The statistics: for each kind of result (reading test, IPS test, memory
// test, exercises) the main figure over time as a chart, the results as a
// table newest first, the best result and the trend; a chosen result can be
// deleted, and the shown kind exported to CSV.
class StatisticsWindow : public Form {
public:
    explicit StatisticsWindow(Program& program);
    ~StatisticsWindow() override;

    void FormShow() override;

    // Shows one kind, read afresh from the database.
    void ShowKind(ResultKind kind);
    ResultKind Kind() const { return kind_; }
    // Deletes the result in the table's row (0 = newest) after the user agrees.
    void DeleteRow(int row);
    void DeleteChosen();
    // Writes the shown kind to a CSV file the user chooses.
    void Export();

    const ResultTable& Shown() const { return table_; }
    QLineSeries* series;
    QChartView* chartView;
    QTableView* tableView;
    QLabel* summaryLabel;
    QLabel* emptyLabel;
    QStackedWidget* pages;
    std::array<QPushButton*, 4> kindButtons{};
    QPushButton* deleteButton;
    QPushButton* exportButton;

private:
    void FillChart();

    Program& program;
    ResultKind kind_ = ResultKind::ReadingTest;
    ResultTable table_;
    ResultTableModel* model_;
};

}  // namespace vistorel
