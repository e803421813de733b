#pragma once
// Makes books and texts for the tests, the benchmarks and the fuzz seeds:
// FB2 in UTF-8 or Windows-1251, FB2 packed in zip, EPUB 2 and 3, zip bombs,
// deeply nested XML and plain texts, all from sentences written here.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace vistorel::bookmaker {

// Sentences of a short story about a lighthouse keeper, in Russian.
const QStringList& Sentences();

struct Book {
    QString Title;
    QString Author;            // "Имя Фамилия"
    QStringList Annotation;    // paragraphs
    QList<QStringList> Chapters;  // the first line of a chapter is its title
};

// A book of `chapters` chapters with `paragraphs` paragraphs each, every
// paragraph `sentencesPerParagraph` sentences taken round from Sentences().
Book StoryBook(int chapters, int paragraphs, int sentencesPerParagraph = 3);

// The lines a reader should give for the book: each chapter's title and
// paragraphs in order.
QStringList BookLines(const Book& book);

// An FB2 document in "UTF-8" or "windows-1251"; with notes (references to
// them in the text, a body of notes) and a cover picture that a reader must
// leave out.
QByteArray Fb2(const Book& book, const char* encoding = "UTF-8", bool withNotesAndPicture = true);

// The same FB2 document in UTF-16 (declared "utf-16"), little or big endian,
// with or without a byte-order mark.
QByteArray Utf16Fb2(const Book& book, bool bigEndian, bool byteOrderMark);

// An EPUB book, version 2 or 3, a document per chapter; with pictureBytes,
// pictures of that many bytes in all (stored, as pictures do not pack).
QByteArray Epub(const Book& book, int version = 3, qint64 pictureBytes = 0);

// A zip archive of the entries in order, deflated unless `store`.
using Entries = QList<std::pair<QString, QByteArray>>;
QByteArray Zip(const Entries& entries, bool store = false);

// An EPUB 3 book titled `title` whose reading order is the given XHTML
// documents, as they are (named OEBPS/Text/<name>), with `extra` entries
// (META-INF/encryption.xml, fonts...) added.
QByteArray EpubOf(const QString& title, const Entries& documents, const Entries& extra = {});

// An XHTML document with the body given, as pandoc and calibre begin theirs.
QByteArray Xhtml(const QString& body, const QString& doctype = QStringLiteral("<!DOCTYPE html>"));

// The chapter of a book that pandoc makes from Markdown with [^1] notes:
// "Émile" written as &Eacute;mile, two paragraphs, a note reference after
// "сильное" and one that stands alone, and the notes at the end in
// pandoc's EPUB 3 shape. Its lines without the notes are PandocLines().
QByteArray PandocChapter();
QStringList PandocLines();

// META-INF/encryption.xml listing the files given, encrypted with AES (DRM)
// or, with fontObfuscation, obfuscated as EPUB does fonts.
QByteArray EncryptionXml(const QStringList& files, bool fontObfuscation);

// An archive whose one entry of zeros unpacks to `bytes`.
QByteArray ZipBomb(qint64 bytes);

// An FB2 document whose body nests `depth` elements deep in all.
QByteArray NestedFb2(int depth);

// Hostile books. An FB2 whose DTD declares one entity of `length`
// characters of the story, referenced `uses` times: in one paragraph, in the
// annotation or in an attribute value of a paragraph.
enum class EntityPlace { Text, Annotation, Attribute };
QByteArray EntityFb2(int length, int uses, EntityPlace place = EntityPlace::Text);
// An EPUB whose one chapter does the same in a paragraph.
QByteArray EntityEpub(int length, int uses);
// An EPUB whose reading order names its one chapter, of about
// `chapterBytes` of the story (stored, not packed), `uses` times.
QByteArray RepeatedSpineEpub(qint64 chapterBytes, int uses);
// An FB2 whose one paragraph has `count` attributes.
QByteArray ManyAttributesFb2(int count);

// Small EPUB books for the fuzzer's seeds, named: package documents of
// both versions and their variants (items out of order, linear="no",
// missing items, folders, escaped names), content documents of every kind
// the reader tells apart (blocks, notes, ruby, verse, tables, links,
// entities, encodings, damaged and not well-formed ones), and the hostile
// books at a size the fuzzer's limits reach.
Entries EpubSeeds();

// The story as a plain text of `lines` lines.
QString StoryText(int lines);

}  // namespace vistorel::bookmaker
