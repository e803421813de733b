#include "app/Workspace.h"

#include "platform/Errors.h"
#include "platform/FileAccess.h"
#include "records/Settings.h"
#include "records/TextLibraryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>

namespace vistorel {
namespace {

// The relative way from the program's folder to its installed data, as the
// build's install layout has it ("../share/vistorel").
const QString kDataFromProgram = QStringLiteral(VISTOREL_DATA_FROM_PROGRAM);

// A practice text larger than this is surely not one.
constexpr qint64 kMaxPracticeText = qint64{64} * 1024 * 1024;

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

bool Present(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void MakeFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir()) return;
    const QString action = QStringLiteral("создать папку");
    if (info.exists()) throw FileError(folder, action, QStringLiteral("на этом месте уже есть файл"));
    errno = 0;
    if (!QDir().mkpath(folder)) throw FileError(folder, action, ReasonOf(errno != 0 ? errno : EACCES));
}

}  // namespace

QString UserDataFolder() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::home().filePath(QStringLiteral(".local/share"));
    return QDir::cleanPath(base + QStringLiteral("/vistorel"));
}

QString InstalledDataFolder(const QString& programFolder) {
    const QString installed = QDir::cleanPath(QDir(programFolder).filePath(kDataFromProgram));
    if (QFileInfo(installed).isDir()) return installed;
    if (QFileInfo(QDir(programFolder).filePath(QStringLiteral("images"))).isDir()) {
        return QDir::cleanPath(programFolder);
    }
    return installed;
}

void PrepareWorkspace(const QString& folder, const QString& practiceText, const QString& imagesFolder) {
    MakeFolder(folder);
    const QDir workspace(folder);
    if (!imagesFolder.isEmpty()) {
        const QString link = workspace.filePath(QStringLiteral("images"));
        const QString target = QDir(workspace.absolutePath()).relativeFilePath(QFileInfo(imagesFolder).absoluteFilePath());
        errno = 0;
        if (!Present(link) && !QFile::link(target, link)) {
            throw FileError(link, QStringLiteral("создать ссылку на папку"), ReasonOf(errno != 0 ? errno : EACCES));
        }
    }
    const QString textName = QFileInfo(practiceText).fileName();
    const QString textCopy = workspace.filePath(textName);
    if (!Present(textCopy)) {
        WriteFileAtomically(textCopy,
                            ReadRegularFile(practiceText, kMaxPracticeText, QStringLiteral("прочитать учебный текст")));
    }
    const QString settingsFile = workspace.filePath(QStringLiteral("Vistorel.ini"));
    QString error;
    if (!Present(settingsFile) && !SaveSettingsFile(settingsFile, PracticeSettings(textName), &error)) {
        throw Error(error);
    }
    const QString libraryFile = workspace.filePath(QStringLiteral("book_data.dat"));
    if (!Present(libraryFile)) {
        TextTable library;
        library[1] = PracticeEntry(textName);
        SaveTextLibraryFile(libraryFile, library, 1);
    }
}

}  // namespace vistorel
