// Prepares a ready workspace for a first run: the images, the practice text,
// a settings file that names the text, and a library holding its entry.
// What already exists is kept, so the user's own settings and library survive.
//
//   vistorel-workspace <workspace folder> <images folder> <practice text>

#include "app/Settings.h"
#include "library/TextLibraryFile.h"
#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

using namespace vistorel;

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "vistorel-workspace: %s\n", qUtf8Printable(message));
    return 1;
}

Settings PracticeSettings(const QString& textName) {
    Settings settings;
    settings.TextPath.SetText(textName);
    settings.Level = 0;                 // beginners
    settings.FontSize = 24;
    settings.DefaultFontSize = 0;       // a size of the user's choice
    settings.TextColor = 0x1E1E1E;      // near-black text ...
    settings.BackColor = 0xE6F5FD;      // ... on a warm light background
    settings.SmartDivider = 0;
    return settings;
}

TextRecord PracticeEntry(const QString& textName) {
    TextRecord entry;
    entry.Title.SetText(QStringLiteral("Маяк на Сером мысе"));
    entry.FilePath.SetText(textName);
    const QStringList description = {
        QStringLiteral("Рассказ о смотрителе маяка и девочке Варе."),
        QStringLiteral("Текст для первых упражнений: около 300 строк."),
    };
    entry.DescriptionLineCount = static_cast<std::uint16_t>(description.size());
    for (int k = 1; k <= description.size(); ++k) entry.DescriptionLine(k).SetText(description[k - 1]);
    return entry;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Fail(QStringLiteral("usage: vistorel-workspace <workspace> <images> <practice text>"));
    const QDir workspace(QString::fromLocal8Bit(argv[1]));
    const QString images = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const QString text = QString::fromLocal8Bit(argv[3]);
    const QString textName = QFileInfo(text).fileName();

    if (!QDir().mkpath(workspace.path())) return Fail(QStringLiteral("cannot create ") + workspace.path());
    const QString imagesLink = workspace.filePath(QStringLiteral("images"));
    const QString imagesTarget = QDir(workspace.absolutePath()).relativeFilePath(images);
    if (!QFileInfo::exists(imagesLink) && !QFile::link(imagesTarget, imagesLink)) {
        return Fail(QStringLiteral("cannot link the images into ") + workspace.path());
    }
    const QString textCopy = workspace.filePath(textName);
    if (!QFileInfo::exists(textCopy) && !QFile::copy(text, textCopy)) {
        return Fail(QStringLiteral("cannot copy %1 into %2").arg(text, workspace.path()));
    }
    const QString settingsFile = workspace.filePath(QStringLiteral("Vistorel.ini"));
    if (!QFileInfo::exists(settingsFile) && !SaveSettingsFile(settingsFile, PracticeSettings(textName))) {
        return Fail(QStringLiteral("cannot write ") + settingsFile);
    }
    const QString libraryFile = workspace.filePath(QStringLiteral("book_data.dat"));
    if (!QFileInfo::exists(libraryFile)) {
        TextTable library;
        library[1] = PracticeEntry(textName);
        try {
            SaveTextLibraryFile(libraryFile, library, 1);
        } catch (const Error& e) {
            return Fail(e.Message());
        }
    }
    return 0;
}
