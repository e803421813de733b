#include "history/ResultsWriter.h"

#include "history/ResultsDatabase.h"
#include "platform/Errors.h"
#include "platform/FileAccess.h"
#include "platform/Plural.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <algorithm>

namespace vistorel {
namespace {

// A waiting file is small: a few results and places. Anything far larger is no such file.
constexpr qint64 kLargestWaitingFile = 16 * 1024 * 1024;

const NounForms kResultNouns{u"результат", u"результата", u"результатов"};

}  // namespace

ResultsWriter::ResultsWriter(const QString& databasePath, const QString& waitingPath, Events events, int retryMs,
                             int busyTimeoutMs)
    : databasePath_(databasePath),
      waitingPath_(waitingPath),
      events_(std::move(events)),
      retryMs_(retryMs),
      busyTimeoutMs_(busyTimeoutMs),
      context_(std::make_unique<QObject>()) {
    thread_ = std::thread([this] { Run(); });
}

ResultsWriter::~ResultsWriter() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void ResultsWriter::Record(const AnyResult& result) { Add({result, false}); }

void ResultsWriter::SaveRunning(const ExerciseSessionResult& session) { Add({AnyResult{session}, true}); }

void ResultsWriter::SavePlace(const QString& path, const QString& title, const ReadingPlace& place) {
    Add({PlaceOfText{path, title, place}, false});
}

void ResultsWriter::Add(WaitingEntry item) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto same = std::find_if(entries_.begin(), entries_.end(),
                                       [&](const Entry& entry) { return entry.Item.SameAs(item); });
        if (same != entries_.end()) {
            *same = {std::move(item), nextId_++, false};
        } else {
            entries_.push_back({std::move(item), nextId_++, false});
        }
        ++changes_;
        poke_ = true;
    }
    wake_.notify_all();
}

std::optional<ReadingPlace> ResultsWriter::WaitingPlace(const QString& path) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const Entry& entry : entries_) {
        if (const PlaceOfText* place = entry.Item.Place(); place && place->Path == path) return place->Place;
    }
    return std::nullopt;
}

int ResultsWriter::WaitingResults() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [](const Entry& entry) { return entry.Item.Result() != nullptr; }));
}

bool ResultsWriter::Flush(int timeoutMs) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const std::uint64_t mark = begun_;
        poke_ = true;
        wake_.notify_all();
        passed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                         [&] { return ready_ && ((entries_.empty() && !fileExists_) || failedPass_ > mark); });
    }
    QCoreApplication::sendPostedEvents(context_.get());
    return WaitingResults() == 0;
}

void ResultsWriter::Post(std::function<void()> event) {
    if (event) QMetaObject::invokeMethod(context_.get(), std::move(event), Qt::QueuedConnection);
}

// The names of the results that wait, in the order they came; with the
// sessions of running exercises or without.
QStringList ResultsWriter::WaitingNames(bool running) const {
    QStringList names;
    for (const Entry& entry : entries_) {
        const AnyResult* result = entry.Item.Result();
        if (result && (running || !entry.Item.Running)) names.append(Describe(*result));
    }
    return names;
}

namespace {

// The words for one result that waits, and for several.
struct WaitingWords {
    explicit WaitingWords(qsizetype count) : one(count == 1) {}
    QString Pick(const char* single, const char* several) const {
        return QString::fromUtf8(one ? single : several);
    }
    bool one;
};

}  // namespace

QString ResultsWriter::WhereTheyWait(qsizetype count) const {
    const WaitingWords w(count);
    if (fileProblem_.isEmpty()) {
        return w.Pick("Он сохранён в файле \"%1\" и будет записан, как только файл результатов снова сможет его принять",
                      "Они сохранены в файле \"%1\" и будут записаны, как только файл результатов снова сможет их "
                      "принять")
                   .arg(waitingPath_) +
               QStringLiteral(", самое позднее при следующем запуске программы. Тренировки идут как обычно.");
    }
    return w.Pick("Сохранить его в запасной файл тоже не удалось (%1): пока программа открыта, он хранится в её памяти "
                  "и будет записан, как только файл результатов снова сможет его принять.",
                  "Сохранить их в запасной файл тоже не удалось (%1): пока программа открыта, они хранятся в её "
                  "памяти и будут записаны, как только файл результатов снова сможет их принять.")
        .arg(fileProblem_);
}

QString ResultsWriter::ExitMessage() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const QStringList names = WaitingNames(true);
    if (names.isEmpty()) return {};
    const WaitingWords w(names.size());
    const QString head = QStringLiteral("В файл результатов \"%1\" не удалось записать %2: %3.\nПричина: %4.\n")
                             .arg(databasePath_, Counted(names.size(), kResultNouns), names.join(QStringLiteral(", ")),
                                  reason_.isEmpty() ? QStringLiteral("файл недоступен") : reason_);
    if (fileExists_ && filedAt_ == changes_) {
        return head + w.Pick("Он сохранён в файле \"%1\" и будет записан при следующем запуске программы.",
                             "Они сохранены в файле \"%1\" и будут записаны при следующем запуске программы.")
                          .arg(waitingPath_);
    }
    return head + w.Pick("Сохранить его не удалось и в запасной файл \"%1\" (%2): он будет потерян.",
                         "Сохранить их не удалось и в запасной файл \"%1\" (%2): они будут потеряны.")
                      .arg(waitingPath_, fileProblem_.isEmpty() ? QStringLiteral("он не успел записаться") : fileProblem_);
}

void ResultsWriter::LoadWaitingFile() {
    const FileRead read = TryReadRegularFile(waitingPath_, kLargestWaitingFile);
    if (read.Outcome == FileRead::Status::Missing) return;
    QString why = read.Reason;
    std::optional<std::vector<WaitingEntry>> items;
    if (read.Outcome == FileRead::Status::Read) items = WaitingFromJson(read.Bytes, &why);
    if (!items) {
        // Kept for whoever can read it; the next waiting file must not replace it.
        const QFileInfo info(waitingPath_);
        const QString aside = info.dir().filePath(
            QStringLiteral("%1-повреждён-%2.%3")
                .arg(info.completeBaseName(),
                     QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss")), info.suffix()));
        const bool renamed = QFile::rename(waitingPath_, aside);
        Post([report = events_.Report, message = QStringLiteral("Не удаётся прочитать файл \"%1\" с результатами, "
                                                                 "которые ждали записи: %2. %3")
                                                      .arg(waitingPath_, why,
                                                           renamed ? QStringLiteral("Он сохранён под именем \"%1\".").arg(aside)
                                                                   : QStringLiteral("Он оставлен как есть."))] {
            if (report) report(message);
        });
        return;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    for (WaitingEntry& item : *items) entries_.push_back({std::move(item), nextId_++, false});
    ++changes_;
    filedAt_ = changes_;
    fileExists_ = true;
    poke_ = true;
}

void ResultsWriter::UpdateWaitingFile(std::unique_lock<std::mutex>& lock) {
    if (entries_.empty()) {
        if (!fileExists_) return;
        lock.unlock();
        QFile::remove(waitingPath_);
        lock.lock();
        // A file that could not be removed holds results already written:
        // the next start finds them stored and does not store them twice.
        if (entries_.empty()) fileExists_ = false;
        return;
    }
    if (!(failing_ || stop_ || fileExists_) || filedAt_ == changes_) return;
    std::vector<WaitingEntry> items;
    for (const Entry& entry : entries_) items.push_back(entry.Item);
    const std::uint64_t at = changes_;
    lock.unlock();
    QString problem;
    try {
        WritePlainFile(waitingPath_, WaitingToJson(items));
    } catch (const Error& e) {
        problem = e.Message();
    }
    lock.lock();
    if (problem.isEmpty()) {
        fileExists_ = true;
        filedAt_ = at;
    }
    fileProblem_ = problem;
}

void ResultsWriter::Run() {
    db_ = std::make_unique<ResultsDatabase>(
        databasePath_, [this](const QString& message) { databaseMessage_ = message; }, busyTimeoutMs_);
    LoadWaitingFile();
    std::unique_lock<std::mutex> lock(mutex_);
    ready_ = true;
    passed_.notify_all();
    for (;;) {
        while (!stop_ && !poke_ && !(failing_ && !entries_.empty() && std::chrono::steady_clock::now() >= retryAt_)) {
            if (failing_ && !entries_.empty()) {
                wake_.wait_until(lock, retryAt_);
            } else {
                wake_.wait(lock);
            }
        }
        poke_ = false;
        const std::uint64_t pass = ++begun_;
        const QString asideBefore = db_->KeptAside();
        bool failed = false;
        while (!entries_.empty() && !failed) {
            const Entry entry = entries_.front();
            lock.unlock();
            bool stored = false;
            if (const PlaceOfText* place = entry.Item.Place()) {
                stored = db_->SavePlace(place->Path, place->Title, place->Place);
            } else {
                stored = db_->Store(*entry.Item.Result());
            }
            lock.lock();
            if (!stored) {
                failed = true;
                break;
            }
            // Saved again meanwhile: the newer save is still to be written.
            const auto written = std::find_if(entries_.begin(), entries_.end(),
                                              [&](const Entry& e) { return e.Id == entry.Id; });
            if (written != entries_.end()) {
                entries_.erase(written);
                ++changes_;
            }
            const AnyResult* result = entry.Item.Result();
            Post([written = events_.Written, kind = result ? std::optional(KindOf(*result)) : std::nullopt] {
                if (written) written(kind);
            });
        }
        failing_ = failed;
        if (failed) {
            reason_ = db_->LastReason();
            retryAt_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(retryMs_);
        }
        if (db_->KeptAside() != asideBefore) {
            Post(events_.Replaced);
            Post([report = events_.Report, message = databaseMessage_] {
                if (report) report(message);
            });
        }
        UpdateWaitingFile(lock);
        // A finished result that has not been named yet: one message names all that wait.
        const bool unnamed = std::any_of(entries_.begin(), entries_.end(), [](const Entry& e) {
            return e.Item.Result() && !e.Item.Running && !e.Reported;
        });
        if (failed && unnamed) {
            for (Entry& entry : entries_) entry.Reported = true;
            Post([report = events_.Report,
                  message = QStringLiteral("Результат не записан в файл результатов \"%1\": %2.\nЖдут записи (%3): %4.\n%5")
                                .arg(databasePath_, reason_)
                                .arg(WaitingNames(false).size())
                                .arg(WaitingNames(false).join(QStringLiteral(", ")),
                                     WhereTheyWait(WaitingNames(false).size()))] {
                if (report) report(message);
            });
        }
        // Only now: a flush that sees the failure finds the waiting file written.
        if (failed) failedPass_ = pass;
        passed_.notify_all();
        if (stop_) break;
    }
    lock.unlock();
    db_.reset();
}

}  // namespace vistorel
