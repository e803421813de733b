#include "Workspace.h"

#include "app/Settings.h"
#include "library/TextLibraryFile.h"
#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace vistorel {
namespace {

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

QString PrepareWorkspace(const QString& workspacePath, const QString& imagesPath, const QString& practiceText) {
    const QDir workspace(workspacePath);
    const QString images = QFileInfo(imagesPath).absoluteFilePath();
    const QString textName = QFileInfo(practiceText).fileName();

    if (!QDir().mkpath(workspace.path())) return QStringLiteral("cannot create ") + workspace.path();
    const QString imagesLink = workspace.filePath(QStringLiteral("images"));
    const QString imagesTarget = QDir(workspace.absolutePath()).relativeFilePath(images);
    if (!QFileInfo::exists(imagesLink) && !QFile::link(imagesTarget, imagesLink)) {
        return QStringLiteral("cannot link the images into ") + workspace.path();
    }
    const QString textCopy = workspace.filePath(textName);
    if (!QFileInfo::exists(textCopy) && !QFile::copy(practiceText, textCopy)) {
        return QStringLiteral("cannot copy %1 into %2").arg(practiceText, workspace.path());
    }
    const QString settingsFile = workspace.filePath(QStringLiteral("Vistorel.ini"));
    if (!QFileInfo::exists(settingsFile) && !SaveSettingsFile(settingsFile, PracticeSettings(textName))) {
        return QStringLiteral("cannot write ") + settingsFile;
    }
    const QString libraryFile = workspace.filePath(QStringLiteral("book_data.dat"));
    if (!QFileInfo::exists(libraryFile)) {
        TextTable library;
        library[1] = PracticeEntry(textName);
        try {
            SaveTextLibraryFile(libraryFile, library, 1);
        } catch (const Error& e) {
            return e.Message();
        }
    }
    return {};
}

}  // namespace vistorel
