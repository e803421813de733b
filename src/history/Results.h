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
    double Figure = 0;
    QStringList Cells;
};

struct ResultTable {
    QStringList Headers;
    std::vector<ResultRow> Rows;  // newest first
};

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

// The table as CSV (RFC 4180: commas, quoted where needed, CR LF), UTF-8
// with a byte order mark so that spreadsheets read the Cyrillic right.
QByteArray ToCsv(const ResultTable& table);

}  // namespace vistorel
