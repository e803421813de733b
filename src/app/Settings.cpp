#include "app/Settings.h"

#include <QFile>
#include <QSaveFile>
#include <cstring>

namespace vistorel {

void LoadSettingsFile(const QString& path, Settings& record) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.read(sizeof(Settings));
    std::memcpy(&record, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool SaveSettingsFile(const QString& path, const Settings& record) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const auto size = static_cast<qint64>(sizeof(Settings));
    // QSaveFile::commit() does not notice a failure of its own final flush, so
    // flush here: a record cut short must never replace the previous file.
    if (file.write(reinterpret_cast<const char*>(&record), size) != size || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace vistorel
