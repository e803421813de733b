#include "records/Settings.h"

#include "platform/Errors.h"

#include <cstring>

namespace vistorel {

FileRead::Status LoadSettingsFile(const QString& path, Settings& record, QString* reason) {
    const FileRead read = TryReadRegularFile(path, sizeof(Settings), OverLimit::Cut);
    if (reason) *reason = read.Reason;
    if (read.Outcome == FileRead::Status::Read) {
        std::memcpy(&record, read.Bytes.constData(), static_cast<std::size_t>(read.Bytes.size()));
    }
    return read.Outcome;
}

bool SaveSettingsFile(const QString& path, const Settings& record, QString* error, const WriteFault& fault) {
    try {
        WriteFileAtomically(path, QByteArray(reinterpret_cast<const char*>(&record), sizeof(Settings)), fault);
        return true;
    } catch (const Error& e) {
        if (error) *error = e.Message();
        return false;
    }
}

}  // namespace vistorel
