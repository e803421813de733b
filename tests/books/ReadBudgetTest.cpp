// The reading budget: what a book gives, its entities expanded and its
// reading order's repeats counted, against one limit for the whole book;
// elements with thousands of attributes; damaged UTF-8; a cancelled reading.

#include "books/Document.h"
#include "books/ReadBudget.h"
#include "platform/Errors.h"

#include "BookMaker.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

QString Outcome(const QByteArray& bytes, const ReadLimits& limits = {}, const QString& name = QStringLiteral("book")) {
    try {
        const Document document = ReadDocumentBytes(bytes, name, limits);
        qsizetype characters = 0;
        for (const QString& line : document.Lines) characters += line.size();
        characters += document.Info.Annotation.size();
        return QStringLiteral("read %1 lines, %2 characters").arg(document.Lines.size()).arg(characters);
    } catch (const Error& error) {
        return error.Message();
    }
}

ReadLimits Budget(qint64 characters) {
    ReadLimits limits;
    limits.MaxCharacters = characters;
    return limits;
}

TEST(ReadBudget, EntitiesCountExpandedWhereverTheyAreReferenced) {
    using bookmaker::EntityPlace;
    // 1000 characters referenced 90 times fit 100,000; 110 times do not,
    // though the book is 4 KB and each expansion is far below the reader's
    // own limit of 4096 characters per reference.
    for (const EntityPlace place : {EntityPlace::Text, EntityPlace::Annotation, EntityPlace::Attribute}) {
        SCOPED_TRACE(static_cast<int>(place));
        const QString fits = Outcome(bookmaker::EntityFb2(1000, 90, place), Budget(100000));
        EXPECT_TRUE(fits.startsWith(QStringLiteral("read "))) << fits.toStdString();
        const QString past = Outcome(bookmaker::EntityFb2(1000, 110, place), Budget(100000));
        EXPECT_TRUE(past.startsWith(QStringLiteral("Книга слишком велика: в \"book\""))) << past.toStdString();
        EXPECT_TRUE(past.contains(QStringLiteral("сущность «&e;» в 1000 знаков повторяется в ней 110 раз"))) << past.toStdString();
    }
    EXPECT_EQ(Outcome(bookmaker::EntityFb2(1000, 90), Budget(100000)), QStringLiteral("read 1 lines, 90008 characters"));
    EXPECT_TRUE(Outcome(bookmaker::EntityEpub(1000, 90), Budget(100000)).startsWith(QStringLiteral("read 1 lines, 90000")));
    EXPECT_TRUE(Outcome(bookmaker::EntityEpub(1000, 110), Budget(100000)).startsWith(QStringLiteral("Книга слишком велика")));

    // With the program's own budget: the books of the report, 100,000 uses
    // of 4,000 characters, refused; 10 uses read.
    const QString bomb = Outcome(bookmaker::EntityFb2(4000, 100000), {}, QStringLiteral("a.fb2"));
    EXPECT_EQ(bomb, QStringLiteral("Книга слишком велика: в \"a.fb2\" больше 67 млн знаков текста (сущность «&e;» "
                                   "в 4000 знаков повторяется в ней 100\u00A0000 раз) — столько программа не читает."));
    EXPECT_TRUE(Outcome(bookmaker::EntityEpub(4000, 100000)).startsWith(QStringLiteral("Книга слишком велика")));
    EXPECT_EQ(Outcome(bookmaker::EntityFb2(4000, 10)), QStringLiteral("read 1 lines, 40008 characters"));
}

TEST(ReadBudget, NestedAndParameterEntitiesAndUtf16CountToo) {
    // b is ten a's of 100 characters: 100 uses of b are 100,000 characters.
    const QByteArray nested = "<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY a \"" + QByteArray(100, 'a') +
                              "\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><FictionBook><body><p>" +
                              QByteArray("&b;").repeated(100) + "</p></body></FictionBook>";
    EXPECT_TRUE(Outcome(nested, Budget(90000)).startsWith(QStringLiteral("Книга слишком велика"))) << Outcome(nested, Budget(90000)).toStdString();
    EXPECT_EQ(Outcome(nested, Budget(110000)), QStringLiteral("read 1 lines, 100000 characters"));
    // An entity declared by a parameter entity, as the XML reader expands it.
    const QByteArray parameter = "<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY % d \"<!ENTITY e '" +
                                 QByteArray(1000, 'e') + "'>\"> %d; ]><FictionBook><body><p>" +
                                 QByteArray("&e;").repeated(100) + "</p></body></FictionBook>";
    EXPECT_EQ(Outcome(parameter, Budget(110000)), QStringLiteral("read 1 lines, 100000 characters"));
    EXPECT_TRUE(Outcome(parameter, Budget(90000)).startsWith(QStringLiteral("Книга слишком велика")));
    // The same book in UTF-16, without a byte-order mark.
    const QByteArray wide = QStringEncoder(QStringEncoder::Utf16LE).encode(QString::fromLatin1(nested));
    EXPECT_TRUE(Outcome(wide, Budget(90000)).startsWith(QStringLiteral("Книга слишком велика")));
    EXPECT_EQ(Outcome(wide, Budget(110000)), QStringLiteral("read 1 lines, 100000 characters"));
}

TEST(ReadBudget, TheReadingOrdersRepeatsReadAgainAndCount) {
    // A chapter of about 20,000 characters named three times: its lines
    // three times over, within 100,000; refused within 50,000 before any is read.
    const QByteArray three = bookmaker::RepeatedSpineEpub(20000, 3);
    const QString read = Outcome(three, Budget(100000));
    const QString once = Outcome(bookmaker::RepeatedSpineEpub(20000, 1), Budget(100000));
    ASSERT_TRUE(once.startsWith(QStringLiteral("read "))) << once.toStdString();
    const int linesOnce = once.section(u' ', 1, 1).toInt();
    EXPECT_EQ(read.section(u' ', 1, 1).toInt(), 3 * linesOnce) << read.toStdString();
    const QString past = Outcome(three, Budget(50000));
    EXPECT_TRUE(past.contains(QStringLiteral("её оглавление называет файл «c.xhtml» 3 раза"))) << past.toStdString();
    // The book of the report: 1,000 references to a chapter of 1 MB.
    const QString report = Outcome(bookmaker::RepeatedSpineEpub(1024 * 1024, 1000));
    EXPECT_TRUE(report.contains(QStringLiteral("её оглавление называет файл «c.xhtml» 1\u00A0000 раз"))) << report.toStdString();
}

TEST(ReadBudget, ElementsWithThousandsOfAttributesAreRefused) {
    EXPECT_EQ(Outcome(bookmaker::ManyAttributesFb2(2000)), QStringLiteral("read 1 lines, 7 characters"));
    EXPECT_EQ(Outcome(bookmaker::ManyAttributesFb2(2001)),
              QStringLiteral("Не удаётся открыть книгу \"book\": книга FB2: у элемента <p> в строке 2 больше 2000 "
                             "атрибутов — так бывает только у повреждённых или поддельных файлов"));
    // The comparisons of all elements together: 45 attributes are 990 pairs, 46 are 1035.
    ReadLimits pairs;
    pairs.MaxAttributePairs = 1000;
    EXPECT_EQ(Outcome(bookmaker::ManyAttributesFb2(45), pairs), QStringLiteral("read 1 lines, 7 characters"));
    EXPECT_TRUE(Outcome(bookmaker::ManyAttributesFb2(46), pairs).contains(QStringLiteral("так много атрибутов")));
    // A chapter that is not well-formed goes to the HTML parser: refused before it too.
    QString attributes;
    for (int i = 0; i < 2001; ++i) attributes += QStringLiteral(" a%1=\"\"").arg(i);
    const QByteArray chapter = bookmaker::Xhtml(QStringLiteral("<body>\n<p%1>Строка<br>вторая</body>").arg(attributes));
    const int line = static_cast<int>(chapter.left(chapter.indexOf("<p ")).count('\n')) + 1;
    const QString lenient = Outcome(bookmaker::EpubOf(QStringLiteral("Книга"), {{QStringLiteral("a.xhtml"), chapter}}));
    EXPECT_TRUE(lenient.contains(QStringLiteral("OEBPS/Text/a.xhtml: у элемента <p> в строке %1 больше 2000 атрибутов").arg(line)))
        << lenient.toStdString();
}

TEST(ReadBudget, DamagedUtf8IsReplacedAndToldOnceWithItsLine) {
    QByteArray fb2 = bookmaker::Fb2(bookmaker::StoryBook(1, 2), "UTF-8", false);
    const qsizetype second = fb2.indexOf("<p>", fb2.indexOf("<body>"));
    const int line = static_cast<int>(fb2.left(second).count('\n')) + 1;
    ASSERT_GT(line, 1);
    fb2.insert(second + 3, "\xFF\xFE");
    const Document document = ReadDocumentBytes(fb2, QStringLiteral("a.fb2"));
    EXPECT_EQ(document.Lines.size(), 3);
    EXPECT_TRUE(document.Lines.join(u' ').contains(QStringLiteral("\uFFFD\uFFFD"))) << document.Lines.join(u'|').toStdString();
    EXPECT_EQ(document.Notice, QStringLiteral("В книге \"a.fb2\" 2 повреждённых байта (первый — в строке %1): они "
                                              "заменены знаком «\uFFFD», книга читается дальше.")
                                   .arg(line));
    // In an EPUB chapter, naming the chapter; a sound book says nothing.
    QByteArray chapter = bookmaker::Xhtml(QStringLiteral("<body><p>Первая</p>\n<p>Вто#рая</p></body>"));
    chapter.replace('#', "\xFF");
    const int damagedLine = static_cast<int>(chapter.left(chapter.indexOf('\xFF')).count('\n')) + 1;
    const Document epub = ReadDocumentBytes(bookmaker::EpubOf(QStringLiteral("Книга"), {{QStringLiteral("a.xhtml"), chapter}}),
                                            QStringLiteral("b.epub"));
    EXPECT_EQ(epub.Lines, (QStringList{QStringLiteral("Первая"), QStringLiteral("Вто\uFFFDрая")}));
    EXPECT_TRUE(epub.Notice.contains(QStringLiteral("1 повреждённый байт (он — в строке %1 файла OEBPS/Text/a.xhtml)").arg(damagedLine)))
        << epub.Notice.toStdString();
    EXPECT_TRUE(ReadDocumentBytes(bookmaker::Fb2(bookmaker::StoryBook(1, 2)), QStringLiteral("c.fb2")).Notice.isEmpty());
}

TEST(ReadBudget, ACancelledReadingStops) {
    const std::atomic<bool> cancelled{true};
    ReadLimits limits;
    limits.Cancel = &cancelled;
    for (const QByteArray& book : {bookmaker::Fb2(bookmaker::StoryBook(1, 2)), bookmaker::Epub(bookmaker::StoryBook(1, 2))}) {
        EXPECT_THROW(ReadDocumentBytes(book, QStringLiteral("book"), limits), ReadCancelled);
    }
}

TEST(ReadBudget, ABookWithALongDtdIsStillABook) {
    // Its root element is 7 KB into the file, past what was looked at before.
    const QByteArray book = bookmaker::EntityFb2(4000, 1);
    ASSERT_GT(book.indexOf("<FictionBook"), 7000);
    EXPECT_EQ(ContainerOf(book), Container::Fb2Xml);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("a.fb2")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(book) == book.size());
    file.close();
    const DocumentHead head = ReadDocumentHead(file.fileName(), 100);
    EXPECT_EQ(head.Lines, QStringList{(bookmaker::Sentences()[0] + u' ' + bookmaker::Sentences()[1]).left(100)});
}

}  // namespace
}  // namespace vistorel
