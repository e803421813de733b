// Writes sample books and texts into a folder: an FB2 in UTF-8 and in
// Windows-1251, the FB2 packed in zip, EPUB 2 and 3, the story as plain text
// in each encoding the program reads, a text of 600-character lines, a zip
// bomb (and a small one, for the fuzz seeds), a damaged archive and a
// deeply nested FB2.

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
    return ok ? 0 : 1;
}
