#include "history/WaitingResults.h"

#include "platform/Plural.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace vistorel {
namespace {

constexpr int kWaitingFormat = 1;

QString JsonStamp(const QDateTime& at) { return at.toUTC().toString(Qt::ISODateWithMs); }
QDateTime JsonTime(const QJsonValue& value) { return QDateTime::fromString(value.toString(), Qt::ISODateWithMs); }

QString WhenTaken(const QDateTime& at) {
    const QDateTime local = at.toLocalTime();
    return local.date() == QDate::currentDate() ? local.toString(QStringLiteral("HH:mm:ss"))
                                                : local.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QJsonObject EntryJson(const ReadingTestResult& r) {
    return {{"kind", "reading"},
            {"taken_at", JsonStamp(r.TakenAt)},
            {"title", r.Title},
            {"path", r.Path},
            {"characters", qint64{r.Characters}},
            {"seconds", r.Seconds},
            {"wpm", qint64{r.WordsPerMinute}},
            {"bps", qint64{r.Bps}}};
}

QJsonObject EntryJson(const IpsTestResult& r) {
    return {{"kind", "ips"},
            {"taken_at", JsonStamp(r.TakenAt)},
            {"seconds", r.Seconds},
            {"ips", r.Ips},
            {"mi", qint64{r.Mi}},
            {"ipi", qint64{r.Ipi}},
            {"hits", qint64{r.Hits}},
            {"misses", qint64{r.Misses}}};
}

QJsonObject EntryJson(const MemoryTestResult& r) {
    return {{"kind", "memory"}, {"taken_at", JsonStamp(r.TakenAt)}, {"score", r.Score}, {"isr", r.Isr}};
}

QJsonObject EntryJson(const ExerciseSessionResult& s) {
    return {{"kind", "exercise"},
            {"started_at", JsonStamp(s.StartedAt)},
            {"ended_at", JsonStamp(s.EndedAt)},
            {"title", s.Title},
            {"path", s.Path},
            {"level", s.Level},
            {"last_stage", s.LastStage},
            {"active_seconds", s.ActiveSeconds},
            {"words", qint64{s.WordsShown}},
            {"lines", qint64{s.LinesAdvanced}},
            {"wpm", qint64{s.WordsPerMinute}}};
}

QJsonObject EntryJson(const PlaceOfText& p) {
    return {{"kind", "place"},       {"path", p.Path},       {"title", p.Title},
            {"line", p.Place.Line}, {"word", p.Place.Word}, {"fingerprint", p.Place.Fingerprint}};
}

std::int64_t JsonInteger(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).toInteger(); }
double JsonNumber(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).toDouble(); }
QString JsonText(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).toString(); }

std::optional<WaitingEntry> EntryFromJson(const QJsonObject& o) {
    const QString kind = JsonText(o, "kind");
    const auto integer = [&o](const char* key) { return JsonInteger(o, key); };
    const auto number = [&o](const char* key) { return JsonNumber(o, key); };
    const auto text = [&o](const char* key) { return JsonText(o, key); };
    const auto time = [&o](const char* key) { return JsonTime(o.value(QLatin1String(key))); };
    WaitingEntry entry;
    entry.Running = o.value(QLatin1String("running")).toBool();
    if (kind == QLatin1String("reading")) {
        entry.What = AnyResult{ReadingTestResult{time("taken_at"), text("title"), text("path"), integer("characters"),
                                                 number("seconds"), integer("wpm"), integer("bps")}};
    } else if (kind == QLatin1String("ips")) {
        entry.What = AnyResult{IpsTestResult{time("taken_at"), number("seconds"), number("ips"), integer("mi"),
                                             integer("ipi"), integer("hits"), integer("misses")}};
    } else if (kind == QLatin1String("memory")) {
        entry.What = AnyResult{MemoryTestResult{time("taken_at"), static_cast<int>(integer("score")), number("isr")}};
    } else if (kind == QLatin1String("exercise")) {
        entry.What = AnyResult{ExerciseSessionResult{
            time("started_at"), time("ended_at"), text("title"), text("path"), static_cast<int>(integer("level")),
            static_cast<int>(integer("last_stage")), number("active_seconds"), integer("words"), integer("lines"),
            integer("wpm")}};
    } else if (kind == QLatin1String("place")) {
        entry.What = PlaceOfText{text("path"), text("title"),
                                 {static_cast<int>(integer("line")), static_cast<int>(integer("word")),
                                  text("fingerprint")}};
    } else {
        return std::nullopt;
    }
    if (const AnyResult* result = entry.Result(); result && !TimeOf(*result).isValid()) return std::nullopt;
    return entry;
}

}  // namespace

ResultKind KindOf(const AnyResult& result) {
    struct Kind {
        ResultKind operator()(const ReadingTestResult&) const { return ResultKind::ReadingTest; }
        ResultKind operator()(const IpsTestResult&) const { return ResultKind::IpsTest; }
        ResultKind operator()(const MemoryTestResult&) const { return ResultKind::MemoryTest; }
        ResultKind operator()(const ExerciseSessionResult&) const { return ResultKind::Exercise; }
    };
    return std::visit(Kind{}, result);
}

QDateTime TimeOf(const AnyResult& result) {
    struct Time {
        QDateTime operator()(const ReadingTestResult& r) const { return r.TakenAt; }
        QDateTime operator()(const IpsTestResult& r) const { return r.TakenAt; }
        QDateTime operator()(const MemoryTestResult& r) const { return r.TakenAt; }
        QDateTime operator()(const ExerciseSessionResult& s) const { return s.StartedAt; }
    };
    return std::visit(Time{}, result);
}

QString Describe(const AnyResult& result) {
    struct Name {
        QString operator()(const ReadingTestResult& r) const {
            return QStringLiteral("тест скорости чтения %1 (%2 слов/мин)").arg(WhenTaken(r.TakenAt)).arg(r.WordsPerMinute);
        }
        QString operator()(const IpsTestResult& r) const {
            return QStringLiteral("IPS тест %1 (IPS %2)").arg(WhenTaken(r.TakenAt), QString::number(r.Ips, 'f', 2));
        }
        QString operator()(const MemoryTestResult& r) const {
            return QStringLiteral("тест памяти %1 (%2)").arg(WhenTaken(r.TakenAt), Counted(r.Score, {u"очко", u"очка", u"очков"}));
        }
        QString operator()(const ExerciseSessionResult& s) const {
            const QString title = s.Title.isEmpty() ? s.Path : s.Title;
            return QStringLiteral("упражнение %1 («%2», %3 слов/мин)").arg(WhenTaken(s.StartedAt), title).arg(s.WordsPerMinute);
        }
    };
    return std::visit(Name{}, result);
}

bool WaitingEntry::SameAs(const WaitingEntry& other) const {
    if (const PlaceOfText* place = Place()) return other.Place() && other.Place()->Path == place->Path;
    const auto* session = std::get_if<ExerciseSessionResult>(Result());
    const auto* otherSession = other.Result() ? std::get_if<ExerciseSessionResult>(other.Result()) : nullptr;
    return session && otherSession && session->StartedAt == otherSession->StartedAt && session->Path == otherSession->Path;
}

QByteArray WaitingToJson(const std::vector<WaitingEntry>& entries) {
    QJsonArray items;
    for (const WaitingEntry& entry : entries) {
        QJsonObject item = entry.Place() ? EntryJson(*entry.Place())
                                         : std::visit([](const auto& r) { return EntryJson(r); }, *entry.Result());
        if (entry.Running) item.insert(QStringLiteral("running"), true);
        items.append(item);
    }
    const QJsonObject file{{"vistorel_waiting_results", kWaitingFormat}, {"entries", items}};
    return QJsonDocument(file).toJson(QJsonDocument::Indented);
}

std::optional<std::vector<WaitingEntry>> WaitingFromJson(const QByteArray& bytes, QString* why) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        if (why) *why = QStringLiteral("это не JSON (%1)").arg(error.errorString());
        return std::nullopt;
    }
    const QJsonObject file = document.object();
    if (file.value(QLatin1String("vistorel_waiting_results")).toInt() != kWaitingFormat ||
        !file.value(QLatin1String("entries")).isArray()) {
        if (why) *why = QStringLiteral("в нём нет списка результатов этой программы");
        return std::nullopt;
    }
    std::vector<WaitingEntry> entries;
    const QJsonArray items = file.value(QLatin1String("entries")).toArray();
    for (const QJsonValue& item : items) {
        std::optional<WaitingEntry> entry = EntryFromJson(item.toObject());
        if (!entry) {
            if (why) *why = QStringLiteral("запись %1 не прочитана").arg(entries.size() + 1);
            return std::nullopt;
        }
        entries.push_back(std::move(*entry));
    }
    return entries;
}

}  // namespace vistorel
