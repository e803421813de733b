#include "engine/TextLines.h"

#include "platform/Errors.h"
#include "support/TestSupport.h"

#include "BookMaker.h"

#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vistorel {
namespace {

using test::StartDirectory;

QStringList Load(const StartDirectory& dir, const QByteArray& bytes, TextLines& buffer) {
    dir.Write(QStringLiteral("text.txt"), bytes);
    LoadTextLines(buffer, dir.File(QStringLiteral("text.txt")));
    QStringList lines;
    for (int i = 1; i <= buffer.LineCount; ++i) lines.append(buffer.Line(i));
    return lines;
}

QStringList Load(const StartDirectory& dir, const QByteArray& bytes) {
    TextLines buffer;
    return Load(dir, bytes, buffer);
}

// Loading path must fail with an error whose message holds reason, and leave
// the buffer as it was.
template <class E>
void ExpectRefused(const QString& path, const QString& reason) {
    TextLines buffer;
    buffer.Lines = QStringList{"kept"};
    buffer.LineCount = 1;
    buffer.CurrentLine = 1;
    try {
        LoadTextLines(buffer, path);
        ADD_FAILURE() << "loaded " << path.toStdString();
    } catch (const E& error) {
        EXPECT_TRUE(error.Message().contains(reason)) << error.what();
    }
    EXPECT_EQ(buffer.Lines, QStringList{"kept"});
    EXPECT_EQ(buffer.LineCount, 1);
}

TEST(TextLines, SplitsAtEveryKindOfBreak) {
    StartDirectory dir(false);
    EXPECT_EQ(Load(dir, ""), QStringList{});
    EXPECT_EQ(Load(dir, "one\r\ntwo\nthree\rlast without break"),
              (QStringList{"one", "two", "three", "last without break"}));
    // A final break starts no line; blank lines count; nothing is trimmed.
    EXPECT_EQ(Load(dir, "a\n\n\r\n b \n"), (QStringList{"a", "", "", " b "}));
    EXPECT_EQ(Load(dir, "a\r\r\nb\n\rc"), (QStringList{"a", "", "b", "", "c"}));

    TextLines buffer;
    buffer.CurrentLine = 9;
    Load(dir, "x\ny", buffer);
    EXPECT_EQ(buffer.CurrentLine, 9);
    EXPECT_TRUE(buffer.Line(0).isEmpty());
    EXPECT_TRUE(buffer.Line(3).isEmpty());
}

// The buffer takes the text of a book, and of a plain text in any of the
// encodings, through the one reader.
TEST(TextLines, BooksAndEveryEncodingLoadAsTheirLines) {
    StartDirectory dir(false);
    const bookmaker::Book book = bookmaker::StoryBook(2, 2);
    EXPECT_EQ(Load(dir, bookmaker::Fb2(book, "windows-1251")), bookmaker::BookLines(book));
    EXPECT_EQ(Load(dir, bookmaker::Epub(book)), bookmaker::BookLines(book));
    const QString story = bookmaker::StoryText(3);
    EXPECT_EQ(Load(dir, QStringEncoder("KOI8-R").encode(story)), story.trimmed().split(u'\n'));
}

TEST(TextLines, TwentyThousandLinesAtMost) {
    StartDirectory dir(false);
    QByteArray bytes;
    for (int i = 1; i <= kMaxTextLines; ++i) bytes += "line " + QByteArray::number(i) + "\r\n";
    const QStringList lines = Load(dir, bytes);
    EXPECT_EQ(lines.size(), kMaxTextLines);
    EXPECT_EQ(lines.last(), "line 20000");

    dir.Write(QStringLiteral("over.txt"), bytes + "one more");
    ExpectRefused<RangeError>(dir.File(QStringLiteral("over.txt")), QStringLiteral("больше 20000 строк"));
}

TEST(TextLines, RefusesWhatCannotBeRead) {
    StartDirectory dir(false);
    const QString missing = dir.File(QStringLiteral("absent.txt"));
    ExpectRefused<FileError>(missing, QStringLiteral("\"%1\": файл или папка не найдены").arg(missing));
    ExpectRefused<FileError>(dir.Path(), QStringLiteral("это папка"));
    // A FIFO or a device would block the reader (a FIFO until a writer comes):
    // they are refused at once.
    const QString fifo = dir.File(QStringLiteral("fifo.txt"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ExpectRefused<FileError>(fifo, QStringLiteral("канал (FIFO)"));
    ExpectRefused<FileError>(QStringLiteral("/dev/zero"), QStringLiteral("устройство"));

    dir.Write(QStringLiteral("binary.dat"), QByteArray("text\0more\n", 10));
    ExpectRefused<FileError>(dir.File(QStringLiteral("binary.dat")), QStringLiteral("не текстовый файл"));

    QFile huge(dir.File(QStringLiteral("huge.txt")));  // sparse: nothing written
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64{64} * 1024 * 1024 + 1));
    huge.close();
    ExpectRefused<FileError>(huge.fileName(), QStringLiteral("слишком велик (больше 64 МБ)"));
}

TEST(TextLines, DecodesWindows1251AndUtf8Alike) {
    StartDirectory dir(false);
    const QStringList expected{QStringLiteral("Мама мыла раму."), QStringLiteral("Ёлка")};
    const QByteArray utf8 = expected.join(u'\n').toUtf8();
    const QByteArray cp1251 = "\xCC\xE0\xEC\xE0 \xEC\xFB\xEB\xE0 \xF0\xE0\xEC\xF3.\n\xA8\xEB\xEA\xE0";
    for (const QByteArray& bytes : {cp1251, utf8, QByteArray("\xEF\xBB\xBF") + utf8}) {
        const QStringList lines = Load(dir, bytes);
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(lines.value(0).size(), 15);  // characters, not bytes
    }
    // A UTF-8 text with a stray byte is still read as UTF-8, the bad byte
    // shown as a replacement character, not as Windows-1251 mojibake.
    const QStringList damaged = Load(dir, utf8.left(4) + "\xFF" + utf8.mid(4));
    EXPECT_EQ(damaged.value(0), QStringLiteral("Ма\uFFFDма мыла раму."));
    EXPECT_EQ(damaged.value(1), QStringLiteral("Ёлка"));
    // One byte of Windows-1251 that happens to form a UTF-8 pair does not
    // turn a Windows-1251 text into UTF-8.
    EXPECT_EQ(Load(dir, cp1251 + " \xD0\x9F").value(1), QStringLiteral("Ёлка Рџ"));
}

// The head of a text is read from its start only: the size of the file,
// its number of lines and a NUL byte after the head do not matter; a line
// that runs past the head ends there, never inside a UTF-8 letter (which
// would turn into a replacement character, or a short UTF-8 text into
// Windows-1251); a NUL byte ends the text.
TEST(TextLines, TheHeadOfATextIsReadFromItsStartOnly) {
    StartDirectory dir(false);
    QByteArray bytes = QStringLiteral("один\r\nдва\r\n").toUtf8();  // 18 bytes
    for (int i = 0; i < kMaxTextLines + 5000; ++i) bytes += "line\n";
    dir.Write(QStringLiteral("long.txt"), bytes);
    QFile sparse(dir.File(QStringLiteral("long.txt")));  // NUL bytes up to 65 MiB
    ASSERT_TRUE(sparse.resize(qint64{65} * 1024 * 1024));
    const TextHead head = ReadTextHead(sparse.fileName(), 64);
    QStringList expected{QStringLiteral("один"), QStringLiteral("два")};
    for (int i = 0; i < 9; ++i) expected.append(QStringLiteral("line"));
    expected.append(QStringLiteral("l"));
    EXPECT_EQ(head.Text.Lines, expected);
    EXPECT_EQ(head.Text.LineCount, 12);
    EXPECT_FALSE(head.StoppedAtNul);
    EXPECT_EQ(ReadTextHead(sparse.fileName()).Text.LineCount, (kTextHeadBytes - 18) / 5 + 3);

    dir.Write(QStringLiteral("letters.txt"), "a" + QString(40, u'ж').toUtf8());
    EXPECT_EQ(ReadTextHead(dir.File(QStringLiteral("letters.txt")), 64).Text.Lines,
              QStringList{"a" + QString(31, u'ж')});

    dir.Write(QStringLiteral("nul.txt"), QByteArray("abc\0def\n", 8));
    const TextHead stopped = ReadTextHead(dir.File(QStringLiteral("nul.txt")));
    EXPECT_EQ(stopped.Text.Lines, QStringList{"abc"});
    EXPECT_TRUE(stopped.StoppedAtNul);
    EXPECT_FALSE(ReadTextHead(dir.File(QStringLiteral("nul.txt")), 3).StoppedAtNul);

    EXPECT_THROW(ReadTextHead(dir.File(QStringLiteral("absent.txt"))), FileError);
}

}  // namespace
}  // namespace vistorel
