// The installation the Debian package is made from: every file in its place
// and nothing else, a desktop entry and metainfo that start the program in
// the user's data folder with its icon, and the installed program run from a
// moved prefix, writing only where the user's data belongs.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <memory>

#include "support/TestSupport.h"

namespace {

const QString kId = QStringLiteral(VISTOREL_APP_ID);

struct ProcessRun {
    int ExitCode = -1;
    QString Output;
};

ProcessRun Start(const QString& program, const QStringList& arguments, const QString& folder = {},
          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!folder.isEmpty()) process.setWorkingDirectory(folder);
    process.start(program, arguments);
    ProcessRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Output = QString::fromUtf8(process.readAll());
    return run;
}

// Every file below folder, as paths relative to it.
QStringList FilesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QList<int> IconSizes() {
    QList<int> sizes;
    for (const QString& size : QStringLiteral(VISTOREL_ICON_SIZES).split(QLatin1Char(','))) sizes.append(size.toInt());
    return sizes;
}

QString IconPath(int size) { return QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId); }

// The keys of the [Desktop Entry] group.
QMap<QString, QString> DesktopEntry(const QString& path) {
    QFile file(path);
    QMap<QString, QString> keys;
    if (!file.open(QIODevice::ReadOnly)) return keys;
    bool inGroup = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) inGroup = line == QStringLiteral("[Desktop Entry]");
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0) keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return keys;
}

// The program installed once, with `cmake --install`, into a temporary prefix.
class Installation : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = std::make_unique<QTemporaryDir>();
        const ProcessRun install = Start(QStringLiteral(VISTOREL_CMAKE),
                                  {QStringLiteral("--install"), QStringLiteral(VISTOREL_BUILD_DIR), QStringLiteral("--prefix"),
                                   Prefix()});
        installLog_ = install.ExitCode == 0 ? QString() : install.Output + QStringLiteral(" (exit %1)").arg(install.ExitCode);
    }
    static void TearDownTestSuite() { root_.reset(); }
    void SetUp() override { ASSERT_TRUE(installLog_.isEmpty()) << installLog_.toStdString(); }

    static QString Prefix() { return root_->filePath(QStringLiteral("usr")); }
    static QString Installed(const QString& path) { return QDir(Prefix()).filePath(path); }
    static QString Root() { return root_->path(); }

private:
    static inline std::unique_ptr<QTemporaryDir> root_;
    static inline QString installLog_;
};

// The package holds the program, its pictures, the practice text, the desktop
// entry, the metainfo, the icon in every size of the icon theme, the
// manual page, the licence and the changelog, and nothing else (no tests,
// tools or headers).
TEST_F(Installation, HoldsTheProgramItsDataAndDesktopFilesAndNothingElse) {
    QStringList expected = {
        QStringLiteral("bin/vistorel"),
        QStringLiteral("share/applications/%1.desktop").arg(kId),
        QStringLiteral("share/doc/vistorel/changelog.Debian.gz"),
        QStringLiteral("share/doc/vistorel/copyright"),
        QStringLiteral("share/man/man1/vistorel.1.gz"),
        QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kId),
        QStringLiteral("share/vistorel/sample.txt"),
    };
    const QStringList images = QDir(vistorel::test::ImagesDirectory()).entryList({QStringLiteral("*.bmp")}, QDir::Files);
    ASSERT_GT(images.size(), 90);  // the build drew them all
    for (const QString& image : images) expected.append(QStringLiteral("share/vistorel/images/") + image);
    for (const int size : IconSizes()) expected.append(IconPath(size));
    expected.sort();
    EXPECT_EQ(FilesBelow(Prefix()), expected);

    EXPECT_TRUE(QFileInfo(Installed(QStringLiteral("bin/vistorel"))).isExecutable());
    QFile manual(Installed(QStringLiteral("share/man/man1/vistorel.1.gz")));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    EXPECT_TRUE(manual.read(2) == QByteArray("\x1f\x8b"));  // gzip
    QFile copyright(Installed(QStringLiteral("share/doc/vistorel/copyright")));
    ASSERT_TRUE(copyright.open(QIODevice::ReadOnly));
    const QByteArray licence = copyright.readAll();
    EXPECT_TRUE(licence.contains("License: GPL-3.0-or-later")) << licence.toStdString();
    EXPECT_TRUE(licence.contains("/usr/share/common-licenses/GPL-3"));
    QFile changelog(Installed(QStringLiteral("share/doc/vistorel/changelog.Debian.gz")));
    ASSERT_TRUE(changelog.open(QIODevice::ReadOnly));
    EXPECT_TRUE(changelog.read(2) == QByteArray("\x1f\x8b"));
    for (const int size : IconSizes()) {
        const QImage icon(Installed(IconPath(size)));
        SCOPED_TRACE(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);                // rounded corners
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);  // an opaque face
    }
}

// Started from the menu, the program works in the user's data folder under
// its own icon; the metainfo names the same entry and program. The desktop's
// validators accept both files when they are installed.
TEST_F(Installation, DesktopEntryAndMetainfoStartTheProgramInTheUsersDataFolder) {
    const QString desktopFile = Installed(QStringLiteral("share/applications/%1.desktop").arg(kId));
    const QMap<QString, QString> entry = DesktopEntry(desktopFile);
    EXPECT_EQ(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(entry.value(QStringLiteral("Name")), QStringLiteral("Vistorel"));
    EXPECT_EQ(entry.value(QStringLiteral("Name[ru]")), QStringLiteral("Висторель"));
    EXPECT_EQ(entry.value(QStringLiteral("Exec")), QStringLiteral("vistorel --data-folder"));
    EXPECT_EQ(entry.value(QStringLiteral("Icon")), kId);
    EXPECT_EQ(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    EXPECT_TRUE(entry.value(QStringLiteral("Categories")).split(QLatin1Char(';')).contains(QStringLiteral("Education")));

    const QString metainfoFile = Installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kId));
    QFile metainfo(metainfoFile);
    ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&metainfo);
    QMap<QString, QString> tags;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QString name = xml.name().toString();
        const bool wanted = name == QStringLiteral("id") || name == QStringLiteral("launchable") ||
                            name == QStringLiteral("binary");
        if (wanted && xml.attributes().value(QStringLiteral("xml:lang")).isEmpty()) tags.insert(name, xml.readElementText());
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(tags.value(QStringLiteral("id")), kId);
    EXPECT_EQ(tags.value(QStringLiteral("launchable")), kId + QStringLiteral(".desktop"));
    EXPECT_EQ(tags.value(QStringLiteral("binary")), QStringLiteral("vistorel"));

    const QString desktopValidator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!desktopValidator.isEmpty()) {
        const ProcessRun check = Start(desktopValidator, {desktopFile});
        EXPECT_EQ(check.ExitCode, 0) << check.Output.toStdString();
        EXPECT_FALSE(check.Output.contains(QStringLiteral("error:")) || check.Output.contains(QStringLiteral("warning:")))
            << check.Output.toStdString();
    }
    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (!appstream.isEmpty()) {
        const ProcessRun check = Start(appstream, {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfoFile});
        EXPECT_EQ(check.ExitCode, 0) << check.Output.toStdString();
    }
}

// Moved to another prefix, the program still finds its data: it prints its
// version, and started as the menu starts it with a fresh home it makes the
// data folder with the practice text; started in an empty folder of the
// user's, it works there. Both times the installed pictures load without an
// error, and nothing is written into the installed folders.
TEST_F(Installation, TheProgramRunsFromAMovedPrefixAndWritesOnlyInItsStartFolder) {
    const QString moved = Root() + QStringLiteral("/opt/vistorel");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(moved).path()) && QDir().rename(Prefix(), moved));
    struct MoveBack {
        QString from, to;
        ~MoveBack() { QDir().rename(from, to); }
    } moveBack{moved, Prefix()};
    const QStringList installed = FilesBelow(moved);
    const QString program = moved + QStringLiteral("/bin/vistorel");

    const ProcessRun version = Start(program, {QStringLiteral("--version")});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Output, QStringLiteral("Vistorel 4.0\n"));

    const QString home = Root() + QStringLiteral("/home");
    const QString work = Root() + QStringLiteral("/work");
    ASSERT_TRUE(QDir().mkpath(home) && QDir().mkpath(work));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    environment.insert(QStringLiteral("VISTOREL_STARTUP_PROBE"), QStringLiteral("1"));

    const ProcessRun fromMenu = Start(program, {QStringLiteral("--data-folder")}, work, environment);
    EXPECT_EQ(fromMenu.ExitCode, 0) << fromMenu.Output.toStdString();
    // The windows are up with every picture loaded: no error was reported.
    EXPECT_TRUE(fromMenu.Output.contains(QStringLiteral(" errors 0\n"))) << fromMenu.Output.toStdString();
    const QString data = home + QStringLiteral("/.local/share/vistorel");
    EXPECT_EQ(FilesBelow(data), (QStringList{QStringLiteral("Vistor.bat"), QStringLiteral("Vistorel.ini"),
                                             QStringLiteral("book_data.dat"), QStringLiteral("sample.txt")}));
    EXPECT_TRUE(FilesBelow(work).isEmpty());

    const ProcessRun fromTerminal = Start(program, {}, work, environment);
    EXPECT_EQ(fromTerminal.ExitCode, 0) << fromTerminal.Output.toStdString();
    EXPECT_TRUE(fromTerminal.Output.contains(QStringLiteral(" errors 0\n"))) << fromTerminal.Output.toStdString();
    EXPECT_EQ(FilesBelow(work), QStringList{QStringLiteral("Vistor.bat")});
    EXPECT_EQ(FilesBelow(moved), installed);
}

}  // namespace
