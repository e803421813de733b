#pragma once

#include "history/DailyStatistics.h"
#include "history/Results.h"
#include "platform/Form.h"

#include <QDate>
#include <array>
#include <atomic>
#include <functional>
#include <optional>

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTableView;

namespace vistorel {

class Program;
class ResultTableModel;
class StatisticsChart;
enum class StatisticsView;

// The statistics: for each kind of result (reading test, IPS test, memory
// test, exercises) the main figure over the local days as a chart (each
// result, or each day's best or mean with its moving average), the results
// as a table newest first, the best result and the trend, filtered by text
// and level; what was trained in all, and today against a daily goal set
// here. A chosen result can be deleted, and the shown results exported to
// CSV. A result recorded while the window is open shows at once.
class StatisticsWindow : public Form {
public:
    explicit StatisticsWindow(Program& program);
    ~StatisticsWindow() override;

    // The first time: the kind last chosen (in an earlier run too), or the
    // kind of the newest result.
    void FormShow() override;

    // Shows one kind, read afresh from the database, unfiltered.
    void ShowKind(ResultKind kind);
    // The user's choice of a kind, remembered for the next start.
    void ChooseKind(ResultKind kind);
    ResultKind Kind() const { return kind_; }
    // Reads the shown kind and the training days afresh, keeping the filters.
    void Reload();
    // Deletes the result in the table's row (0 = newest) after the user agrees.
    void DeleteRow(int row);
    void DeleteChosen();
    // Writes the shown results to a CSV file the user chooses, in the form
    // of the file type chosen with it.
    void Export();
    // What "today" is (tests set a day of their own).
    void SetToday(std::function<QDate()> today) { today_ = std::move(today); }

    // The shown results: the kind's, filtered.
    const ResultTable& Shown() const { return shown_; }
    const TrainingSummary& Training() const { return training_; }
    StatisticsChart* chart;
    QChartView* chartView;
    QTableView* tableView;
    QLabel* trainingLabel;
    QSpinBox* goalBox;
    QLabel* goalLabel;
    QComboBox* viewBox;
    QComboBox* textBox;
    QComboBox* levelBox;
    QLabel* summaryLabel;
    QLabel* emptyLabel;
    QStackedWidget* pages;
    std::array<QPushButton*, 4> kindButtons{};
    QPushButton* deleteButton;
    QPushButton* exportButton;

    // The preferences the window keeps in the results file.
    static const QString kKindKey;
    static const QString kViewKey;
    static const QString kGoalKey;
    static constexpr int kDefaultGoalMinutes = 20;

private:
    void FillFilters();
    void ApplyFilters();
    void ShowTraining();
    void ResultRecorded();
    void KeepPreference(const QString& key, const QString& value);
    void ReadPreferences(const std::function<std::optional<QString>(const QString&)>& preference);

    Program& program;
    ResultKind kind_ = ResultKind::ReadingTest;
    bool opened_ = false;  // a kind was shown
    bool preferencesRead_ = false;
    ResultTable table_;  // the kind's results, all
    ResultTable shown_;
    TrainingLog log_;
    TrainingSummary training_;
    ResultTableModel* model_;
    std::function<QDate()> today_;
    std::atomic<bool> refreshDue_{false};
};

}  // namespace vistorel
