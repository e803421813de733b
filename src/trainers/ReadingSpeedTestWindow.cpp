#include "trainers/ReadingSpeedTestWindow.h"

#include "app/Program.h"
#include "engine/TextLines.h"
#include "history/ResultsWriter.h"
#include "trainers/ReadingSpeed.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <algorithm>
#include <memory>

namespace vistorel {
namespace {

const Font kStatusFont{QStringLiteral("MS Sans Serif"), 11, true, false, false, false, clAccent};

constexpr int kClockLeft = 544;
constexpr int kStatusTop = 336;

}  // namespace

ReadingSpeedTestWindow::ReadingSpeedTestWindow(Program& program)
    : Form(program.App),
      clockTimer(program.App, 100),
      clockLabel(*this, kClockLeft, 8, QStringLiteral("0:0"), ClockFont()),
      statusLabel(*this, 16, kStatusTop, QStringLiteral("Нажмите старт для начала"), kStatusFont),
      textView(new QPlainTextEdit(Surface())),
      textLoad(*this),
      program(program),
      buttons_(*this, testButtons_, [this] { StartTest(); }, [this] { StopTest(); }) {
    ApplyDesign({QStringLiteral("Reading speed test"), BorderStyle::Dialog, true, 40, 36, 577, 362, false, clBlack});
    clockTimer.SetEnabled(false);
    clockTimer.OnTimer = [this] { OnClockTick(); };
    statusLabel.SetBackground(clBlack);

    textView->setGeometry(0, 32, 577, 297);
    textView->setReadOnly(true);
    textView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textView->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    textView->setTabChangesFocus(true);
    textView->setAccessibleName(QStringLiteral("Текст теста"));
    SetDialogKeys({}, [this] { Close(); });
    textView->setFont(Font{QStringLiteral("MS Sans Serif"), 13, true}.ToQFont());
    QPalette textPalette = textView->palette();
    textPalette.setColor(QPalette::Base, ToQColor(clWhite));
    textPalette.setColor(QPalette::Text, ToQColor(clBlack));
    textView->setPalette(textPalette);
    textView->show();
}

void ReadingSpeedTestWindow::FormCreate() { testButtons_.Load(program); }

void ReadingSpeedTestWindow::FormShow() {
    // A test left running while the window was hidden is still under way.
    if (!Running()) ShowStatus(QStringLiteral("Нажмите \"старт\" для начала"));
}

void ReadingSpeedTestWindow::FormPaint() { buttons_.Draw(); }

void ReadingSpeedTestWindow::FormMouseMove(int x, int y) { buttons_.TrackHover(x, y); }

void ReadingSpeedTestWindow::FormMouseDown(MouseButton, int x, int y) {
    if (buttons_.Clicked(kTestStart, x, y)) StartTest();
    if (buttons_.Clicked(kTestStop, x, y)) StopTest();
}

void ReadingSpeedTestWindow::StartTest() {
    if (Running() || textLoad.Running()) return;
    // A text that cannot be read is reported; the window stays as it was.
    const QString textPath = program.SettingsRecord.TextPath.Text();
    if (textPath.isEmpty()) {
        throw Error(QStringLiteral("Текст для теста не выбран: выберите его в настройках или в базе текстов."));
    }
    // Only the beginning is read, so the size of the file and whatever
    // follows the beginning do not matter.
    const QString path = program.ResolvePath(textPath);
    const auto head = std::make_shared<TextHead>();
    textLoad.Start(
        QStringLiteral("Чтение текста «%1»…").arg(QFileInfo(path).fileName()),
        [path, head](const std::atomic<bool>& cancelled) {
            const ReadLimits limits = ReadLimits::StoppedBy(cancelled);
            *head = ReadTextHead(path, kTextHeadBytes, limits);
        },
        [this, path, textPath, head](std::exception_ptr error) {
            if (BackgroundWork::EndedByCancel(error)) return;  // the window stays as it was
            program.ReportNotice(head->Notice);
            BeginTest(path, textPath, *head);
        });
}

void ReadingSpeedTestWindow::BeginTest(const QString& path, const QString& textPath, const TextHead& head) {
    const TextBeginning beginning = TakeTextBeginning(head.Text);
    if (head.StoppedAtNul && beginning.Chars < kReadingTestChars) {
        throw FileError(path, QStringLiteral("прочитать текст"),
                        QStringLiteral("это не текстовый файл (в нём есть нулевые байты)"));
    }
    if (beginning.Chars == 0) {
        throw Error(QStringLiteral("В тексте \"%1\" нет ни одного знака: для теста нужен текст.").arg(path));
    }

    ShowStatus(QStringLiteral("Test in progress"));
    clock_.Reset();
    ReadChars = beginning.Chars;
    ReadPath = textPath;
    ReadTitle = program.TextTitle();
    textView->setPlainText(beginning.Lines.join(u'\n'));
    stopwatch.Start();
    clockTimer.SetEnabled(true);
}

void ReadingSpeedTestWindow::OnClockTick() {
    clock_.Tick();
    ShowClock(clock_.Caption());
}

void ReadingSpeedTestWindow::StopTest() {
    if (!Running()) return;
    clockTimer.SetEnabled(false);
    const std::int64_t tenths = stopwatch.ElapsedTenths();
    ShowClock(TenthsCounter::Caption(tenths));
    const ReadingSpeed speed = ReadingSpeed::From(ReadChars, tenths);
    ShowStatus(speed.StatusLine());
    // A reading too short to measure is no result.
    if (speed.Measured && program.Writer) {
        program.Writer->Record(ReadingTestResult{QDateTime::currentDateTime(), ReadTitle, ReadPath, ReadChars,
                                                 static_cast<double>(tenths) / 10.0, speed.WordsPerMinute, speed.Bps});
    }
}

void ReadingSpeedTestWindow::ShowStatus(const QString& text) { buttons_.ShowLeftOfStart(statusLabel, text, kStatusTop); }

// The clock keeps its place, moved left only as far as a long time needs to
// stay inside the window.
void ReadingSpeedTestWindow::ShowClock(const QString& caption) {
    clockLabel.SetCaption(caption);
    clockLabel.SetLeft(std::min(kClockLeft, ClientWidth() - clockLabel.Width() - 2));
}

}  // namespace vistorel
