#include "books/ZipArchive.h"

#include "platform/Errors.h"

#include <zip.h>

namespace vistorel {
namespace {

QString Megabytes(qint64 bytes) { return QString::number(bytes / (1024 * 1024)); }

const QString kDamaged = QStringLiteral("архив повреждён или это не zip-архив");

}  // namespace

void RefuseBook(const QString& path, const QString& reason) {
    throw FileError(path, QStringLiteral("открыть книгу"), reason);
}

void ZipArchive::Closer::operator()(zip* archive) const { zip_discard(archive); }

ZipArchive::ZipArchive(const QByteArray& bytes, const QString& path, const ReadLimits& limits) : path_(path) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &error);
    if (source == nullptr) {
        zip_error_fini(&error);
        RefuseBook(path, kDamaged);
    }
    archive_.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    zip_error_fini(&error);
    if (!archive_) {
        zip_source_free(source);
        RefuseBook(path, kDamaged);
    }

    const zip_int64_t count = zip_get_num_entries(archive_.get(), 0);
    if (count < 0) RefuseBook(path, kDamaged);
    if (count > limits.MaxEntries) {
        RefuseBook(path, QStringLiteral("в архиве больше %1 файлов — так бывает у повреждённых или "
                                        "поддельных архивов, книга столько не содержит")
                             .arg(limits.MaxEntries));
    }
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        const zip_uint64_t wanted = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE;
        if (zip_stat_index(archive_.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0 || (stat.valid & wanted) != wanted) {
            RefuseBook(path, kDamaged);
        }
        if (stat.size > static_cast<zip_uint64_t>(limits.MaxUnpackedBytes) ||
            (total += static_cast<qint64>(stat.size)) > limits.MaxUnpackedBytes) {
            RefuseBook(path, QStringLiteral("архив распаковывается больше чем в %1 МБ — так бывает у "
                                            "повреждённых или поддельных архивов")
                                 .arg(Megabytes(limits.MaxUnpackedBytes)));
        }
        if (stat.size > stat.comp_size * static_cast<zip_uint64_t>(limits.MaxRatio)) {
            RefuseBook(path, QStringLiteral("файл «%1» в архиве сжат больше чем в %2 раз — так сжимают "
                                            "только поддельные архивы")
                                 .arg(QString::fromUtf8(stat.name))
                                 .arg(limits.MaxRatio));
        }
        const QString name = QString::fromUtf8(stat.name);
        if (!name.endsWith(u'/')) {
            names_.append(name);
            sizes_.insert(name, static_cast<qint64>(stat.size));
        }
    }
}

ZipArchive::~ZipArchive() = default;

bool ZipArchive::Contains(const QString& name) const { return names_.contains(name); }

QByteArray ZipArchive::Read(const QString& name) const {
    const QByteArray native = name.toUtf8();
    const zip_int64_t index = zip_name_locate(archive_.get(), native.constData(), 0);
    if (index < 0) RefuseBook(path_, QStringLiteral("в архиве нет файла «%1»").arg(name));
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        RefuseBook(path_, kDamaged);
    }
    const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
        zip_fopen_index(archive_.get(), static_cast<zip_uint64_t>(index), 0), zip_fclose);
    if (!file) RefuseBook(path_, QStringLiteral("файл «%1» в архиве не распаковывается (повреждён или зашифрован)").arg(name));
    // The size was checked against the limits when the archive was opened;
    // the entry may not unpack to more, and its checksum is verified at its end.
    QByteArray bytes(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
    qsizetype done = 0;
    for (;;) {
        char spare;
        char* into = done < bytes.size() ? bytes.data() + done : &spare;
        const zip_uint64_t room = done < bytes.size() ? static_cast<zip_uint64_t>(bytes.size() - done) : 1;
        const zip_int64_t n = zip_fread(file.get(), into, room);
        if (n < 0 || (n > 0 && done >= bytes.size())) {
            RefuseBook(path_, QStringLiteral("файл «%1» в архиве повреждён").arg(name));
        }
        if (n == 0) break;
        done += static_cast<qsizetype>(n);
    }
    if (done != bytes.size()) RefuseBook(path_, QStringLiteral("файл «%1» в архиве повреждён").arg(name));
    return bytes;
}

}  // namespace vistorel
