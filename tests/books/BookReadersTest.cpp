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

TEST(BookReaders, Fb2InUtf16ReadsAsFb2WithOrWithoutAByteOrderMark) {
    for (const bool big : {false, true}) {
        for (const bool mark : {false, true}) {
            SCOPED_TRACE(testing::Message() << "big endian " << big << ", byte-order mark " << mark);
            ExpectStory(ReadDocumentBytes(bookmaker::Utf16Fb2(Story(), big, mark), QStringLiteral("a.fb2")),
                        DocumentFormat::Fb2);
        }
    }
}

// The lines of one EPUB document with the body given.
QStringList EpubLines(const QString& body, const QString& doctype = QStringLiteral("<!DOCTYPE html>")) {
    const QByteArray epub = bookmaker::EpubOf(QStringLiteral("Книга"), {{QStringLiteral("a.xhtml"), bookmaker::Xhtml(body, doctype)}});
    return ReadDocumentBytes(epub, QStringLiteral("book.epub")).Lines;
}

const QString kXhtml11 = QStringLiteral(
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">");

// Footnotes, endnotes and asides are left out, and so are the references to
// them: pandoc's EPUB 3 and EPUB 2 shapes, calibre's links to a notes file,
// references written as text, and asides of any kind. Links that are words
// keep them.
TEST(BookReaders, EpubNotesAndTheirReferencesAreLeftOut) {
    const QByteArray pandoc3 = bookmaker::EpubOf(QStringLiteral("Émile"), {{QStringLiteral("ch001.xhtml"), bookmaker::PandocChapter()}});
    EXPECT_EQ(ReadDocumentBytes(pandoc3, QStringLiteral("a.epub")).Lines, bookmaker::PandocLines());

    QString pandoc2 = QString::fromUtf8(bookmaker::PandocChapter());
    pandoc2 = pandoc2.mid(pandoc2.indexOf(QStringLiteral("<body")));
    pandoc2 = pandoc2.left(pandoc2.indexOf(QStringLiteral("</html>")));
    pandoc2.replace(QStringLiteral(" epub:type=\"noteref\""), QString()).replace(QStringLiteral(" epub:type=\"footnotes\""), QString());
    pandoc2.replace(QStringLiteral(" epub:type=\"footnote\""), QString()).replace(QStringLiteral("<section"), QStringLiteral("<div"));
    pandoc2.replace(QStringLiteral("</section>"), QStringLiteral("</div>"));
    EXPECT_EQ(EpubLines(pandoc2, kXhtml11), bookmaker::PandocLines());

    EXPECT_EQ(EpubLines(QStringLiteral(
                  "<body><p>Ветер<a href=\"notes.html#n1\" id=\"r1\"><sup class=\"calibre5\">[1]</sup></a>, сильный "
                  "<a href=\"#n2\"><sup>2</sup></a>.</p>"
                  "<p>Буря [3] пришла <a href=\"#ch2\">во второй главе</a>{4}.</p>"
                  "<aside epub:type=\"footnote\" id=\"n1\"><p>Примечание первое</p></aside>"
                  "<aside class=\"sidebar\"><p>Врезка на полях</p></aside>"
                  "<div class=\"footnotes\"><p id=\"n2\">Примечание второе</p></div>"
                  "<ol epub:type=\"endnotes\"><li>Концевое</li></ol>"
                  "<p role=\"doc-footnote\">Ещё одно</p><p>Конец<a role=\"doc-noteref\" href=\"n.html\">а</a>.</p></body>")),
              (QStringList{"Ветер, сильный.", "Буря пришла во второй главе.", "Конец."}));
}

// Ruby gives its base text only; preformatted text keeps its lines.
TEST(BookReaders, EpubRubyGivesItsBaseAndPreformattedTextItsLines) {
    EXPECT_EQ(EpubLines(QStringLiteral(
                  "<body><p>Слово <ruby>漢<rp>(</rp><rt>kan</rt><rp>)</rp>字<rt>ji</rt></ruby> и текст</p>"
                  "<pre>\nШумит   волна\nу маяка\n\n<em>и</em> чайки\n</pre><p>Проза</p></body>")),
              (QStringList{"Слово 漢字 и текст", "Шумит волна", "у маяка", "и чайки", "Проза"}));
}

// HTML's named references read the same under any DOCTYPE: HTML 4's, HTML
// 5's and those of two characters.
TEST(BookReaders, EpubNamedReferencesResolveWhateverTheDoctype) {
    const QString body = QStringLiteral("<body><p>&Eacute;mile, &oelig;uvre, &alpha;&beta;, &NotEqualTilde; &nbsp;&mdash; &NewLine;</p></body>");
    const QStringList expected{QStringLiteral("Émile, œuvre, αβ, \u2242\u0338 —")};
    EXPECT_EQ(EpubLines(body, kXhtml11), expected);
    EXPECT_EQ(EpubLines(body), expected);
    EXPECT_EQ(EpubLines(body, QString()), expected);
}

// A document that is not well-formed is read the way browsers mend it
// (libxml2's HTML parser), keeping the book; its notes still stay out. An
// FB2 book, always XML, is refused naming the element or reference at fault.
TEST(BookReaders, MalformedXhtmlIsReadLenientlyAndMalformedFb2RefusedByName) {
    EXPECT_EQ(EpubLines(QStringLiteral("<body><p>Строка<br>вторая &amp; &nbsp;и &eacute &unknownname; R&D</p>"
                                       "<p>Ветер<a href=\"#n1\" epub:type=\"noteref\">1</a> стих<aside><p>Заметка</p></aside>"
                                       "<p>Незакрытый</body>")),
              (QStringList{"Строка", "вторая & и é &unknownname; R&D", "Ветер стих", "Незакрытый"}));

    const QByteArray unclosed = "<?xml version=\"1.0\"?>\n<FictionBook><body>\n<section><p>Текст\n</section></body></FictionBook>";
    EXPECT_TRUE(Refusal(unclosed).contains(QStringLiteral("ошибка разметки в строке 4, позиции 10: элемент <p> из строки 3 не закрыт")))
        << Refusal(unclosed).toStdString();
    const QByteArray unknown = "<?xml version=\"1.0\"?><FictionBook><body><p>&Eacute;mile &nosuchname;</p></body></FictionBook>";
    EXPECT_TRUE(Refusal(unknown).contains(QStringLiteral("неизвестная ссылка на знак &nosuchname;"))) << Refusal(unknown).toStdString();
}

// A book whose content documents are encrypted (DRM) is refused saying so;
// fonts obfuscated as EPUB allows are no protection of the text.
TEST(BookReaders, DrmProtectedEpubIsRefusedAndObfuscatedFontsAreNot) {
    const bookmaker::Entries documents{{QStringLiteral("глава 1.xhtml"), bookmaker::PandocChapter()}};
    const QByteArray encrypted = bookmaker::EpubOf(
        QStringLiteral("Книга"), {{QStringLiteral("глава 1.xhtml"), test::RandomBytes(300, 7)}},
        {{QStringLiteral("META-INF/encryption.xml"), bookmaker::EncryptionXml({QStringLiteral("OEBPS/Text/глава 1.xhtml")}, false)}});
    EXPECT_TRUE(Refusal(encrypted).startsWith(QStringLiteral("Книга защищена (DRM): прочитать её нельзя. Файл \"book\"")))
        << Refusal(encrypted).toStdString();
    const QByteArray fonts = bookmaker::EpubOf(
        QStringLiteral("Книга"), documents,
        {{QStringLiteral("OEBPS/Fonts/serif.otf"), test::RandomBytes(300, 8)},
         {QStringLiteral("META-INF/encryption.xml"), bookmaker::EncryptionXml({QStringLiteral("OEBPS/Fonts/serif.otf")}, true)}});
    EXPECT_EQ(ReadDocumentBytes(fonts, QStringLiteral("book")).Lines, bookmaker::PandocLines());
}

}  // namespace
}  // namespace vistorel
