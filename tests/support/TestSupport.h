#pragma once
// Test doubles and fixtures shared by all test programs.

#include "platform/Application.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace vistorel::test {

// Records every error the handler guard passes on, instead of showing it.
class ErrorRecorder : public ErrorHandler {
public:
    void HandleError(const QString& message) override { Messages.append(message); }
    QStringList Messages;
};

// Dialogs that answer from queues prepared by the test; an empty queue means
// the user cancelled. Message boxes are recorded.
class ScriptedDialogs : public Dialogs {
public:
    std::optional<QString> OpenFile(const QString& filter) override;
    std::optional<QString> OpenPicture() override;
    std::optional<TColor> ChooseColor(TColor initial) override;
    std::optional<Font> ChooseFont(const Font& initial) override;
    void ShowMessage(const QString& text) override { Messages.append(text); }
    // The path from SaveFiles, of the file type from SaveFileTypes (the first when it is empty).
    std::optional<SaveChoice> SaveFile(const QString& filter, const QString&) override;
    // Answers from Answers; No when it is empty. The questions are recorded.
    bool Confirm(const QString& question) override;

    std::deque<QString> Files;
    std::deque<QString> Pictures;
    std::deque<TColor> Colours;
    std::deque<Font> Fonts;
    std::deque<QString> SaveFiles;
    std::deque<int> SaveFileTypes;
    std::deque<bool> Answers;
    QStringList Questions;
    QStringList Messages;
    QStringList FiltersAsked;
};

// An application object wired to the recorder and the scripted dialogs, with
// a fixed random seed.
struct TestApplication {
    TestApplication();
    ErrorRecorder Errors;
    ScriptedDialogs Dialogs;
    Application App;
};

// A temporary start directory; with images, its "images" folder is a link to
// the generated images of the build (read them, do not change them).
class StartDirectory {
public:
    explicit StartDirectory(bool withImages = true);
    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) const;
    QByteArray Read(const QString& name) const;
    bool Exists(const QString& name) const;

private:
    QTemporaryDir dir_;
};

}  // namespace vistorel::test

namespace vistorel {
class Program;
}

namespace vistorel::test {

// The whole program, started in a fresh start directory that holds the
// generated images; prepare() may put data files there before the start.
class ProgramUnderTest {
public:
    explicit ProgramUnderTest(const std::function<void(StartDirectory&)>& prepare = {}, bool withImages = true);
    ~ProgramUnderTest();
    Program& operator*() const { return *program_; }
    Program* operator->() const { return program_.get(); }

    StartDirectory Dir;
    TestApplication Test;

private:
    std::unique_ptr<Program> program_;
};

// The bytes of a record as they stand in memory (and so in its file).
template <class Record>
QByteArray BytesOf(const Record& record) {
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

// Repeatable random bytes.
QByteArray RandomBytes(int size, unsigned seed);

// Makes writes past `bytes` fail while it lives, so that a save breaks off
// part-way even when the tests run as root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long savedLimit_ = 0;
    void (*oldHandler_)(int) = nullptr;
};

// While it lives, runs as another user than root, who may write anywhere
// (as "nobody"); a test run as any other user goes on as that user.
class OtherUser {
public:
    static constexpr unsigned kId = 65534;
    OtherUser();
    ~OtherUser();
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

private:
    bool switched_;
};

// Folder holding the generated images of the build.
QString ImagesDirectory();
// Folder holding the bundled sample data.
QString DataDirectory();

}  // namespace vistorel::test
