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

// An FB2 document in "UTF-8" or "windows-1251"; with notes, a body of notes
// and a picture that a reader must leave out.
QByteArray Fb2(const Book& book, const char* encoding = "UTF-8", bool withNotesAndPicture = true);

// An EPUB book, version 2 or 3, a document per chapter; with pictureBytes,
// pictures of that many bytes in all (stored, as pictures do not pack).
QByteArray Epub(const Book& book, int version = 3, qint64 pictureBytes = 0);

// A zip archive of the entries in order, deflated unless `store`.
using Entries = QList<std::pair<QString, QByteArray>>;
QByteArray Zip(const Entries& entries, bool store = false);

// An archive whose one entry of zeros unpacks to `bytes`.
QByteArray ZipBomb(qint64 bytes);

// An FB2 document whose body nests `depth` elements deep in all.
QByteArray NestedFb2(int depth);

// The story as a plain text of `lines` lines.
QString StoryText(int lines);

}  // namespace vistorel::bookmaker
