#include "history/StatisticsWindow.h"

#include "app/Program.h"
#include "history/ResultsDatabase.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QStackedWidget>
#include <QTableView>
#include <QValueAxis>
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
        if (role == Qt::TextAlignmentRole) {
            // Figures to the right, dates and names to the left.
            const QString cell = table_->Rows[static_cast<std::size_t>(index.row())].Cells.value(index.column());
            const bool figure = index.column() > 0 && !cell.isEmpty() && cell.front().isDigit() && !cell.contains(u' ');
            return QVariant(figure ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
        }
        return table_->Rows[static_cast<std::size_t>(index.row())].Cells.value(index.column());
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

protected:
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
    "QLabel#summary { color: #FFA14D; }"
    "QLabel#empty { color: #B8B0A8; font-size: 16px; }";

const QColor kAccentColour(0xFF, 0xA1, 0x4D);

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

StatisticsWindow::StatisticsWindow(Program& program)
    : Form(program.App),
      series(new QLineSeries),
      chartView(new ChartView),
      tableView(new QTableView),
      summaryLabel(new QLabel),
      emptyLabel(new QLabel),
      pages(new QStackedWidget),
      deleteButton(new QPushButton(QStringLiteral("Удалить"))),
      exportButton(new QPushButton(QStringLiteral("Экспорт в CSV"))),
      program(program),
      model_(new ResultTableModel(tableView)) {
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
                         [this, kind] { App().Guard([&] { ShowKind(kind); }); });
    }
    kinds->addStretch();
    layout->addLayout(kinds);

    summaryLabel->setObjectName(QStringLiteral("summary"));
    summaryLabel->setWordWrap(true);
    layout->addWidget(summaryLabel);

    auto* chart = new QChart;
    chart->setTheme(QChart::ChartThemeDark);
    chart->setBackgroundBrush(QColor(0x0E, 0x0E, 0x0E));
    chart->setBackgroundPen(QPen(QColor(0x9A, 0x5E, 0x2A)));
    chart->setBackgroundRoundness(0);
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setTitleBrush(kAccentColour);
    series->setPen(QPen(kAccentColour, 2));
    series->setPointsVisible(true);
    chart->addSeries(series);
    auto* timeAxis = new QDateTimeAxis;
    timeAxis->setFormat(QStringLiteral("dd.MM.yy"));
    timeAxis->setTickCount(6);
    auto* valueAxis = new QValueAxis;
    valueAxis->setLabelFormat(QStringLiteral("%.0f"));
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(timeAxis), static_cast<QAbstractAxis*>(valueAxis)}) {
        axis->setLabelsBrush(QColor(0xF2, 0xEE, 0xE9));
        axis->setGridLineColor(QColor(0x2A, 0x2A, 0x2A));
        axis->setLinePenColor(QColor(0x9A, 0x5E, 0x2A));
    }
    chart->addAxis(timeAxis, Qt::AlignBottom);
    chart->addAxis(valueAxis, Qt::AlignLeft);
    series->attachAxis(timeAxis);
    series->attachAxis(valueAxis);
    // A chart view starts with an empty chart of its own, which it lets go of
    // when given another: it is deleted here.
    const std::unique_ptr<QChart> emptyChart(chartView->chart());
    chartView->setChart(chart);
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setMinimumHeight(260);

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

void StatisticsWindow::FormShow() { ShowKind(kind_); }

void StatisticsWindow::ShowKind(ResultKind kind) {
    kind_ = kind;
    kindButtons[static_cast<std::size_t>(kind)]->setChecked(true);
    const ResultsDatabase* db = program.Results.get();
    table_ = db && db->Available() ? db->Table(kind) : ResultTable{};
    model_->SetTable(&table_);
    // Dates whole; the columns of figures narrow, a text's title wider.
    for (int column = 0; column < model_->columnCount({}); ++column) {
        const QString& header = table_.Headers[column];
        int width = 84;
        if (column == 0) width = 150;
        if (header == QStringLiteral("Слов в минуту")) width = 120;
        if (header == QStringLiteral("Этап") || header == QStringLiteral("Уровень")) width = 70;
        if (header == QStringLiteral("Текст")) width = 200;
        tableView->setColumnWidth(column, width);
    }
    FillChart();
    const bool any = !table_.Rows.empty();
    if (db && !db->Available()) {
        emptyLabel->setText(QStringLiteral("Результаты недоступны.\n%1").arg(db->Problem()));
    } else {
        emptyLabel->setText(EmptyText(kind));
    }
    pages->setCurrentIndex(any ? 0 : 1);
    summaryLabel->setText(any ? SummaryLine(kind, Summarize(table_)) : QString());
    summaryLabel->setVisible(any);
    deleteButton->setEnabled(any);
    exportButton->setEnabled(any);
}

void StatisticsWindow::FillChart() {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(table_.Rows.size()));
    double low = 0, high = 1;
    for (auto row = table_.Rows.rbegin(); row != table_.Rows.rend(); ++row) {
        points.append(QPointF(static_cast<double>(row->At.toMSecsSinceEpoch()), row->Figure));
        high = std::max(high, row->Figure);
    }
    // Thousands of results: a plain line, drawn without smoothing.
    series->setPointsVisible(points.size() <= 200);
    const bool many = points.size() > 1000;
    chartView->setRenderHint(QPainter::Antialiasing, !many);
    series->setPen(QPen(kAccentColour, many ? 0 : 2));
    series->replace(points);
    QChart* chart = chartView->chart();
    chart->setTitle(QStringLiteral("%1: %2").arg(KindName(kind_), FigureName(kind_)));
    const auto axes = chart->axes();
    for (QAbstractAxis* axis : axes) {
        if (auto* time = qobject_cast<QDateTimeAxis*>(axis)) {
            const QDateTime first =
                (table_.Rows.empty() ? QDateTime::currentDateTime() : table_.Rows.back().At).toLocalTime();
            const QDateTime last = table_.Rows.empty() ? first : table_.Rows.front().At.toLocalTime();
            // A day either side, so that single points do not sit on the edges.
            time->setRange(first.addSecs(-12 * 3600), last.addSecs(12 * 3600));
            time->setFormat(first.daysTo(last) < 2 ? QStringLiteral("dd.MM HH:mm") : QStringLiteral("dd.MM.yy"));
        } else if (auto* value = qobject_cast<QValueAxis*>(axis)) {
            value->setRange(low, high * 1.1);
            value->applyNiceNumbers();
        }
    }
}

void StatisticsWindow::DeleteChosen() {
    const QModelIndexList chosen = tableView->selectionModel()->selectedRows();
    if (chosen.isEmpty()) throw Error(QStringLiteral("Выберите в таблице результат, который нужно удалить."));
    DeleteRow(chosen.front().row());
}

void StatisticsWindow::DeleteRow(int row) {
    if (row < 0 || row >= static_cast<int>(table_.Rows.size())) return;
    const ResultRow& result = table_.Rows[static_cast<std::size_t>(row)];
    const QString question = QStringLiteral("Удалить результат от %1 (%2 %3)? Его нельзя будет вернуть.")
                                 .arg(result.Cells.value(0), result.Cells.value(1), FigureName(kind_));
    if (!App().StandardDialogs().Confirm(question)) return;
    if (program.Results) program.Results->Delete(kind_, result.Id);
    ShowKind(kind_);
}

void StatisticsWindow::Export() {
    if (table_.Rows.empty()) return;
    const QString suggested = QDir(program.StartDirectory).filePath(FileStem(kind_) + QStringLiteral(".csv"));
    const std::optional<QString> path =
        App().StandardDialogs().SaveFile(QStringLiteral("Таблицы CSV|*.csv|Все файлы|*.*"), suggested);
    if (!path) return;
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ToCsv(table_)) < 0 || !file.commit()) {
        throw Error(QStringLiteral("Не удаётся записать файл \"%1\": %2.").arg(*path, file.errorString()));
    }
}

}  // namespace vistorel
