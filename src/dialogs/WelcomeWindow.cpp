#include "dialogs/WelcomeWindow.h"

#include "app/Program.h"
#include "dialogs/PreferencesWindow.h"
#include "platform/FileAccess.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>

namespace vistorel {
namespace {

// The launcher batch file written beside the program at every start.
// A link planted in its place is replaced, never written through.
void WriteLauncher(const QString& path) { WritePlainFile(path, QByteArrayLiteral("@echo off\r\nVistor.exe\r\n")); }

}  // namespace

WelcomeWindow::WelcomeWindow(Program& program) : Form(program.App), animationTimer(program.App, 100), program(program) {
    ApplyDesign({QStringLiteral("Welcome!"), BorderStyle::Dialog, false, 137, 25, 401, 285, false, clBlack});
    SetMainForm(true);
    animationTimer.OnTimer = [this] { OnAnimationTick(); };
    // Enter goes in as the button does; Escape closes the window, and so the program.
    SetDialogKeys([this] { EnterProgram(); }, [this] { Close(); });
    enterFocus = new ImageButtonFocus(*this, QStringLiteral("Начать"), [this] { EnterProgram(); });
}

void WelcomeWindow::FormCreate() {
    // The start directory is recorded by the program before any window exists.
    // Each picture is loaded on its own: one that fails is reported (together
    // with the others, by the start-up report) and the rest still load, and
    // the launcher is written whatever the pictures did.
    program.LoadImageOrReport(logo_, QStringLiteral("images\\vistorlogo.bmp"));
    WelcomeOpening = 1;
    WelcomeFrame = 0;
    for (int n = 1; n <= kFrames; ++n) {
        program.LoadImageOrReport(frames_[n], QStringLiteral("images/start%1.bmp").arg(n, 2, 10, QLatin1Char('0')));
    }
    WriteLauncher(program.StartFile(QStringLiteral("Vistor.bat")));
}

void WelcomeWindow::DrawFrame(int frame) { Canvas.Draw(150, 251, frames_[static_cast<std::size_t>(frame)]); }

void WelcomeWindow::FormPaint() {
    Canvas.Draw(0, 0, logo_);
    DrawFrame(1);
    enterFocus->Place(QPoint(150, 251), frames_[1], kButton);
}

void WelcomeWindow::FormMouseMove(int x, int y) {
    if (kButton.Contains(x, y)) {
        if (WelcomeFrame == 0) {
            WelcomeOpening = 1;
            SetCursor(CursorShape::HandPoint);
            animationTimer.SetEnabled(true);
        }
    } else if (WelcomeFrame == kFrames) {
        SetCursor(CursorShape::Default);
        WelcomeOpening = 0;
        animationTimer.SetEnabled(true);
    }
}

void WelcomeWindow::OnAnimationTick() {
    if (WelcomeFrame < kFrames && WelcomeOpening == 1) {
        ++WelcomeFrame;
        DrawFrame(WelcomeFrame);
        if (WelcomeFrame == kFrames) animationTimer.SetEnabled(false);
    }
    if (WelcomeFrame > 1 && WelcomeOpening == 0) {
        --WelcomeFrame;
        DrawFrame(WelcomeFrame);
        if (WelcomeFrame == 1) {
            animationTimer.SetEnabled(false);
            WelcomeFrame = 0;
        }
    }
}

void WelcomeWindow::FormMouseDown(MouseButton, int x, int y) {
    if (kButton.Contains(x, y)) EnterProgram();
}

void WelcomeWindow::EnterProgram() {
    SetPreferencesCaptions();
    Hide();
    program.ShowMainWindow();
}

void WelcomeWindow::SetPreferencesCaptions() {
    PreferencesWindow& preferences = *program.preferencesWindow;
    preferences.fontHeading.SetCaption(QStringLiteral("Шрифт"));
    // Refilling the list drops its selection; filling the window selects the level again.
    preferences.levelList->clear();
    preferences.levelList->addItems({QStringLiteral("Для начинающих "), QStringLiteral("Нормальный"),
                                     QStringLiteral("Сложный"), QStringLiteral("Режим просмотра")});
    preferences.levelHeading.SetCaption(QStringLiteral("Сложность"));
    preferences.textHeading.SetCaption(QStringLiteral("Текст для чтения"));
    preferences.usePictureBox->setText(QString());
    preferences.textColorHeading.SetCaption(QStringLiteral("Цвет текста"));
    preferences.backColorHeading.SetCaption(QStringLiteral("Фон"));
    preferences.pictureHeading.SetCaption(QStringLiteral("Картинка"));
    preferences.sizeHeading.SetCaption(QStringLiteral("Размер шрифта"));
    preferences.sampleLabel->setText(QStringLiteral("ПРИМЕР ТЕКСТА"));
    preferences.defaultSizeButton->setText(QStringLiteral("По умолчанию"));
    preferences.customSizeButton->setText(QStringLiteral("Выбор пользователем"));
    preferences.smartDividerBox->setText(QStringLiteral("Умный делитель строк"));
}

}  // namespace vistorel
