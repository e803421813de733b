#include "BenchSupport.h"

#include "app/MainWindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <cstdio>

namespace vistorel::bench {

void PrintingErrors::HandleError(const QString& message) {
    std::fprintf(stderr, "error: %s\n", qUtf8Printable(message));
}

void UseOffscreenPlatform() {
    const char* const config = VISTOREL_BENCH_OFFSCREEN_CONFIG;
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config);
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
}

BenchProgram::BenchProgram() : app_(errors_, dialogs_) {
    QDir target(dir_.path());
    target.mkdir(QStringLiteral("images"));
    const QDir images(QStringLiteral(VISTOREL_IMAGES_DIR));
    const QStringList names = images.entryList(QDir::Files);
    for (const QString& name : names) {
        QFile::copy(images.filePath(name), target.filePath(QStringLiteral("images/") + name));
    }
    QFile::copy(QStringLiteral(VISTOREL_DATA_DIR "/sample.txt"), target.filePath(QStringLiteral("sample.txt")));
    app_.Random().SetFixedSeed(7);
    program_ = std::make_unique<Program>(app_, dir_.path());
    program_->SettingsRecord.TextPath.SetText(QStringLiteral("sample.txt"));
    program_->SettingsRecord.FontSize = 24;
    program_->SettingsRecord.TextColor = 0x1E1E1E;
    program_->SettingsRecord.BackColor = 0xE6F5FD;
    program_->Preset.Apply(0);
    program_->mainWindow->ShowMaximized();
}

QString WriteLongPracticeText(const QString& path) {
    QFile sample(QStringLiteral(VISTOREL_DATA_DIR "/sample.txt"));
    sample.open(QIODevice::ReadOnly);
    const QList<QByteArray> lines = sample.readAll().split('\n');
    QByteArray text;
    for (int i = 0; i < 20000; ++i) {
        QByteArray line = lines[i % lines.size()].trimmed();
        if (line.isEmpty()) line = "\x97";  // a dash in Windows-1251
        text += line + "\r\n";
    }
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(text);
    return path;
}

}  // namespace vistorel::bench
