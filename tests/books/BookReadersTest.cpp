// FB2 and EPUB books read as the lines of their text, with what they say
// about themselves.

#include "books/Document.h"
#include "platform/Errors.h"
#include "support/TestSupport.h"

#include "BookMaker.h"

#include <gtest/gtest.h>

namespace vistorel {
namespace {

using bookmaker::Book;

const Book& Story() {
    static const Book book = bookmaker::StoryBook(2, 3);
    return book;
}

void ExpectStory(const Document& document, DocumentFormat format) {
    EXPECT_EQ(document.Format, format);
    EXPECT_EQ(document.Lines, bookmaker::BookLines(Story()));
    EXPECT_EQ(document.Info.Title, QStringLiteral("Маяк на Сером мысе"));
    EXPECT_EQ(document.Info.Author, QStringLiteral("Ирина Ветрова"));
    const QString annotation = QStringLiteral("Рассказ о смотрителе маяка и девочке Варе.");
    EXPECT_TRUE(document.Info.Annotation.startsWith(annotation)) << document.Info.Annotation.toStdString();
    EXPECT_TRUE(document.Info.Annotation.endsWith(QStringLiteral("Для упражнений в быстром чтении.")));
}

// The message of the refusal to read bytes as a book.
QString Refusal(const QByteArray& bytes, const ReadLimits& limits = {}) {
    try {
        ReadDocumentBytes(bytes, QStringLiteral("book"), limits);
    } catch (const Error& error) {
        return error.Message();
    }
    return QStringLiteral("(read)");
}

TEST(BookReaders, Fb2InEitherEncodingAndPackedInZipGivesItsText) {
    // Notes, their body and the picture are left out; the declared encoding is honoured.
    ExpectStory(ReadDocumentBytes(bookmaker::Fb2(Story(), "UTF-8"), QStringLiteral("a.fb2")), DocumentFormat::Fb2);
    ExpectStory(ReadDocumentBytes(bookmaker::Fb2(Story(), "windows-1251"), QStringLiteral("b.fb2")), DocumentFormat::Fb2);
    const QByteArray zipped = bookmaker::Zip({{QStringLiteral("Книга.fb2"), bookmaker::Fb2(Story())}});
    ExpectStory(ReadDocumentBytes(zipped, QStringLiteral("c.fb2.zip")), DocumentFormat::Fb2);

    // Verses and subtitles are lines of their own.
    const QByteArray poem = "<?xml version=\"1.0\"?><FictionBook><body><section><subtitle>Песня</subtitle>"
                            "<poem><stanza><v>Шумит волна</v><v>у маяка</v></stanza></poem>"
                            "<cite><p>Слова <strong>рыбака</strong></p><text-author>Варя</text-author></cite>"
                            "</section></body></FictionBook>";
    EXPECT_EQ(ReadDocumentBytes(poem, QStringLiteral("d.fb2")).Lines,
              (QStringList{"Песня", "Шумит волна", "у маяка", "Слова рыбака", "Варя"}));
}

TEST(BookReaders, EpubTwoAndThreeGiveTheirReadingOrder) {
    // Cover out of the reading order, head, style and script are left out;
    // &nbsp; and percent-encoded file names are understood.
    ExpectStory(ReadDocumentBytes(bookmaker::Epub(Story(), 2), QStringLiteral("a.epub")), DocumentFormat::Epub);
    ExpectStory(ReadDocumentBytes(bookmaker::Epub(Story(), 3), QStringLiteral("b.epub")), DocumentFormat::Epub);
}

TEST(BookReaders, TheContentsTellTheFormatNotTheName) {
    test::StartDirectory dir(false);
    dir.Write(QStringLiteral("book.txt"), bookmaker::Fb2(Story()));
    dir.Write(QStringLiteral("text.fb2"), QStringLiteral("Просто текст\nв две строки").toUtf8());
    dir.Write(QStringLiteral("book"), bookmaker::Epub(Story()));
    EXPECT_EQ(ReadDocument(dir.File(QStringLiteral("book.txt"))).Format, DocumentFormat::Fb2);
    EXPECT_EQ(ReadDocument(dir.File(QStringLiteral("text.fb2"))).Lines, (QStringList{"Просто текст", "в две строки"}));
    EXPECT_EQ(ReadDocument(dir.File(QStringLiteral("book"))).Format, DocumentFormat::Epub);
}

TEST(BookReaders, DamagedBooksAreRefusedWithAReason) {
    QByteArray truncated = bookmaker::Epub(Story());
    truncated.truncate(truncated.size() / 2);
    EXPECT_TRUE(Refusal(truncated).contains(QStringLiteral("архив повреждён"))) << Refusal(truncated).toStdString();

    const QByteArray noBook = bookmaker::Zip({{QStringLiteral("readme.txt"), "text"}});
    EXPECT_TRUE(Refusal(noBook).contains(QStringLiteral("нет ни книги FB2, ни книги EPUB")));
    const QByteArray twoBooks =
        bookmaker::Zip({{QStringLiteral("a.fb2"), bookmaker::Fb2(Story())}, {QStringLiteral("b.fb2"), bookmaker::Fb2(Story())}});
    EXPECT_TRUE(Refusal(twoBooks).contains(QStringLiteral("2 книг FB2")));

    const QByteArray noSpineFile = bookmaker::Zip(
        {{QStringLiteral("META-INF/container.xml"),
          "<container><rootfiles><rootfile full-path=\"p.opf\"/></rootfiles></container>"},
         {QStringLiteral("p.opf"), "<package><manifest><item id=\"a\" href=\"gone.xhtml\"/></manifest>"
                                   "<spine><itemref idref=\"a\"/></spine></package>"}});
    EXPECT_TRUE(Refusal(noSpineFile).contains(QStringLiteral("нет файла gone.xhtml")));

    const QByteArray broken = "<?xml version=\"1.0\"?>\n<FictionBook><body>\n<p>Текст</section></body></FictionBook>";
    EXPECT_TRUE(Refusal(broken).contains(QStringLiteral("ошибка разметки в строке 3"))) << Refusal(broken).toStdString();

    // Entities that expand without bound, and an outside DTD, are never loaded.
    const QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY a \"aaaaaaaaaaaaaaaa\">"
                              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                              "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                              "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
                              "<FictionBook><body><p>&d;</p></body></FictionBook>";
    EXPECT_TRUE(Refusal(laughs).contains(QStringLiteral("ошибка разметки"))) << Refusal(laughs).toStdString();
}

}  // namespace
}  // namespace vistorel
