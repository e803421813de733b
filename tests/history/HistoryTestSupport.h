#pragma once
// Helpers for the tests of the results and the statistics.

#include "history/Results.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace vistorel::test {

// A moment of March 2026, local time.
inline QDateTime At(int day, int minute, int hour = 10) {
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute));
}

// A reading test of 2000 characters read at `wordsPerMinute`.
inline ReadingTestResult ReadingTest(const QDateTime& at, int wordsPerMinute, const QString& title = QStringLiteral("Текст"),
                                     const QString& path = QStringLiteral("t.txt")) {
    return {at, title, path, 2000, 12000.0 / wordsPerMinute, wordsPerMinute, (wordsPerMinute * 11 + 1) / 2};
}

// Runs one statement on the file through a connection of its own; the first
// value of the first row it gives.
QVariant SqlValue(const QString& path, const char* sql);

QByteArray FileBytes(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

}  // namespace vistorel::test
