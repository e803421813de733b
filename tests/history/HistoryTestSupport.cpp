#include "history/HistoryTestSupport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace vistorel::test {

QVariant SqlValue(const QString& path, const char* sql) {
    const QString name = QStringLiteral("history-test");
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QString::fromUtf8(sql)) && query.next()) value = query.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

}  // namespace vistorel::test
