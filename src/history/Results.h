#pragma once
// What the program remembers of the user's training: the results of the
// three tests, the exercise sessions and the place reached in each text.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace vistorel {

struct ReadingTestResult {
    QDateTime TakenAt;
    QString Title;
    QString Path;
    std::int64_t Characters = 0;
    double Seconds = 0;
    std::int64_t WordsPerMinute = 0;
    std::int64_t Bps = 0;
};

struct IpsTestResult {
    QDateTime TakenAt;
    double Seconds = 0;
    double Ips = 0;
    std::int64_t Mi = 0;
    std::int64_t Ipi = 0;
    std::int64_t Hits = 0;    // targets found
    std::int64_t Misses = 0;  // targets left unfound
};

struct MemoryTestResult {
    QDateTime TakenAt;
    int Score = 0;
    double Isr = 0;
};

struct ExerciseSessionResult {
    QDateTime StartedAt;
    QDateTime EndedAt;
    QString Title;
    QString Path;
    int Level = 0;
    int LastStage = 0;
    double ActiveSeconds = 0;  // running time, pauses left out
    std::int64_t WordsShown = 0;
    std::int64_t LinesAdvanced = 0;
    std::int64_t WordsPerMinute = 0;  // measured: words shown over active time
};

// Where reading stopped in a text: the line and the word of that line last
// shown, and what that line (and its neighbours) said, to find it again when
// the text has changed.
struct ReadingPlace {
    int Line = 0;
    int Word = 0;
    QString Fingerprint;
};

// A book's own title and annotation, in full.
struct BookDetails {
    QString FullTitle;
    QString Annotation;
};

enum class ResultKind { ReadingTest, IpsTest, MemoryTest, Exercise };
inline constexpr ResultKind kResultKinds[] = {ResultKind::ReadingTest, ResultKind::IpsTest, ResultKind::MemoryTest,
                                             ResultKind::Exercise};

// One stored result as the statistics show it: its main figure over time and
// its columns as text (numbers with a decimal point, whatever the locale).
struct ResultRow {
    std::int64_t Id = 0;
    QDateTime At;
    // The local time of At, in ms since 1970-01-01 00:00 of the local clock:
    // LocalMs / kDayMs is the local day, counted from that one.
    std::int64_t LocalMs = 0;
    double Figure = 0;
    QString Text;   // the text read (its title), for the kinds read from a text
    int Level = 0;  // the level of an exercise; 0 for the tests
    QStringList Cells;
};

inline constexpr std::int64_t kDayMs = 86400000;

// What a column holds: a date and time ("2026-03-05 10:00:00"), a time of
// day, a number (with a decimal point), or text.
enum class CellKind { DateTime, Time, Number, Text };

struct ResultTable {
    QStringList Headers;
    std::vector<CellKind> Kinds;  // one for each header
    std::vector<ResultRow> Rows;  // newest first
};

// A number as the Russian interface shows it: a decimal comma ("19,10").
QString ShownNumber(double value, int decimals);
// A cell as shown: a number's decimal point turned into a comma.
QString ShownCell(const QString& cell, CellKind kind);

// The name of a kind, its main figure and the figure's unit, for captions.
QString KindName(ResultKind kind);
QString FigureName(ResultKind kind);

// The best main figure and the trend: the mean of the last five results
// against the mean of the first five (of fewer, half of them each, so that
// the two never share a result).
struct ResultSummary {
    int Count = 0;
    double Best = 0;
    QDateTime BestAt;
    int TrendOf = 0;  // results in each mean; 0: too few for a trend
    double FirstMean = 0;
    double LastMean = 0;
};
ResultSummary Summarize(const ResultTable& table);
// "Лучший результат: 356 ... Тренд: ...", or what is missing for them.
QString SummaryLine(ResultKind kind, const ResultSummary& summary);

// The table as CSV, UTF-8 with a byte order mark so that spreadsheets read
// the Cyrillic right, CR LF at the line ends, fields quoted where needed.
// Plain: RFC 4180, commas between fields, decimal points, dates as stored.
// Russian: what spreadsheets set to Russian read as numbers and dates:
// semicolons between fields, decimal commas, dates as 05.03.2026 10:00:00.
enum class CsvForm { Plain, Russian };
QByteArray ToCsv(const ResultTable& table, CsvForm form = CsvForm::Plain);

}  // namespace vistorel
