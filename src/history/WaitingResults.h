#pragma once
// What waits to be written into the results file: finished results, the
// session of an exercise that still runs, and reading places; how each is
// named to the user, and the file that keeps them between runs.

#include "history/Results.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

namespace vistorel {

using AnyResult = std::variant<ReadingTestResult, IpsTestResult, MemoryTestResult, ExerciseSessionResult>;

ResultKind KindOf(const AnyResult& result);
// When it was taken; for an exercise, when it started (which names it).
QDateTime TimeOf(const AnyResult& result);
// "упражнение 14:02:10 («Война и мир»)", "тест скорости чтения 14:05:00 (312 слов/мин)".
QString Describe(const AnyResult& result);

// The place reached in a text, for the text of that path.
struct PlaceOfText {
    QString Path;
    QString Title;
    ReadingPlace Place;
};

struct WaitingEntry {
    std::variant<AnyResult, PlaceOfText> What;
    // A session of an exercise still running: a later save replaces it.
    bool Running = false;

    const AnyResult* Result() const { return std::get_if<AnyResult>(&What); }
    const PlaceOfText* Place() const { return std::get_if<PlaceOfText>(&What); }
    // The same thing saved again: the same text's place, the same exercise's session.
    bool SameAs(const WaitingEntry& other) const;
};

// The entries as the waiting file holds them (JSON, UTF-8).
QByteArray WaitingToJson(const std::vector<WaitingEntry>& entries);
// None, with the reason in *why, when the bytes are not such a file.
std::optional<std::vector<WaitingEntry>> WaitingFromJson(const QByteArray& bytes, QString* why);

}  // namespace vistorel
