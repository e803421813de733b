// The folders besides the start directory: the user's own data folder, the
// installed data found from the program's folder, and the ready workspace a
// first start makes.

#include "app/Workspace.h"

#include "app/Program.h"
#include "platform/Errors.h"
#include "records/Settings.h"
#include "records/TextLibraryFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace vistorel {
namespace {

using test::DataDirectory;
using test::ImagesDirectory;

// Sets an environment variable (or removes it) while it lives.
class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const std::optional<QString>& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) saved_ = qEnvironmentVariable(name);
        if (value) qputenv(name, value->toLocal8Bit());
        else qunsetenv(name);
    }
    ~EnvironmentValue() {
        if (saved_) qputenv(name_, saved_->toLocal8Bit());
        else qunsetenv(name_);
    }
    EnvironmentValue(const EnvironmentValue&) = delete;
    EnvironmentValue& operator=(const EnvironmentValue&) = delete;

private:
    const char* name_;
    std::optional<QString> saved_;
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// $XDG_DATA_HOME/vistorel when that is an absolute path, else the folder
// below the home folder the XDG rules give.
TEST(Workspace, UserDataFolderFollowsXdgDataHome) {
    const EnvironmentValue home("HOME", QStringLiteral("/home/anna"));
    {
        const EnvironmentValue data("XDG_DATA_HOME", QStringLiteral("/srv/data/"));
        EXPECT_EQ(UserDataFolder(), QStringLiteral("/srv/data/vistorel"));
    }
    {
        const EnvironmentValue data("XDG_DATA_HOME", QStringLiteral("data"));
        EXPECT_EQ(UserDataFolder(), QStringLiteral("/home/anna/.local/share/vistorel"));
    }
    const EnvironmentValue data("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(UserDataFolder(), QStringLiteral("/home/anna/.local/share/vistorel"));
}

// An installed program finds share/vistorel beside its bin folder wherever
// the prefix lies; a program in the build tree uses its own folder with the
// images; otherwise the answer is where the data should have been.
TEST(Workspace, InstalledDataIsFoundFromTheProgramsFolder) {
    QTemporaryDir root;
    const QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("opt/bin")) && dir.mkpath(QStringLiteral("opt/share/vistorel")));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("build/images")) && dir.mkpath(QStringLiteral("bare/bin")));
    EXPECT_EQ(InstalledDataFolder(dir.filePath(QStringLiteral("opt/bin"))), dir.filePath(QStringLiteral("opt/share/vistorel")));
    EXPECT_EQ(InstalledDataFolder(dir.filePath(QStringLiteral("build"))), dir.filePath(QStringLiteral("build")));
    EXPECT_EQ(InstalledDataFolder(dir.filePath(QStringLiteral("bare/bin"))),
              dir.filePath(QStringLiteral("bare/share/vistorel")));
}

// The first start makes the folder (parents too) with the practice text, the
// settings naming it and the library holding its entry, so the program
// starts with the text chosen; later starts keep whatever is there.
TEST(Workspace, FirstStartMakesAReadyFolderAndLaterStartsKeepWhatIsThere) {
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("home/.local/share/vistorel"));
    const QString practice = QDir(DataDirectory()).filePath(QStringLiteral("sample.txt"));
    PrepareWorkspace(folder, practice);
    const QDir workspace(folder);
    EXPECT_EQ(workspace.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name),
              (QStringList{QStringLiteral("Vistorel.ini"), QStringLiteral("book_data.dat"), QStringLiteral("sample.txt")}));
    EXPECT_EQ(ReadAll(workspace.filePath(QStringLiteral("sample.txt"))), ReadAll(practice));

    test::TestApplication test;
    {
        Program program(test.App, folder, QFileInfo(ImagesDirectory()).path());
        EXPECT_EQ(program.SettingsRecord.TextPath.Text(), QStringLiteral("sample.txt"));
        EXPECT_EQ(program.SettingsRecord.FontSize, 24);
        ASSERT_EQ(program.TextCount, 1);
        EXPECT_EQ(program.CurrentTextIndex, 1);
        EXPECT_EQ(program.TextLibrary[1].Title.Text(), QStringLiteral("Маяк на Сером мысе"));
        EXPECT_EQ(program.TextLibrary[1].DescriptionLineCount, 2);
    }
    EXPECT_TRUE(test.Errors.Messages.isEmpty()) << test.Errors.Messages.join(QLatin1Char('\n')).toStdString();

    // The user's own files stay as they are; a removed text comes back.
    const QByteArray ownSettings(220, '\x07');
    QFile settings(workspace.filePath(QStringLiteral("Vistorel.ini")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly) && settings.write(ownSettings) == 220);
    settings.close();
    const QByteArray library = ReadAll(workspace.filePath(QStringLiteral("book_data.dat")));
    ASSERT_TRUE(QFile::remove(workspace.filePath(QStringLiteral("sample.txt"))));
    PrepareWorkspace(folder, practice, ImagesDirectory());
    EXPECT_EQ(ReadAll(workspace.filePath(QStringLiteral("Vistorel.ini"))), ownSettings);
    EXPECT_EQ(ReadAll(workspace.filePath(QStringLiteral("book_data.dat"))), library);
    EXPECT_EQ(ReadAll(workspace.filePath(QStringLiteral("sample.txt"))), ReadAll(practice));
    // With an images folder named, the workspace links it (relatively).
    const QFileInfo link(workspace.filePath(QStringLiteral("images")));
    EXPECT_TRUE(link.isSymLink());
    EXPECT_EQ(link.canonicalFilePath(), QFileInfo(ImagesDirectory()).canonicalFilePath());
}

// A folder that cannot be made and a practice text that cannot be read are
// reported with the path and the reason, and nothing half-made is left.
TEST(Workspace, AFolderThatCannotBeMadeOrAMissingPracticeTextIsReported) {
    QTemporaryDir root;
    const QString practice = QDir(DataDirectory()).filePath(QStringLiteral("sample.txt"));
    QFile blocker(root.filePath(QStringLiteral("share")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        PrepareWorkspace(root.filePath(QStringLiteral("share/vistorel")), practice);
        ADD_FAILURE() << "a folder below a file was made";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Не удаётся создать папку \"%1\": ")
                                               .arg(root.filePath(QStringLiteral("share/vistorel")))))
            << e.Message().toStdString();
    }

    const QString folder = root.filePath(QStringLiteral("data"));
    const QString missing = root.filePath(QStringLiteral("nowhere/sample.txt"));
    try {
        PrepareWorkspace(folder, missing);
        ADD_FAILURE() << "a missing practice text went unnoticed";
    } catch (const FileError& e) {
        EXPECT_EQ(e.Path(), missing);
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Не удаётся прочитать учебный текст"))) << e.Message().toStdString();
    }
    EXPECT_TRUE(QDir(folder).isEmpty());
}

}  // namespace
}  // namespace vistorel
