#pragma once
// A program started in a temporary start directory for the benchmarks.

#include "app/Program.h"
#include "platform/Application.h"

#include <QTemporaryDir>
#include <memory>

namespace vistorel::bench {

class SilentDialogs : public Dialogs {
public:
    std::optional<QString> OpenFile(const QString&) override { return std::nullopt; }
    std::optional<QString> OpenPicture() override { return std::nullopt; }
    std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }
    std::optional<Font> ChooseFont(const Font&) override { return std::nullopt; }
    void ShowMessage(const QString&) override {}
};

class PrintingErrors : public ErrorHandler {
public:
    void HandleError(const QString& message) override;
};

// The images of the build and the practice text in a temporary start
// directory, the program started there with the text chosen and the main
// window maximised.
class BenchProgram {
public:
    BenchProgram();
    Program& operator*() { return *program_; }
    Program* operator->() { return program_.get(); }
    QString File(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    PrintingErrors errors_;
    SilentDialogs dialogs_;
    Application app_;
    std::unique_ptr<Program> program_;
};

// Writes a 20000-line Windows-1251 text made of the practice text's lines
// (an empty line becomes a dash) and returns its path.
QString WriteLongPracticeText(const QString& path);

// Sets the offscreen platform with a large screen; call before QApplication.
void UseOffscreenPlatform();

}  // namespace vistorel::bench
