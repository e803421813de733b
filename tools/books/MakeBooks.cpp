// Writes sample books and texts into a folder: an FB2 in UTF-8, in
// Windows-1251 and in UTF-16 (with and without a byte-order mark), the FB2
// packed in zip, EPUB 2 and 3, an EPUB as pandoc makes it from Markdown with
// notes, EPUB documents with ruby and verse, HTML references under an
// XHTML 1.1 DOCTYPE, a document that is not well-formed, a DRM-protected
// EPUB and one with obfuscated fonts, the story as plain text in each
// encoding the program reads (and one-line texts in KOI8-R and CP866), a
// text of 600-character lines, a zip bomb (and a small one, for the fuzz
// seeds), a damaged archive, a deeply nested FB2, and books that would cost
// the reader far more than their size: entities, repeats, attributes.

#include "BookMaker.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <cstdio>

using namespace vistorel::bookmaker;

namespace {

bool Write(const QDir& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray Encoded(const QString& text, const char* encoding) { return QStringEncoder(encoding).encode(text); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vistorel-make-books FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());
    const Book book = StoryBook(3, 4);
    const QString story = StoryText(24);
    // Whole paragraphs on one line, as texts copied from the web have them.
    QString wide;
    for (int line = 0; line < 12; ++line) {
        QString text;
        for (int s = line; text.size() < 600; ++s) text += Sentences()[s % Sentences().size()] + u' ';
        wide += text.left(600) + u'\n';
    }
    QByteArray damaged = Epub(book);
    damaged.truncate(damaged.size() / 2);
    bool ok = true;
    ok = Write(folder, QStringLiteral("story-utf8.fb2"), Fb2(book)) && ok;
    ok = Write(folder, QStringLiteral("story-1251.fb2"), Fb2(book, "windows-1251")) && ok;
    ok = Write(folder, QStringLiteral("story.fb2.zip"), Zip({{QStringLiteral("story.fb2"), Fb2(book)}})) && ok;
    ok = Write(folder, QStringLiteral("story-2.epub"), Epub(book, 2)) && ok;
    ok = Write(folder, QStringLiteral("story-3.epub"), Epub(book, 3)) && ok;
    ok = Write(folder, QStringLiteral("story-utf8.txt"), story.toUtf8()) && ok;
    ok = Write(folder, QStringLiteral("story-1251.txt"), Encoded(story, "windows-1251")) && ok;
    ok = Write(folder, QStringLiteral("story-koi8r.txt"), Encoded(story, "KOI8-R")) && ok;
    ok = Write(folder, QStringLiteral("story-cp866.txt"), Encoded(story, "IBM866")) && ok;
    ok = Write(folder, QStringLiteral("story-utf16le.txt"), Encoded(story, "UTF-16LE")) && ok;
    ok = Write(folder, QStringLiteral("story-utf16be-bom.txt"), "\xFE\xFF" + Encoded(story, "UTF-16BE")) && ok;
    ok = Write(folder, QStringLiteral("wide-lines.txt"), wide.toUtf8()) && ok;
    ok = Write(folder, QStringLiteral("bomb.fb2.zip"), ZipBomb(qint64{100} * 1024 * 1024)) && ok;
    ok = Write(folder, QStringLiteral("small-bomb.fb2.zip"), ZipBomb(qint64{4} * 1024 * 1024)) && ok;
    ok = Write(folder, QStringLiteral("damaged.epub"), damaged) && ok;
    ok = Write(folder, QStringLiteral("nested.fb2"), NestedFb2(300)) && ok;

    ok = Write(folder, QStringLiteral("story-utf16le.fb2"), Utf16Fb2(book, false, false)) && ok;
    ok = Write(folder, QStringLiteral("story-utf16be-bom.fb2"), Utf16Fb2(book, true, true)) && ok;
    ok = Write(folder, QStringLiteral("line-koi8r.txt"), Encoded(QStringLiteral("ГЛАВА ПЕРВАЯ. Толстой Лев\n"), "KOI8-R")) && ok;
    ok = Write(folder, QStringLiteral("line-cp866.txt"), Encoded(QStringLiteral("Эй, ухнем!\n"), "IBM866")) && ok;
    const QString chapter = QStringLiteral("глава 1.xhtml");
    ok = Write(folder, QStringLiteral("pandoc-notes.epub"), EpubOf(QStringLiteral("Émile"), {{chapter, PandocChapter()}})) && ok;
    const QByteArray verse = Xhtml(QStringLiteral(
        "<body><p>Слово <ruby>漢<rp>(</rp><rt>kan</rt><rp>)</rp>字<rt>ji</rt></ruby> и текст</p>"
        "<pre>\nШумит   волна\nу маяка\n</pre><aside epub:type=\"footnote\"><p>Заметка</p></aside></body>"));
    const QByteArray references = Xhtml(
        QStringLiteral("<body><p>&Eacute;mile, &oelig;uvre, &alpha;&beta; &NotEqualTilde;</p></body>"),
        QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">"));
    const QByteArray mended = Xhtml(QStringLiteral("<body><p>Строка<br>вторая &nbsp &eacute R&D<p>Незакрытый</body>"));
    ok = Write(folder, QStringLiteral("ruby-verse-references.epub"),
               EpubOf(QStringLiteral("Стихи"), {{QStringLiteral("a.xhtml"), verse}, {QStringLiteral("b.xhtml"), references}})) && ok;
    ok = Write(folder, QStringLiteral("not-well-formed.epub"), EpubOf(QStringLiteral("Проза"), {{QStringLiteral("a.xhtml"), mended}})) && ok;
    QByteArray sealed(600, Qt::Uninitialized);
    for (qsizetype i = 0; i < sealed.size(); ++i) sealed[i] = static_cast<char>((i * 131 + 17) % 251);
    ok = Write(folder, QStringLiteral("drm.epub"),
               EpubOf(QStringLiteral("Защищённая"), {{chapter, sealed}},
                      {{QStringLiteral("META-INF/encryption.xml"),
                        EncryptionXml({QStringLiteral("OEBPS/Text/") + chapter}, false)}})) && ok;
    ok = Write(folder, QStringLiteral("obfuscated-fonts.epub"),
               EpubOf(QStringLiteral("Шрифты"), {{chapter, PandocChapter()}},
                      {{QStringLiteral("OEBPS/Fonts/serif.otf"), sealed},
                       {QStringLiteral("META-INF/encryption.xml"), EncryptionXml({QStringLiteral("OEBPS/Fonts/serif.otf")}, true)}})) && ok;
    // Hostile books: an entity of 4,000 characters referenced 100,000 times
    // in the text, the annotation, an attribute and an EPUB chapter (and 10
    // times, which reads), a reading order that names one chapter of 1 MB
    // 1,000 times, and 50,000 attributes on one element.
    ok = Write(folder, QStringLiteral("entity-text.fb2"), EntityFb2(4000, 100000)) && ok;
    ok = Write(folder, QStringLiteral("entity-text-10.fb2"), EntityFb2(4000, 10)) && ok;
    ok = Write(folder, QStringLiteral("entity-annotation.fb2"), EntityFb2(4000, 100000, EntityPlace::Annotation)) && ok;
    ok = Write(folder, QStringLiteral("entity-attribute.fb2"), EntityFb2(4000, 100000, EntityPlace::Attribute)) && ok;
    ok = Write(folder, QStringLiteral("entity-chapter.epub"), EntityEpub(4000, 100000)) && ok;
    ok = Write(folder, QStringLiteral("entity-chapter-10.epub"), EntityEpub(4000, 10)) && ok;
    ok = Write(folder, QStringLiteral("spine-repeats.epub"), RepeatedSpineEpub(1024 * 1024, 1000)) && ok;
    ok = Write(folder, QStringLiteral("many-attributes.fb2"), ManyAttributesFb2(50000)) && ok;
    // The fuzzer's EPUB seeds, in a folder of their own.
    const QDir seeds(folder.filePath(QStringLiteral("epub-seeds")));
    QDir().mkpath(seeds.path());
    for (const auto& [name, bytes] : EpubSeeds()) ok = Write(seeds, name, bytes) && ok;
    // The hostile FB2 books at a size the fuzzer's limits (1 M characters,
    // 200 attributes) reach.
    const QDir fb2Seeds(folder.filePath(QStringLiteral("fb2-seeds")));
    QDir().mkpath(fb2Seeds.path());
    ok = Write(fb2Seeds, QStringLiteral("hostile-entity-text.fb2"), EntityFb2(1000, 1100)) && ok;
    ok = Write(fb2Seeds, QStringLiteral("hostile-entity-annotation.fb2"), EntityFb2(1000, 1100, EntityPlace::Annotation)) && ok;
    ok = Write(fb2Seeds, QStringLiteral("hostile-entity-attribute.fb2"), EntityFb2(1000, 1100, EntityPlace::Attribute)) && ok;
    ok = Write(fb2Seeds, QStringLiteral("hostile-attributes.fb2"), ManyAttributesFb2(201)) && ok;
    return ok ? 0 : 1;
}
