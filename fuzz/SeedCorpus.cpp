// Writes the seed files of the settings and library targets with the
// program's own record code (built with the fuzzers; run once by hand):
//
//   build-fuzz/fuzz/fuzz_seed_corpus fuzz/corpus
//
// The text and picture seeds come from data/sample.txt and ImageMagick.

#include "records/Settings.h"
#include "records/TextLibraryFile.h"

#include <QDir>
#include <QFile>
#include <cstdio>

using namespace vistorel;

namespace {

Settings Record(const QString& text, std::uint16_t level, std::uint8_t fontSize) {
    Settings settings;
    settings.TextPath.SetText(text);
    settings.Level = level;
    settings.FontSize = fontSize;
    settings.TextColor = 0x1E1E1E;
    settings.BackColor = 0xE6F5FD;
    return settings;
}

TextRecord Entry(const QString& title, const QString& path, const QStringList& bookmarks,
                 const QStringList& description) {
    TextRecord entry;
    entry.Title.SetText(title);
    entry.FilePath.SetText(path);
    entry.BookmarkCount = static_cast<std::uint16_t>(bookmarks.size());
    for (int k = 1; k <= bookmarks.size(); ++k) {
        entry.BookmarkName(k).SetText(bookmarks[k - 1]);
        entry.BookmarkLine(k) = static_cast<std::uint32_t>(17 * k);
    }
    entry.DescriptionLineCount = static_cast<std::uint16_t>(description.size());
    for (int k = 1; k <= description.size(); ++k) entry.DescriptionLine(k).SetText(description[k - 1]);
    return entry;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_corpus <corpus folder>\n");
        return 2;
    }
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(corpus.filePath(QStringLiteral("settings")));
    QDir().mkpath(corpus.filePath(QStringLiteral("library")));
    auto settingsFile = [&](const char* name) { return corpus.filePath(QStringLiteral("settings/") + QLatin1String(name)); };
    auto libraryFile = [&](const char* name) { return corpus.filePath(QStringLiteral("library/") + QLatin1String(name)); };

    // A first run's settings; a hard level with a picture and the smart
    // divider; the view mode after a long path was replaced by a short one.
    bool saved = SaveSettingsFile(settingsFile("practice.ini"), Record(QStringLiteral("sample.txt"), 0, 24));
    Settings picture = Record(QStringLiteral("/home/reader/Тексты/Рассказ о маяке.txt"), 2, 12);
    picture.UsePicture = 1;
    picture.DefaultFontSize = 1;
    picture.SmartDivider = 1;
    picture.PicturePath.SetText(QStringLiteral("images\\bgrnd.bmp"));
    saved = SaveSettingsFile(settingsFile("picture.ini"), picture) && saved;
    Settings view = Record(QStringLiteral("/mnt/library/very/long/folder/name/of/a/shared/text/collection/book.txt"), 3, 36);
    view.TextPath.SetText(QStringLiteral("short.txt"));
    saved = SaveSettingsFile(settingsFile("view-mode.ini"), view) && saved;

    TextTable library;
    library[1] = Entry(QStringLiteral("Маяк на Сером мысе"), QStringLiteral("sample.txt"),
                       {QStringLiteral("Начало"), QStringLiteral("Буря"), QStringLiteral("Варя у маяка")},
                       {QStringLiteral("Рассказ о смотрителе маяка и девочке Варе."),
                        QStringLiteral("Текст для первых упражнений.")});
    library[2] = Entry(QStringLiteral("Notes, 2nd edition"), QStringLiteral("/home/reader/notes-1251.txt"), {}, {});
    try {
        SaveTextLibraryFile(libraryFile("one.dat"), library, 1);
        SaveTextLibraryFile(libraryFile("two.dat"), library, 2);
    } catch (const std::exception&) {
        saved = false;
    }
    // Two records and the start of a third that an interrupted copy cut off.
    QFile cut(libraryFile("two-and-a-part.dat"));
    QFile two(libraryFile("two.dat"));
    if (!two.open(QIODevice::ReadOnly) || !cut.open(QIODevice::WriteOnly)) return 1;
    const QByteArray whole = two.readAll();
    saved = cut.write(whole + whole.left(300)) == whole.size() + 300 && saved;
    return saved ? 0 : 1;
}
