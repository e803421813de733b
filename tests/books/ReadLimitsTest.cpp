// The limits that keep a hostile or damaged file from exhausting the
// machine, each tested at the limit and one past it.

#include "books/Document.h"
#include "platform/Errors.h"

#include "BookMaker.h"

#include <gtest/gtest.h>
#include <zip.h>

namespace vistorel {
namespace {

QString Outcome(const QByteArray& bytes, const ReadLimits& limits) {
    try {
        return QStringLiteral("read %1 lines").arg(ReadDocumentBytes(bytes, QStringLiteral("book"), limits).Lines.size());
    } catch (const Error& error) {
        return error.Message();
    }
}

QByteArray SmallFb2() { return bookmaker::Fb2(bookmaker::StoryBook(1, 2), "UTF-8", false); }

TEST(ReadLimits, ArchiveEntriesAtMost) {
    bookmaker::Entries entries{{QStringLiteral("story.fb2"), SmallFb2()}};
    for (int i = 1; i < 5; ++i) entries.append({QStringLiteral("image%1.png").arg(i), "png"});
    ReadLimits limits;
    limits.MaxEntries = 5;
    EXPECT_EQ(Outcome(bookmaker::Zip(entries), limits), QStringLiteral("read 3 lines"));
    entries.append({QStringLiteral("image5.png"), "png"});
    EXPECT_TRUE(Outcome(bookmaker::Zip(entries), limits).contains(QStringLiteral("в архиве больше 5 файлов")));
}

TEST(ReadLimits, UnpackedSizeOfAllEntriesAtMost) {
    const QByteArray book = SmallFb2();
    const QByteArray filler(1000, 'x');
    ReadLimits limits;
    limits.MaxRatio = 1000;
    limits.MaxUnpackedBytes = book.size() + 2 * filler.size();
    const bookmaker::Entries atLimit{{QStringLiteral("story.fb2"), book}, {QStringLiteral("a"), filler}, {QStringLiteral("b"), filler}};
    EXPECT_EQ(Outcome(bookmaker::Zip(atLimit), limits), QStringLiteral("read 3 lines"));
    const bookmaker::Entries past{{QStringLiteral("story.fb2"), book}, {QStringLiteral("a"), filler}, {QStringLiteral("b"), filler + 'x'}};
    EXPECT_TRUE(Outcome(bookmaker::Zip(past), limits).contains(QStringLiteral("распаковывается больше чем в")));

    // A real bomb with the program's own limits: 65 MiB of zeros in a
    // 65 KB archive, refused before anything is unpacked.
    const QString bomb = Outcome(bookmaker::ZipBomb(qint64{65} * 1024 * 1024), {});
    EXPECT_TRUE(bomb.contains(QStringLiteral("архив распаковывается больше чем в 64 МБ"))) << bomb.toStdString();
}

TEST(ReadLimits, CompressionRatioOfAnEntryAtMost) {
    const QByteArray archive = bookmaker::Zip({{QStringLiteral("story.fb2"), SmallFb2() + QByteArray(40000, ' ')}});
    // The entry's real ratio, as its archive states it.
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(archive.constData(), archive.size(), 0, &error);
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    ASSERT_NE(zip, nullptr);
    zip_stat_t stat;
    ASSERT_EQ(zip_stat_index(zip, 0, 0, &stat), 0);
    zip_discard(zip);
    const int ratio = static_cast<int>((stat.size + stat.comp_size - 1) / stat.comp_size);  // rounded up
    ASSERT_GT(ratio, 20);

    ReadLimits limits;
    limits.MaxRatio = ratio;
    EXPECT_EQ(Outcome(archive, limits), QStringLiteral("read 3 lines"));
    limits.MaxRatio = ratio - 1;
    EXPECT_TRUE(Outcome(archive, limits).contains(QStringLiteral("сжат больше чем в %1 раз").arg(ratio - 1)));
}

TEST(ReadLimits, XmlNestingAtMost) {
    EXPECT_EQ(Outcome(bookmaker::NestedFb2(256), {}), QStringLiteral("read 1 lines"));
    EXPECT_TRUE(Outcome(bookmaker::NestedFb2(257), {}).contains(QStringLiteral("вложены глубже 256 уровней")));
}

TEST(ReadLimits, BookLinesAtMost) {
    ReadLimits limits;
    limits.MaxLines = 3;
    EXPECT_EQ(Outcome(SmallFb2(), limits), QStringLiteral("read 3 lines"));
    limits.MaxLines = 2;
    EXPECT_TRUE(Outcome(SmallFb2(), limits).contains(QStringLiteral("больше 2 строк")));
    EXPECT_TRUE(Outcome(bookmaker::Epub(bookmaker::StoryBook(1, 2)), limits).contains(QStringLiteral("больше 2 строк")));
}

}  // namespace
}  // namespace vistorel
