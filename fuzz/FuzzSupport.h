#pragma once
// What the fuzz targets share: a scratch folder for the files the loaders
// read by path, and a check that stops the run on a broken property.
//
// The targets build with clang and libFuzzer (`make fuzz`) and with the
// suite's compiler and the replay driver in tests/fuzz, which runs the
// committed corpus and every past finding through them.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

// Stops the run so that the fuzzer keeps the input as a finding (and the
// replay fails on it).
#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "broken property: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

namespace vistorel::fuzz {

// One scratch folder per process, made on first use and removed at exit.
// libFuzzer gives a target no object to keep it in, so it lives here.
inline const QTemporaryDir& ScratchFolder() {
    static const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/vistorel-fuzz-XXXXXX"));
    FUZZ_CHECK(folder.isValid());
    return folder;
}

inline QString ScratchFile(const QString& name) { return ScratchFolder().filePath(name); }

// Replaces the file's contents with the bytes.
inline void WriteScratch(const QString& path, const void* data, std::size_t size) {
    const QByteArray native = path.toLocal8Bit();
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FUZZ_CHECK(fd >= 0);
    const auto* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        FUZZ_CHECK(n > 0);
        done += static_cast<std::size_t>(n);
    }
    FUZZ_CHECK(::close(fd) == 0);
}

inline QByteArray ReadScratch(const QString& path) {
    const QByteArray native = path.toLocal8Bit();
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        FUZZ_CHECK(n >= 0);
        if (n == 0) break;
        bytes.append(buffer, n);
    }
    ::close(fd);
    return bytes;
}

// The fuzzer's input as bytes, without a copy.
inline QByteArray InputBytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The bytes of a record as it sits in memory (and in its file).
template <class Record>
QByteArray RecordBytes(const Record& record) {
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof(Record));
}

}  // namespace vistorel::fuzz
