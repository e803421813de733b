#pragma once
// Libraries for the tests of the library windows: entries whose every byte is
// known, so that an entry moved, lost or changed shows in the file.

#include "app/Program.h"
#include "records/TextLibraryFile.h"
#include "support/TestSupport.h"

#include <QCursor>
#include <cstring>
#include <gtest/gtest.h>

namespace vistorel::test {

inline const QString kLibraryFile = QStringLiteral("book_data.dat");

// Entry k: random bytes with the title "Текст k", the file "tk.txt", the
// description "Описание k" and k bookmarks "Закладка k.b" at line 10 k + b.
inline TextRecord MakeText(int k) {
    TextRecord text;
    const QByteArray noise = RandomBytes(static_cast<int>(sizeof text), static_cast<unsigned>(k));
    std::memcpy(&text, noise.constData(), sizeof text);
    text.Title.SetText(QStringLiteral("Текст %1").arg(k));
    text.FilePath.SetText(QStringLiteral("t%1.txt").arg(k));
    text.DescriptionLineCount = 1;
    text.DescriptionLine(1).SetText(QStringLiteral("Описание %1").arg(k));
    text.BookmarkCount = static_cast<std::uint16_t>(k);
    for (int b = 1; b <= k; ++b) {
        text.BookmarkName(b).SetText(QStringLiteral("Закладка %1.%2").arg(k).arg(b));
        text.BookmarkLine(b) = static_cast<std::uint32_t>(10 * k + b);
    }
    return text;
}

// The file of the entries MakeText(k) for the numbers given.
inline QByteArray LibraryOf(std::initializer_list<int> numbers) {
    QByteArray bytes;
    for (const int k : numbers) bytes += BytesOf(MakeText(k));
    return bytes;
}

// The library in memory, slots 1..TextCount, as its file holds it.
inline QByteArray LibraryInMemory(const Program& program) {
    QByteArray bytes;
    for (int slot = 1; slot <= program.TextCount; ++slot) bytes += BytesOf(program.TextLibrary[slot]);
    return bytes;
}

// The program started with the library of entries 1..count.
struct LibraryProgram : ProgramUnderTest {
    explicit LibraryProgram(int count)
        : ProgramUnderTest([count](StartDirectory& dir) {
              QByteArray bytes;
              for (int k = 1; k <= count; ++k) bytes += BytesOf(MakeText(k));
              dir.Write(kLibraryFile, bytes);
          }) {
        QCursor::setPos(-1000, -1000);
    }
    QByteArray File() const { return Dir.Read(kLibraryFile); }
    // Whether memory and file both hold exactly `library`.
    bool Holds(const QByteArray& library) const { return File() == library && LibraryInMemory(**this) == library; }
};

}  // namespace vistorel::test
