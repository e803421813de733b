#include "BookMaker.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <QUrl>
#include <memory>
#include <stdexcept>
#include <zip.h>

namespace vistorel::bookmaker {
namespace {

QString Escaped(const QString& text) { return text.toHtmlEscaped(); }

QByteArray Encode(const QString& text, const char* encoding) {
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

// XML in an encoding that lacks some of its characters: those are written
// as character references (&#234;), as XML editors save them.
QByteArray EncodeXml(const QString& text, const char* encoding) {
    QByteArray bytes = Encode(text, encoding);
    if (QStringDecoder(encoding).decode(bytes) == text) return bytes;
    bytes.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        const QByteArray encoded = Encode(character, encoding);
        if (QStringDecoder(encoding).decode(encoded) == character) {
            bytes += encoded;
        } else {
            bytes += "&#" + QByteArray::number(character.toUcs4().value(0)) + ';';
        }
        i += length - 1;
    }
    return bytes;
}

}  // namespace

const QStringList& Sentences() {
    static const QStringList sentences = {
        QStringLiteral("Старый смотритель маяка каждое утро поднимался по винтовой лестнице."),
        QStringLiteral("Сто двенадцать ступеней вели к фонарю, и он знал каждую из них на ощупь."),
        QStringLiteral("Внизу шумело холодное море, а над мысом кружили белые чайки."),
        QStringLiteral("Девочка Варя приносила ему хлеб из посёлка и свежие новости."),
        QStringLiteral("Однажды осенью с севера пришла буря, какой не помнили даже рыбаки."),
        QStringLiteral("Ветер выл в щелях башни, а волны перехлёстывали через причал."),
        QStringLiteral("Смотритель зажёг фонарь раньше обычного и не отходил от окна."),
        QStringLiteral("Ночью он заметил далёкий огонёк: к берегу шла маленькая лодка."),
        QStringLiteral("Он трижды мигнул фонарём, показывая проход между камнями."),
        QStringLiteral("Лодка повернула и медленно вошла в тихую бухту под скалой."),
        QStringLiteral("Утром на пороге стоял промокший рыбак с сыном и молча кланялся."),
        QStringLiteral("Варя заварила чай с чабрецом, и все долго сидели у печки."),
        QStringLiteral("С тех пор в посёлке говорили, что маяк на Сером мысе не спит никогда."),
        QStringLiteral("А смотритель только улыбался и снова протирал толстые стёкла."),
        QStringLiteral("Зимой море замерзало у берега, и лёд звенел под ногами."),
        QStringLiteral("Весной прилетали гуси, и Варя считала их клинья над заливом."),
    };
    return sentences;
}

Book StoryBook(int chapters, int paragraphs, int sentencesPerParagraph) {
    Book book;
    book.Title = QStringLiteral("Маяк на Сером мысе");
    book.Author = QStringLiteral("Ирина Ветрова");
    book.Annotation = {QStringLiteral("Рассказ о смотрителе маяка и девочке Варе."),
                       QStringLiteral("Для упражнений в быстром чтении.")};
    const QStringList& sentences = Sentences();
    qsizetype next = 0;
    for (int c = 1; c <= chapters; ++c) {
        QStringList chapter{QStringLiteral("Глава %1").arg(c)};
        for (int p = 0; p < paragraphs; ++p) {
            QStringList paragraph;
            for (int s = 0; s < sentencesPerParagraph; ++s) paragraph.append(sentences[next++ % sentences.size()]);
            chapter.append(paragraph.join(u' '));
        }
        book.Chapters.append(chapter);
    }
    return book;
}

QStringList BookLines(const Book& book) {
    QStringList lines;
    for (const QStringList& chapter : book.Chapters) lines += chapter;
    return lines;
}

QByteArray Fb2(const Book& book, const char* encoding, bool withNotesAndPicture) {
    const QString first = book.Author.section(u' ', 0, 0);
    const QString last = book.Author.section(u' ', 1);
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\n"
                                 "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
                                 "xmlns:l=\"http://www.w3.org/1999/xlink\">\n<description><title-info>"
                                 "<genre>prose_contemporary</genre><author><first-name>%2</first-name>"
                                 "<last-name>%3</last-name></author><book-title>%4</book-title><annotation>")
                      .arg(QString::fromLatin1(encoding), Escaped(first), Escaped(last), Escaped(book.Title));
    for (const QString& p : book.Annotation) xml += QStringLiteral("<p>%1</p>").arg(Escaped(p));
    xml += QStringLiteral("</annotation>");
    if (withNotesAndPicture) xml += QStringLiteral("<coverpage><image l:href=\"#cover.png\"/></coverpage>");
    xml += QStringLiteral("<lang>ru</lang></title-info>"
                          "<document-info><program-used>Vistorel</program-used></document-info></description>\n<body>");
    if (withNotesAndPicture) xml += QStringLiteral("<image l:href=\"#cover.png\"/>");
    for (const QStringList& chapter : book.Chapters) {
        xml += QStringLiteral("<section>\n<title><p>%1</p></title>\n").arg(Escaped(chapter.first()));
        for (qsizetype p = 1; p < chapter.size(); ++p) {
            QString text = Escaped(chapter[p]);
            // Inline markup keeps its words in the paragraph.
            if (p == 1) text.replace(0, text.indexOf(u' '), QStringLiteral("<emphasis>%1</emphasis>").arg(text.section(u' ', 0, 0)));
            if (withNotesAndPicture && p == 2) {
                // A reference glued to its word, one that stands alone before
                // the punctuation, and one written as text.
                text.insert(text.indexOf(u' '), QStringLiteral("<a l:href=\"#n1\" type=\"note\">[1]</a>"));
                text.insert(text.lastIndexOf(u'.'), QStringLiteral(" <a l:href=\"#n1\">[2]</a>"));
            }
            if (withNotesAndPicture && p == 3) text.insert(text.indexOf(u' '), QStringLiteral("[3]"));
            xml += QStringLiteral("<p>%1</p>\n").arg(text);
        }
        xml += QStringLiteral("<empty-line/></section>\n");
    }
    xml += QStringLiteral("</body>\n");
    if (withNotesAndPicture) {
        xml += QStringLiteral("<body name=\"notes\"><section id=\"n1\"><title><p>1</p></title>"
                              "<p>Примечание, которого нет в тексте упражнения.</p></section></body>\n"
                              "<binary id=\"cover.png\" content-type=\"image/png\">iVBORw0KGgo=</binary>\n");
    }
    xml += QStringLiteral("</FictionBook>\n");
    return EncodeXml(xml, encoding);
}

QByteArray Utf16Fb2(const Book& book, bool bigEndian, bool byteOrderMark) {
    QByteArray xml = Fb2(book, "UTF-8");
    xml.replace("encoding=\"UTF-8\"", "encoding=\"utf-16\"");
    const QByteArray bytes = Encode(QString::fromUtf8(xml), bigEndian ? "UTF-16BE" : "UTF-16LE");
    if (!byteOrderMark) return bytes;
    return (bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE")) + bytes;
}

namespace {

QByteArray WriteZip(const Entries& deflated, const Entries& stored, int level = 6) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (buffer == nullptr) throw std::runtime_error("zip buffer");
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (archive == nullptr) throw std::runtime_error("zip open");
    zip_source_keep(buffer);
    for (const Entries* list : {&deflated, &stored}) {
        for (const auto& [name, bytes] : *list) {
            // libzip reads the data when the archive is written; the lists outlive that.
            zip_source_t* data = zip_source_buffer(archive, bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
            const zip_int64_t index = zip_file_add(archive, name.toUtf8().constData(), data, ZIP_FL_ENC_UTF_8);
            if (index < 0) throw std::runtime_error("zip add");
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), list == &stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, static_cast<zip_uint32_t>(level));
        }
    }
    if (zip_close(archive) != 0) throw std::runtime_error("zip close");
    QByteArray result;
    zip_stat_t stat;
    if (zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
        result.resize(static_cast<qsizetype>(stat.size));
        zip_source_read(buffer, result.data(), stat.size);
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    zip_error_fini(&error);
    return result;
}

}  // namespace

QByteArray Zip(const Entries& entries, bool store) { return store ? WriteZip({}, entries) : WriteZip(entries, {}); }

QByteArray Epub(const Book& book, int version, qint64 pictureBytes) {
    Entries entries;
    entries.append({QStringLiteral("mimetype"), QByteArray("application/epub+zip")});
    entries.append({QStringLiteral("META-INF/container.xml"),
                    QByteArray("<?xml version=\"1.0\"?>\n<container version=\"1.0\" "
                               "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
                               "<rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>"
                               "</rootfiles></container>\n")});
    QString manifest;
    QString spine;
    // A cover page left out of the reading order, and a navigation document.
    manifest += QStringLiteral("<item id=\"cover\" href=\"Text/cover.xhtml\" media-type=\"application/xhtml+xml\"/>");
    spine += QStringLiteral("<itemref idref=\"cover\" linear=\"no\"/>");
    entries.append({QStringLiteral("OEBPS/Text/cover.xhtml"),
                    QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?><html xmlns=\"http://www.w3.org/1999/xhtml\">"
                               "<head><title>cover</title></head><body><p>Обложка</p></body></html>")});
    for (qsizetype c = 0; c < book.Chapters.size(); ++c) {
        const QStringList& chapter = book.Chapters[c];
        // Chapter names with a space, written percent-encoded in the package.
        const QString file = QStringLiteral("Text/глава %1.xhtml").arg(c + 1);
        const QString href = QString::fromUtf8(QUrl::toPercentEncoding(file, "/"));
        manifest += QStringLiteral("<item id=\"c%1\" href=\"%2\" media-type=\"application/xhtml+xml\"/>").arg(c + 1).arg(href);
        spine += QStringLiteral("<itemref idref=\"c%1\"/>").arg(c + 1);
        QString html = version == 2
                           ? QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE html PUBLIC "
                                            "\"-//W3C//DTD XHTML 1.1//EN\" \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\n")
                           : QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE html>\n");
        html += QStringLiteral("<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>%1</title>"
                               "<style>p { text-indent: 1em; }</style><script>var hidden = 1;</script></head>\n<body>"
                               "<h2>%1</h2>\n")
                    .arg(Escaped(chapter.first()));
        for (qsizetype p = 1; p < chapter.size(); ++p) {
            QString text = Escaped(chapter[p]);
            // HTML's named references and inline markup inside a paragraph.
            text.replace(QStringLiteral(" и "), QStringLiteral("&nbsp;и "));
            if (p == 1) text = QStringLiteral("<span class=\"first\"><b>") + text.section(u' ', 0, 0) + QStringLiteral("</b></span> ") + text.section(u' ', 1);
            html += QStringLiteral("<p>%1</p>\n").arg(text);
        }
        html += QStringLiteral("</body></html>\n");
        entries.append({QStringLiteral("OEBPS/") + file, html.toUtf8()});
    }
    QString authorMeta = QStringLiteral("<dc:creator>%1</dc:creator>").arg(Escaped(book.Author));
    QString opf = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<package xmlns=\"http://www.idpf.org/2007/opf\" "
                                 "version=\"%1.0\" unique-identifier=\"id\"><metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
                                 "<dc:identifier id=\"id\">vistorel-story</dc:identifier><dc:title>%2</dc:title>%3"
                                 "<dc:description>%4</dc:description><dc:language>ru</dc:language></metadata>"
                                 "<manifest>%5</manifest><spine>%6</spine></package>\n")
                      .arg(version)
                      .arg(Escaped(book.Title), authorMeta,
                           // Descriptions are HTML written as text.
                           Escaped(QStringLiteral("<p>") + book.Annotation.join(QStringLiteral("</p> <p>")) + QStringLiteral("</p>")),
                           manifest, spine);
    entries.append({QStringLiteral("OEBPS/content.opf"), opf.toUtf8()});
    // Pictures: bytes that look random, stored as they are.
    Entries pictures;
    quint32 state = 12345;
    for (int n = 1; pictureBytes > 0; ++n) {
        QByteArray picture(static_cast<qsizetype>(std::min<qint64>(pictureBytes, 512 * 1024)), Qt::Uninitialized);
        for (char& byte : picture) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<char>(state >> 24);
        }
        pictureBytes -= picture.size();
        pictures.append({QStringLiteral("OEBPS/Images/picture%1.jpg").arg(n), picture});
    }
    return WriteZip(entries, pictures);
}

QByteArray ZipBomb(qint64 bytes) {
    // The fastest packing: zeros pack a thousand to one at any level.
    return WriteZip({{QStringLiteral("book.fb2"), QByteArray(static_cast<qsizetype>(bytes), '\0')}}, {}, 1);
}

QByteArray NestedFb2(int depth) {
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FictionBook><body>";
    // FictionBook and body are two levels; sections make up the rest, the
    // paragraph the last.
    for (int i = 0; i < depth - 3; ++i) xml += "<section>";
    xml += "<p>Глубоко</p>";
    for (int i = 0; i < depth - 3; ++i) xml += "</section>";
    xml += "</body></FictionBook>\n";
    return xml;
}

QString StoryText(int lines) {
    QStringList text;
    const QStringList& sentences = Sentences();
    for (int i = 0; i < lines; ++i) text.append(sentences[i % sentences.size()]);
    return text.join(u'\n') + u'\n';
}

}  // namespace vistorel::bookmaker

namespace vistorel::bookmaker {

QByteArray EpubOf(const QString& title, const Entries& documents, const Entries& extra) {
    Entries entries;
    entries.append({QStringLiteral("mimetype"), QByteArray("application/epub+zip")});
    entries.append({QStringLiteral("META-INF/container.xml"),
                    QByteArray("<?xml version=\"1.0\"?>\n<container version=\"1.0\" "
                               "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
                               "<rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>"
                               "</rootfiles></container>\n")});
    QString manifest;
    QString spine;
    for (qsizetype d = 0; d < documents.size(); ++d) {
        manifest += QStringLiteral("<item id=\"d%1\" href=\"Text/%2\" media-type=\"application/xhtml+xml\"/>")
                        .arg(d + 1)
                        .arg(Escaped(documents[d].first));
        spine += QStringLiteral("<itemref idref=\"d%1\"/>").arg(d + 1);
        entries.append({QStringLiteral("OEBPS/Text/") + documents[d].first, documents[d].second});
    }
    const QString opf = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<package xmlns=\"http://www.idpf.org/2007/opf\" "
                                       "version=\"3.0\" unique-identifier=\"id\"><metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
                                       "<dc:identifier id=\"id\">vistorel-documents</dc:identifier><dc:title>%1</dc:title>"
                                       "<dc:language>ru</dc:language></metadata><manifest>%2</manifest><spine>%3</spine></package>\n")
                            .arg(Escaped(title), manifest, spine);
    entries.append({QStringLiteral("OEBPS/content.opf"), opf.toUtf8()});
    entries += extra;
    return WriteZip(entries, {});
}

QByteArray Xhtml(const QString& body, const QString& doctype) {
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + doctype +
            QStringLiteral("\n<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\" "
                           "xml:lang=\"ru\">\n<head>\n  <meta charset=\"utf-8\" />\n  <title>chapter</title>\n</head>\n") +
            body + QStringLiteral("\n</html>\n"))
        .toUtf8();
}

QByteArray PandocChapter() {
    return Xhtml(QStringLiteral(
        "<body epub:type=\"bodymatter\">\n"
        "<section id=\"глава-первая\" class=\"level1\" data-number=\"1\">\n"
        "<h1 data-number=\"1\">Глава первая</h1>\n"
        "<p>&Eacute;mile пришёл домой. Ветер был сильное<a href=\"#fn1\" class=\"footnote-ref\" id=\"fnref1\" "
        "epub:type=\"noteref\">1</a> и холодный.</p>\n"
        "<p>Второй абзац с отдельной ссылкой <a href=\"#fn2\" class=\"footnote-ref\" id=\"fnref2\" "
        "epub:type=\"noteref\">2</a> среди слов.</p>\n"
        "</section>\n"
        "<section class=\"footnotes footnotes-end-of-document\" epub:type=\"footnotes\">\n<hr />\n<ol>\n"
        "<li id=\"fn1\" epub:type=\"footnote\"><p>Примечание о ветре, которого нет в тексте.<a href=\"#fnref1\" "
        "class=\"footnote-back\" role=\"doc-backlink\">\u21A9\uFE0E</a></p></li>\n"
        "<li id=\"fn2\" epub:type=\"footnote\"><p>Второе примечание.<a href=\"#fnref2\" class=\"footnote-back\" "
        "role=\"doc-backlink\">\u21A9\uFE0E</a></p></li>\n"
        "</ol>\n</section>\n</body>"));
}

QStringList PandocLines() {
    return {QStringLiteral("Глава первая"), QStringLiteral("Émile пришёл домой. Ветер был сильное и холодный."),
            QStringLiteral("Второй абзац с отдельной ссылкой среди слов.")};
}

QByteArray EncryptionXml(const QStringList& files, bool fontObfuscation) {
    const QString algorithm = fontObfuscation ? QStringLiteral("http://www.idpf.org/2008/embedding")
                                              : QStringLiteral("http://www.w3.org/2001/04/xmlenc#aes128-cbc");
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<encryption xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\" "
                                 "xmlns:enc=\"http://www.w3.org/2001/04/xmlenc#\" "
                                 "xmlns:ds=\"http://www.w3.org/2000/09/xmldsig#\">\n");
    for (const QString& file : files) {
        xml += QStringLiteral("<enc:EncryptedData><enc:EncryptionMethod Algorithm=\"%1\"/>"
                              "<ds:KeyInfo><ds:RetrievalMethod URI=\"license.lcpl#/encryption/content_key\"/></ds:KeyInfo>"
                              "<enc:CipherData><enc:CipherReference URI=\"%2\"/></enc:CipherData></enc:EncryptedData>\n")
                   .arg(algorithm, QString::fromUtf8(QUrl::toPercentEncoding(file, "/")));
    }
    xml += QStringLiteral("</encryption>\n");
    return xml.toUtf8();
}

namespace {

// `length` characters of the story's sentences.
QString StoryCharacters(qint64 length) {
    QString text;
    for (int s = 0; text.size() < length; ++s) text += Sentences()[s % Sentences().size()] + u' ';
    return text.left(length);
}

QByteArray Repeated(const QByteArray& piece, int times) {
    QByteArray bytes;
    bytes.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i) bytes += piece;
    return bytes;
}

}  // namespace

QByteArray EntityFb2(int length, int uses, EntityPlace place) {
    const QByteArray references = Repeated("&e;", uses);
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE FictionBook [<!ENTITY e \"" +
                     StoryCharacters(length).toUtf8() +
                     "\">]>\n<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description><title-info>"
                     "<book-title>Маяк</book-title><annotation><p>" +
                     (place == EntityPlace::Annotation ? references : QByteArray("Рассказ.")) +
                     "</p></annotation></title-info></description>\n<body><section><p" +
                     (place == EntityPlace::Attribute ? " id=\"" + references + "\"" : QByteArray()) + ">" +
                     (place == EntityPlace::Text ? references : QByteArray("Начало.")) +
                     "</p></section></body></FictionBook>\n";
    return xml;
}

namespace {

// An EPUB whose reading order names its one chapter `uses` times; the
// chapter stored, as it is, so that its size is the book's.
QByteArray OneChapterEpub(const QByteArray& chapter, int uses) {
    const QByteArray opf = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<package xmlns=\"http://www.idpf.org/2007/opf\" "
                           "version=\"3.0\" unique-identifier=\"id\"><metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
                           "<dc:identifier id=\"id\">vistorel-one-chapter</dc:identifier><dc:title>Маяк</dc:title></metadata>"
                           "<manifest><item id=\"c\" href=\"c.xhtml\" media-type=\"application/xhtml+xml\"/></manifest><spine>" +
                           Repeated("<itemref idref=\"c\"/>", uses) + "</spine></package>\n";
    const Entries packed = {
        {QStringLiteral("mimetype"), QByteArray("application/epub+zip")},
        {QStringLiteral("META-INF/container.xml"),
         QByteArray("<?xml version=\"1.0\"?>\n<container version=\"1.0\" "
                    "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
                    "<rootfile full-path=\"content.opf\" media-type=\"application/oebps-package+xml\"/>"
                    "</rootfiles></container>\n")},
        {QStringLiteral("content.opf"), opf}};
    return WriteZip(packed, {{QStringLiteral("c.xhtml"), chapter}});
}

}  // namespace

QByteArray EntityEpub(int length, int uses) {
    const QString doctype = QStringLiteral("<!DOCTYPE html [<!ENTITY e \"%1\">]>").arg(StoryCharacters(length));
    const QString body = QStringLiteral("<body><p>%1</p></body>").arg(QString::fromLatin1(Repeated("&e;", uses)));
    return OneChapterEpub(Xhtml(body, doctype), 1);
}

QByteArray RepeatedSpineEpub(qint64 chapterBytes, int uses) {
    QString body = QStringLiteral("<body>");
    while (body.toUtf8().size() + 4016 < chapterBytes) body += QStringLiteral("<p>%1</p>\n").arg(StoryCharacters(2000));
    return OneChapterEpub(Xhtml(body + QStringLiteral("</body>")), uses);
}

QByteArray ManyAttributesFb2(int count) {
    QByteArray attributes;
    for (int i = 0; i < count; ++i) attributes += " a" + QByteArray::number(i) + "=\"\"";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">"
           "<body><section><p" + attributes + ">Начало.</p></section></body></FictionBook>\n";
}

namespace {

QByteArray Package(const QString& manifest, const QString& spine, int version = 3, const QString& metadata = {}) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<package xmlns=\"http://www.idpf.org/2007/opf\" "
                          "version=\"%1.0\" unique-identifier=\"id\"><metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
                          "<dc:identifier id=\"id\">seed</dc:identifier><dc:title>Маяк</dc:title>%2</metadata>"
                          "<manifest>%3</manifest><spine>%4</spine></package>\n")
        .arg(version)
        .arg(metadata, manifest, spine)
        .toUtf8();
}

QByteArray Container(const QString& packagePath) {
    return QStringLiteral("<?xml version=\"1.0\"?>\n<container version=\"1.0\" "
                          "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
                          "<rootfile full-path=\"%1\" media-type=\"application/oebps-package+xml\"/></rootfiles></container>\n")
        .arg(packagePath)
        .toUtf8();
}

// A book of the entries given with its own container and package.
QByteArray Packed(const QString& packagePath, const QByteArray& package, const Entries& documents) {
    Entries entries{{QStringLiteral("mimetype"), QByteArray("application/epub+zip")},
                    {QStringLiteral("META-INF/container.xml"), Container(packagePath)},
                    {packagePath, package}};
    entries += documents;
    return WriteZip(entries, {});
}

}  // namespace

Entries EpubSeeds() {
    const auto chapter = [](const QString& name, const QString& body) {
        return std::pair{name, EpubOf(QStringLiteral("Маяк"), {{QStringLiteral("a.xhtml"), Xhtml(body)}})};
    };
    const QString story = Sentences()[0] + u' ' + Sentences()[1];
    Entries seeds;
    seeds.append({QStringLiteral("story-2x2.epub"), Epub(StoryBook(2, 2, 1), 2)});
    seeds.append({QStringLiteral("story-1x4.epub"), Epub(StoryBook(1, 4, 1), 3)});
    seeds.append({QStringLiteral("two-documents.epub"),
                  EpubOf(QStringLiteral("Маяк"), {{QStringLiteral("a.xhtml"), Xhtml(QStringLiteral("<body><p>%1</p></body>").arg(story))},
                                                   {QStringLiteral("b b.xhtml"), Xhtml(QStringLiteral("<body><h1>Глава</h1><p>Конец.</p></body>"))}})});
    seeds.append(chapter(QStringLiteral("blocks.epub"), QStringLiteral(
        "<body><h1>Глава</h1><div><p>Первый <em>абзац</em>.</p><blockquote>Цитата</blockquote></div>"
        "<ul><li>один</li><li>два</li></ul><dl><dt>Слово</dt><dd>значение</dd></dl><hr/><p>Конец<br/>строки</p></body>")));
    seeds.append(chapter(QStringLiteral("table.epub"), QStringLiteral(
        "<body><table><caption>Таблица</caption><tr><th>А</th><th>Б</th></tr><tr><td>1</td><td>2</td></tr></table></body>")));
    seeds.append(chapter(QStringLiteral("notes-epub3.epub"), QStringLiteral(
        "<body><p>Слово<a epub:type=\"noteref\" href=\"#n1\">1</a>, дальше.</p>"
        "<aside epub:type=\"footnote\" id=\"n1\"><p>Сноска</p></aside></body>")));
    seeds.append(chapter(QStringLiteral("notes-classes.epub"), QStringLiteral(
        "<body><p>Текст<a class=\"footnote-ref\" href=\"#f\">[2]</a> и <a href=\"notes.xhtml#x\">ссылка</a>.</p>"
        "<section role=\"doc-endnotes\"><ol><li id=\"f\">Примечание</li></ol></section><p>{3} после</p></body>")));
    seeds.append(chapter(QStringLiteral("ruby.epub"), QStringLiteral(
        "<body><p><ruby>漢<rp>(</rp><rt>kan</rt><rp>)</rp>字<rtc>ji</rtc></ruby> текст</p></body>")));
    seeds.append(chapter(QStringLiteral("verse.epub"), QStringLiteral("<body><pre>\nШумит   волна\nу маяка\n\n</pre></body>")));
    seeds.append(chapter(QStringLiteral("dropped.epub"), QStringLiteral(
        "<body><script>var a = 1;</script><style>p{}</style><svg><text>нет</text></svg><p>да</p>"
        "<math><mi>x</mi></math><noscript>нет</noscript><template>нет</template></body>")));
    seeds.append(chapter(QStringLiteral("entities.epub"), QStringLiteral("<body><p>&amp;nbsp; &#1046; &#x416; &lt;p&gt;</p></body>")));
    seeds.append({QStringLiteral("html-entities.epub"),
                  EpubOf(QStringLiteral("Маяк"), {{QStringLiteral("a.xhtml"),
                         Xhtml(QStringLiteral("<body><p>&Eacute;mile &nbsp; &hellip; &mdash;</p></body>"),
                               QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">"))}})});
    seeds.append({QStringLiteral("internal-entity.epub"),
                  OneChapterEpub(Xhtml(QStringLiteral("<body><p>&e; &e;</p></body>"),
                                       QStringLiteral("<!DOCTYPE html [<!ENTITY e \"маяк\"><!ENTITY f \"&e;&e;\">]>")), 1)});
    seeds.append(chapter(QStringLiteral("not-well-formed.epub"), QStringLiteral("<body><p>Строка<br>вторая &nbsp &eacute R&D<p>Незакрытый</body>")));
    seeds.append(chapter(QStringLiteral("nested.epub"), QStringLiteral("<body>") + QStringLiteral("<div>").repeated(30) + QStringLiteral("глубоко") +
                                                            QStringLiteral("</div>").repeated(30) + QStringLiteral("</body>")));
    QByteArray damaged = Xhtml(QStringLiteral("<body><p>Вто#рая</p></body>"));
    damaged.replace('#', "\xFF");
    seeds.append({QStringLiteral("damaged-utf8.epub"), EpubOf(QStringLiteral("Маяк"), {{QStringLiteral("a.xhtml"), damaged}})});
    const QByteArray windows = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p>" +
                               Encode(QStringLiteral("Маяк на мысе"), "windows-1251") + "</p></body></html>";
    seeds.append({QStringLiteral("windows-1251.epub"), EpubOf(QStringLiteral("Маяк"), {{QStringLiteral("a.xhtml"), windows}})});
    seeds.append({QStringLiteral("utf16.epub"), EpubOf(QStringLiteral("Маяк"), {{QStringLiteral("a.xhtml"),
                  Encode(QString::fromUtf8(Xhtml(QStringLiteral("<body><p>Маяк</p></body>")).replace("UTF-8", "UTF-16")), "UTF-16LE")}})});
    // Package documents.
    const QString item = QStringLiteral("<item id=\"%1\" href=\"%2\" media-type=\"%3\"/>");
    const QByteArray page = Xhtml(QStringLiteral("<body><p>%1</p></body>").arg(story));
    seeds.append({QStringLiteral("package-folders.epub"),
                  Packed(QStringLiteral("OPS/book/package.opf"),
                         Package(item.arg("c1", "../text/c%201.xhtml", "application/xhtml+xml"), QStringLiteral("<itemref idref=\"c1\"/>")),
                         {{QStringLiteral("OPS/text/c 1.xhtml"), page}})});
    seeds.append({QStringLiteral("package-order.epub"),
                  Packed(QStringLiteral("content.opf"),
                         Package(item.arg("b", "b.xhtml", "application/xhtml+xml") + item.arg("a", "a.xhtml", "application/xhtml+xml") +
                                     item.arg("css", "s.css", "text/css") + item.arg("nav", "nav.xhtml", "application/xhtml+xml"),
                                 QStringLiteral("<itemref idref=\"nav\" linear=\"no\"/><itemref idref=\"a\"/><itemref idref=\"missing\"/>"
                                                "<itemref idref=\"css\"/><itemref idref=\"b\"/>"),
                                 2, QStringLiteral("<dc:creator>Ирина Ветрова</dc:creator><dc:description>&lt;p&gt;О маяке&lt;/p&gt;</dc:description>")),
                         {{QStringLiteral("a.xhtml"), page}, {QStringLiteral("b.xhtml"), Xhtml(QStringLiteral("<body><p>Б</p></body>"))},
                          {QStringLiteral("nav.xhtml"), Xhtml(QStringLiteral("<body><nav><ol><li>Оглавление</li></ol></nav></body>"))},
                          {QStringLiteral("s.css"), QByteArray("p { margin: 0 }")}})});
    seeds.append({QStringLiteral("package-missing-document.epub"),
                  Packed(QStringLiteral("content.opf"), Package(item.arg("a", "gone.xhtml", "application/xhtml+xml"), QStringLiteral("<itemref idref=\"a\"/>")), {})});
    seeds.append({QStringLiteral("package-no-rootfile.epub"),
                  WriteZip({{QStringLiteral("mimetype"), QByteArray("application/epub+zip")},
                            {QStringLiteral("META-INF/container.xml"), QByteArray("<container><rootfiles/></container>")}}, {})});
    seeds.append({QStringLiteral("drm.epub"),
                  EpubOf(QStringLiteral("Маяк"), {{QStringLiteral("a.xhtml"), page}},
                         {{QStringLiteral("META-INF/encryption.xml"), EncryptionXml({QStringLiteral("OEBPS/Text/a.xhtml")}, false)}})});
    seeds.append({QStringLiteral("pandoc.epub"), EpubOf(QStringLiteral("Émile"), {{QStringLiteral("ch001.xhtml"), PandocChapter()}})});
    // Hostile books, past the fuzzer's limits of 1 M characters and 200 attributes.
    seeds.append({QStringLiteral("hostile-entity.epub"), EntityEpub(1000, 2000)});
    seeds.append({QStringLiteral("hostile-spine-repeats.epub"), RepeatedSpineEpub(20000, 100)});
    QString attributes;
    for (int i = 0; i < 300; ++i) attributes += QStringLiteral(" a%1=\"\"").arg(i);
    seeds.append(chapter(QStringLiteral("hostile-attributes.epub"), QStringLiteral("<body><p%1>много</p></body>").arg(attributes)));
    seeds.append(chapter(QStringLiteral("hostile-attributes-not-well-formed.epub"), QStringLiteral("<body><p%1>много<br></body>").arg(attributes)));
    return seeds;
}

}  // namespace vistorel::bookmaker
