#pragma once
// Errors raised by the program and its toolkit layer. Handlers never let them
// escape: the handler guard passes them to the application's error handler.

#include <QString>
#include <stdexcept>

namespace vistorel {

// Base of every error the program raises on purpose; carries a user-readable message.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

private:
    QString message_;
};

// A file could not be opened, read, written or decoded. The message names the
// file and says why, in the words of the interface:
// «Не удаётся прочитать файл "sample.txt": файл не найден».
class FileError : public Error {
public:
    FileError(const QString& path, const QString& reason)
        : Error(QStringLiteral("Не удаётся прочитать файл \"%1\": %2").arg(path, reason)), path_(path) {}
    // action: what could not be done, as a verb phrase ("записать файл", "загрузить картинку").
    FileError(const QString& path, const QString& action, const QString& reason)
        : Error(QStringLiteral("Не удаётся %1 \"%2\": %3").arg(action, path, reason)), path_(path) {}
    // A message worded whole by the caller (it names the file itself).
    enum Worded { WholeMessage };
    FileError(const QString& path, Worded, const QString& message) : Error(message), path_(path) {}
    const QString& Path() const { return path_; }

private:
    QString path_;
};

// The user stopped the work (a reading cancelled): nothing to report.
class Cancelled : public Error {
public:
    Cancelled() : Error(QStringLiteral("Отменено.")) {}
};

// An index or count outside the range a table or a list allows.
class RangeError : public Error {
public:
    explicit RangeError(const QString& message) : Error(message) {}
};

}  // namespace vistorel
