#include "history/StatisticsWindow.h"

#include "app/Program.h"
#include "history/ResultsDatabase.h"
#include "history/StatisticsChart.h"
#include "platform/FileAccess.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace vistorel {

// The rows of a result table for the table view, read in place.
class ResultTableModel : public QAbstractTableModel {
public:
    explicit ResultTableModel(QObject* parent) : QAbstractTableModel(parent) {}
    void SetTable(const ResultTable* table) {
        beginResetModel();
        table_ = table;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() || !table_ ? 0 : static_cast<int>(table_->Rows.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() || !table_ ? 0 : static_cast<int>(table_->Headers.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!table_ || (role != Qt::DisplayRole && role != Qt::TextAlignmentRole)) return {};
        const auto column = static_cast<std::size_t>(index.column());
        const CellKind kind = column < table_->Kinds.size() ? table_->Kinds[column] : CellKind::Text;
        if (role == Qt::TextAlignmentRole) {
            // Figures to the right, dates and names to the left.
            return QVariant(kind == CellKind::Number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
        }
        return ShownCell(table_->Rows[static_cast<std::size_t>(index.row())].Cells.value(index.column()), kind);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (!table_ || role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
        return table_->Headers.value(section);
    }

private:
    const ResultTable* table_ = nullptr;
};

namespace {

// A chart view that lets go of presses where its scene has no item: Qt's own
// asks the item under every press for the buttons it takes, and there may be
// none while the chart is smaller than its view.
class ChartView : public QChartView {
public:
    using QChartView::QChartView;
    std::function<void()> Resized;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QChartView::resizeEvent(event);
        if (Resized) Resized();
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (!itemAt(event->position().toPoint())) {
            event->ignore();
            return;
        }
        QChartView::mousePressEvent(event);
    }
};

// Black with the orange accent, like the rest of the program.
const char kStyle[] =
    "QWidget { background: #000000; color: #F2EEE9; font-size: 13px; }"
    "QPushButton { background: #1A1A1A; color: #FFA14D; border: 1px solid #9A5E2A; border-radius: 4px;"
    " padding: 5px 14px; }"
    "QPushButton:hover { background: #2A2016; border-color: #FFA14D; }"
    "QPushButton:checked { background: #FFA14D; color: #1A1108; border-color: #FFA14D; }"
    "QPushButton:disabled { color: #6A5A4A; border-color: #3A3028; }"
    "QTableView { background: #0E0E0E; alternate-background-color: #161616; gridline-color: #2A2A2A;"
    " selection-background-color: #FFA14D; selection-color: #1A1108; border: 1px solid #9A5E2A; }"
    "QHeaderView::section { background: #1A1A1A; color: #FFA14D; border: none;"
    " border-right: 1px solid #2A2A2A; padding: 4px; }"
    "QTableCornerButton::section { background: #1A1A1A; border: none; }"
    "QScrollBar { background: #101010; }"
    "QComboBox, QSpinBox { background: #1A1A1A; color: #F2EEE9; border: 1px solid #9A5E2A; border-radius: 4px;"
    " padding: 3px 8px; }"
    "QComboBox:hover, QSpinBox:hover { border-color: #FFA14D; }"
    "QPushButton#step { padding: 3px 8px; min-width: 12px; }"
    "QComboBox QAbstractItemView { background: #1A1A1A; color: #F2EEE9; selection-background-color: #FFA14D;"
    " selection-color: #1A1108; }"
    "QLabel#summary, QLabel#training { color: #FFA14D; }"
    "QLabel#goal { color: #B8B0A8; }"
    "QLabel#goal[reached=\"true\"] { color: #8FD694; }"
    "QLabel#empty { color: #B8B0A8; font-size: 16px; }";

QString EmptyText(ResultKind kind) {
    switch (kind) {
        case ResultKind::ReadingTest:
            return QStringLiteral("Тестов скорости чтения пока нет.\nПройдите тест: ZazizAraderov → «Тест скорости чтения».");
        case ResultKind::IpsTest:
            return QStringLiteral("IPS тестов пока нет.\nПройдите тест: ZazizAraderov → «IPS Тест-Тренер».");
        case ResultKind::MemoryTest:
            return QStringLiteral("Тестов памяти пока нет.\nПройдите тест: ZazizAraderov → «Тест памяти».");
        case ResultKind::Exercise:
            return QStringLiteral("Упражнений пока нет.\nНачните упражнение: Файл → «Старт».");
    }
    return {};
}

QString KindKey(ResultKind kind) {
    switch (kind) {
        case ResultKind::ReadingTest: return QStringLiteral("reading-test");
        case ResultKind::IpsTest: return QStringLiteral("ips-test");
        case ResultKind::MemoryTest: return QStringLiteral("memory-test");
        case ResultKind::Exercise: return QStringLiteral("exercise");
    }
    return {};
}

const StatisticsView kViews[] = {StatisticsView::Results, StatisticsView::DayBest, StatisticsView::DayMean};

QString ViewKey(StatisticsView view) {
    switch (view) {
        case StatisticsView::Results: return QStringLiteral("results");
        case StatisticsView::DayBest: return QStringLiteral("day-best");
        case StatisticsView::DayMean: return QStringLiteral("day-mean");
    }
    return {};
}

QLabel* NewLabel(const QString& text) { return new QLabel(text); }

QString FileStem(ResultKind kind) {
    switch (kind) {
        case ResultKind::ReadingTest: return QStringLiteral("скорость-чтения");
        case ResultKind::IpsTest: return QStringLiteral("ips-тест");
        case ResultKind::MemoryTest: return QStringLiteral("тест-памяти");
        case ResultKind::Exercise: return QStringLiteral("упражнения");
    }
    return {};
}

}  // namespace

const QString StatisticsWindow::kKindKey = QStringLiteral("statistics.kind");
const QString StatisticsWindow::kViewKey = QStringLiteral("statistics.view");
const QString StatisticsWindow::kGoalKey = QStringLiteral("statistics.daily-goal-minutes");

StatisticsWindow::StatisticsWindow(Program& program)
    : Form(program.App),
      chart(new StatisticsChart),
      chartView(new ChartView),
      tableView(new QTableView),
      trainingLabel(new QLabel),
      goalBox(new QSpinBox),
      goalLabel(new QLabel),
      viewBox(new QComboBox),
      textBox(new QComboBox),
      levelBox(new QComboBox),
      summaryLabel(new QLabel),
      emptyLabel(new QLabel),
      pages(new QStackedWidget),
      deleteButton(new QPushButton(QStringLiteral("Удалить"))),
      exportButton(new QPushButton(QStringLiteral("Экспорт в CSV"))),
      program(program),
      model_(new ResultTableModel(tableView)),
      today_([] { return QDate::currentDate(); }) {
    ApplyDesign({QStringLiteral("Статистика"), BorderStyle::Sizeable, false, 120, 80, 940, 680, false, clBlack});
    SetDialogKeys({}, [this] { Hide(); });  // Escape closes it
    QWidget* surface = Surface();
    surface->setStyleSheet(QString::fromLatin1(kStyle));
    auto* layout = new QVBoxLayout(surface);
    layout->setContentsMargins(12, 12, 12, 12);

    auto* kinds = new QHBoxLayout;
    auto* group = new QButtonGroup(surface);
    for (const ResultKind kind : kResultKinds) {
        auto* button = new QPushButton(KindName(kind));
        button->setCheckable(true);
        group->addButton(button);
        kinds->addWidget(button);
        kindButtons[static_cast<std::size_t>(kind)] = button;
        QObject::connect(button, &QPushButton::clicked, button,
                         [this, kind] { App().Guard([&] { ChooseKind(kind); }); });
    }
    kinds->addStretch();
    layout->addLayout(kinds);

    // All the training, and today against the goal.
    trainingLabel->setObjectName(QStringLiteral("training"));
    layout->addWidget(trainingLabel);
    goalBox->setRange(0, 600);
    goalBox->setSingleStep(5);
    goalBox->setSuffix(QStringLiteral(" мин"));
    goalBox->setSpecialValueText(QStringLiteral("нет"));
    goalBox->setValue(kDefaultGoalMinutes);
    goalBox->setAccessibleName(QStringLiteral("Цель на день, минут"));
    goalBox->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The style's own arrows vanish on the black: buttons like the others.
    goalBox->setButtonSymbols(QAbstractSpinBox::NoButtons);
    auto* less = new QPushButton(QStringLiteral("−"));
    auto* more = new QPushButton(QStringLiteral("+"));
    less->setAccessibleName(QStringLiteral("Цель меньше"));
    more->setAccessibleName(QStringLiteral("Цель больше"));
    for (QPushButton* button : {less, more}) {
        button->setObjectName(QStringLiteral("step"));
        button->setFocusPolicy(Qt::NoFocus);  // the box takes Up and Down
    }
    QObject::connect(less, &QPushButton::clicked, goalBox, &QSpinBox::stepDown);
    QObject::connect(more, &QPushButton::clicked, goalBox, &QSpinBox::stepUp);
    goalLabel->setObjectName(QStringLiteral("goal"));
    auto* goal = new QHBoxLayout;
    QLabel* goalCaption = NewLabel(QStringLiteral("Цель на день:"));
    goalCaption->setBuddy(goalBox);
    goal->addWidget(goalCaption);
    goal->addWidget(less);
    goal->addWidget(goalBox);
    goal->addWidget(more);
    goal->addSpacing(8);
    goal->addWidget(goalLabel);
    goal->addStretch();
    layout->addLayout(goal);
    QObject::connect(goalBox, &QSpinBox::valueChanged, goalBox, [this](int minutes) {
        App().Guard([&] {
            KeepPreference(kGoalKey, QString::number(minutes));
            ShowTraining();
        });
    });

    // What the chart shows, and which results.
    auto* filters = new QHBoxLayout;
    viewBox->addItems({QStringLiteral("Каждый результат"), QStringLiteral("Лучший за день"),
                       QStringLiteral("Среднее за день")});
    viewBox->setCurrentIndex(1);
    for (auto [box, caption] : {std::pair{viewBox, QStringLiteral("График:")}, std::pair{textBox, QStringLiteral("Текст:")},
                                std::pair{levelBox, QStringLiteral("Уровень:")}}) {
        QLabel* label = NewLabel(caption);
        label->setBuddy(box);
        box->setAccessibleName(caption.chopped(1));
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        box->setMaximumWidth(320);
        filters->addWidget(label);
        filters->addWidget(box);
        filters->addSpacing(10);
        // A filter hidden for a kind without it hides its caption too.
        box->setProperty("caption", QVariant::fromValue(static_cast<QObject*>(label)));
    }
    filters->addStretch();
    layout->addLayout(filters);
    QObject::connect(viewBox, &QComboBox::activated, viewBox, [this](int index) {
        App().Guard([&] {
            KeepPreference(kViewKey, ViewKey(kViews[index]));
            ApplyFilters();
        });
    });
    for (QComboBox* box : {textBox, levelBox}) {
        QObject::connect(box, &QComboBox::activated, box, [this] { App().Guard([&] { ApplyFilters(); }); });
    }

    summaryLabel->setObjectName(QStringLiteral("summary"));
    summaryLabel->setWordWrap(true);
    layout->addWidget(summaryLabel);

    // A chart view starts with an empty chart of its own, which it lets go of
    // when given another: it is deleted here.
    const std::unique_ptr<QChart> emptyChart(chartView->chart());
    chartView->setChart(chart);
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setMinimumHeight(260);
    static_cast<ChartView*>(chartView)->Resized = [this] { chart->FitTimeAxis(chartView->width() - 90); };

    tableView->setModel(model_);
    tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView->setAlternatingRowColors(true);
    tableView->verticalHeader()->hide();
    tableView->verticalHeader()->setDefaultSectionSize(24);
    tableView->horizontalHeader()->setStretchLastSection(true);
    tableView->horizontalHeader()->setDefaultSectionSize(110);

    auto* results = new QWidget;
    auto* resultsLayout = new QVBoxLayout(results);
    resultsLayout->setContentsMargins(0, 0, 0, 0);
    resultsLayout->addWidget(chartView, 3);
    resultsLayout->addWidget(tableView, 2);
    emptyLabel->setObjectName(QStringLiteral("empty"));
    emptyLabel->setAlignment(Qt::AlignCenter);
    emptyLabel->setWordWrap(true);
    pages->addWidget(results);
    pages->addWidget(emptyLabel);
    layout->addWidget(pages, 1);

    auto* actions = new QHBoxLayout;
    actions->addWidget(deleteButton);
    actions->addStretch();
    actions->addWidget(exportButton);
    layout->addLayout(actions);
    QObject::connect(deleteButton, &QPushButton::clicked, deleteButton, [this] { App().Guard([&] { DeleteChosen(); }); });
    QObject::connect(exportButton, &QPushButton::clicked, exportButton, [this] { App().Guard([&] { Export(); }); });
}

// The widgets outlive this class's members, and the table view reads the
// rows while its window closes: it must not find them gone.
StatisticsWindow::~StatisticsWindow() { model_->SetTable(nullptr); }

void StatisticsWindow::FormShow() {
    ResultsDatabase* db = program.Results.get();
    // Results the writer stores from now on show at once (Reload reads them
    // afresh each time the window is shown).
    if (db) db->SetRecordedListener([this](ResultKind) { ResultRecorded(); });
    const auto preference = [db](const QString& key) { return db ? db->Preference(key) : std::nullopt; };
    if (!preferencesRead_) {
        preferencesRead_ = true;
        ReadPreferences(preference);
    }
    if (opened_) {
        Reload();
        return;
    }
    std::optional<ResultKind> kind;
    const QString chosen = preference(kKindKey).value_or(QString());
    for (const ResultKind k : kResultKinds) {
        if (KindKey(k) == chosen) kind = k;
    }
    if (!kind && db && db->Available()) kind = db->Training().NewestKind;
    ShowKind(kind.value_or(kind_));
}

void StatisticsWindow::ReadPreferences(const std::function<std::optional<QString>(const QString&)>& preference) {
    bool goalRead = false;
    const int goal = preference(kGoalKey).value_or(QString()).toInt(&goalRead);
    if (goalRead) {
        const QSignalBlocker quiet(goalBox);
        goalBox->setValue(goal);
    }
    const QString view = preference(kViewKey).value_or(QString());
    for (int k = 0; k < static_cast<int>(std::size(kViews)); ++k) {
        if (ViewKey(kViews[k]) == view) viewBox->setCurrentIndex(k);
    }
}

void StatisticsWindow::ChooseKind(ResultKind kind) {
    ShowKind(kind);
    KeepPreference(kKindKey, KindKey(kind));
}

void StatisticsWindow::KeepPreference(const QString& key, const QString& value) {
    ResultsDatabase* db = program.Results.get();
    if (db && db->Available() && db->Preference(key) != value) db->SetPreference(key, value);
}

void StatisticsWindow::ShowKind(ResultKind kind) {
    kind_ = kind;
    opened_ = true;
    kindButtons[static_cast<std::size_t>(kind)]->setChecked(true);
    textBox->clear();
    levelBox->clear();
    Reload();
}

void StatisticsWindow::Reload() {
    const ResultsDatabase* db = program.Results.get();
    const bool available = db && db->Available();
    table_ = available ? db->Table(kind_) : ResultTable{};
    log_ = available ? db->Training() : TrainingLog{};
    FillFilters();
    ApplyFilters();
    if (db && !db->Available()) {
        emptyLabel->setText(QStringLiteral("Результаты недоступны.\n%1").arg(db->Problem()));
    } else {
        emptyLabel->setText(EmptyText(kind_));
    }
    ShowTraining();
}

// The texts and levels of the kind's results, keeping the ones chosen.
void StatisticsWindow::FillFilters() {
    const bool texts = kind_ == ResultKind::ReadingTest || kind_ == ResultKind::Exercise;
    const bool levels = kind_ == ResultKind::Exercise;
    QSet<QString> titles;
    QSet<int> levelsUsed;
    for (const ResultRow& row : table_.Rows) {
        if (texts) titles.insert(row.Text);
        if (levels) levelsUsed.insert(row.Level);
    }
    const QVariant text = textBox->currentData();
    const QVariant level = levelBox->currentData();
    textBox->clear();
    textBox->addItem(QStringLiteral("Все тексты"));
    QStringList sortedTitles(titles.begin(), titles.end());
    sortedTitles.sort(Qt::CaseInsensitive);
    for (const QString& title : sortedTitles) {
        textBox->addItem(title.isEmpty() ? QStringLiteral("(без названия)") : title, title);
    }
    levelBox->clear();
    levelBox->addItem(QStringLiteral("Все уровни"));
    QList<int> sortedLevels(levelsUsed.begin(), levelsUsed.end());
    std::sort(sortedLevels.begin(), sortedLevels.end());
    for (const int l : sortedLevels) levelBox->addItem(QString::number(l), l);
    if (text.isValid()) textBox->setCurrentIndex(std::max(0, textBox->findData(text)));
    if (level.isValid()) levelBox->setCurrentIndex(std::max(0, levelBox->findData(level)));
    for (auto [box, shown] : {std::pair{textBox, texts}, std::pair{levelBox, levels}}) {
        box->setVisible(shown);
        if (auto* caption = qobject_cast<QWidget*>(box->property("caption").value<QObject*>())) caption->setVisible(shown);
    }
}

void StatisticsWindow::ApplyFilters() {
    const QVariant text = textBox->currentData();
    const QVariant level = levelBox->currentData();
    shown_.Headers = table_.Headers;
    shown_.Kinds = table_.Kinds;
    shown_.Rows.clear();
    for (const ResultRow& row : table_.Rows) {
        if (text.isValid() && row.Text != text.toString()) continue;
        if (level.isValid() && row.Level != level.toInt()) continue;
        shown_.Rows.push_back(row);
    }
    model_->SetTable(&shown_);
    // Dates whole; the columns of figures narrow, a text's title wider.
    for (int column = 0; column < model_->columnCount({}); ++column) {
        const QString& header = shown_.Headers[column];
        int width = 84;
        if (column == 0) width = 150;
        if (header == QStringLiteral("Слов в минуту")) width = 120;
        if (header == QStringLiteral("Этап") || header == QStringLiteral("Уровень")) width = 70;
        if (header == QStringLiteral("Текст")) width = 200;
        tableView->setColumnWidth(column, width);
    }
    chart->Fill(kind_, shown_.Rows, kViews[std::clamp(viewBox->currentIndex(), 0, 2)], chartView->width() - 90);
    const bool any = !shown_.Rows.empty();
    pages->setCurrentIndex(any ? 0 : 1);
    summaryLabel->setText(any ? SummaryLine(kind_, Summarize(shown_)) : QString());
    summaryLabel->setVisible(any);
    deleteButton->setEnabled(any);
    exportButton->setEnabled(any);
}

void StatisticsWindow::ShowTraining() {
    training_ = SummarizeTraining(log_.Days, today_());
    trainingLabel->setText(TrainingLine(training_));
    const int goal = goalBox->value();
    goalLabel->setText(GoalLine(training_, goal));
    const bool reached = GoalReached(training_, goal);
    if (goalLabel->property("reached").toBool() != reached) {
        goalLabel->setProperty("reached", reached);
        // The style sheet looks at the property again only when told.
        goalLabel->setStyleSheet(QString());
    }
}

// Told by the database, on whichever thread stored the result: the window
// reads it once on the windows' thread, however many came meanwhile.
void StatisticsWindow::ResultRecorded() {
    if (refreshDue_.exchange(true)) return;
    QMetaObject::invokeMethod(
        Widget(),
        [this] {
            refreshDue_ = false;
            if (Visible()) App().Guard([&] { Reload(); });
        },
        Qt::QueuedConnection);
}

void StatisticsWindow::DeleteChosen() {
    const QModelIndexList chosen = tableView->selectionModel()->selectedRows();
    if (chosen.isEmpty()) throw Error(QStringLiteral("Выберите в таблице результат, который нужно удалить."));
    DeleteRow(chosen.front().row());
}

void StatisticsWindow::DeleteRow(int row) {
    if (row < 0 || row >= static_cast<int>(shown_.Rows.size())) return;
    // Copied: the rows are read afresh if a result comes while the question waits.
    const ResultRow result = shown_.Rows[static_cast<std::size_t>(row)];
    const ResultKind kind = kind_;
    const QString question = QStringLiteral("Удалить результат от %1 (%2 %3)? Его нельзя будет вернуть.")
                                 .arg(result.Cells.value(0), ShownCell(result.Cells.value(1), CellKind::Number),
                                      FigureName(kind));
    if (!App().StandardDialogs().Confirm(question)) return;
    if (program.Results) program.Results->Delete(kind, result.Id);
    Reload();
}

void StatisticsWindow::Export() {
    if (shown_.Rows.empty()) return;
    const QString suggested = QDir(program.StartDirectory).filePath(FileStem(kind_) + QStringLiteral(".csv"));
    const std::optional<SaveChoice> choice = App().StandardDialogs().SaveFile(
        QStringLiteral("Таблицы CSV (через запятую, дробные с точкой)|*.csv|"
                       "Таблицы CSV для русских Excel и LibreOffice (через «;», дробные с запятой)|*.csv|"
                       "Все файлы|*.*"),
        suggested);
    if (!choice) return;
    const CsvForm form = choice->FileType == 1 ? CsvForm::Russian : CsvForm::Plain;
    WriteFileAtomically(choice->Path, ToCsv(shown_, form));
}

}  // namespace vistorel
