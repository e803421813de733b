#include "trainers/MemoryTestWindow.h"

#include "VistorelPictures.h"
#include "app/Program.h"
#include "history/ResultsWriter.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace vistorel {
namespace {

const Font kIsrFont{QStringLiteral("MS Sans Serif"), 11, true, false, false, false, clSilver};
const Font kMemoryInstructionFont{QStringLiteral("MS Sans Serif"), 11, false, false, false, false, clSilver};
const Font kAnswerFont{QStringLiteral("MS Sans Serif"), 24, false, false, false, false, clWhite};

}  // namespace

MemoryTestWindow::MemoryTestWindow(Program& program)
    : Form(program.App),
      showTimer(program.App, 1000),
      resultLabel(*this, 176, 192, QString(), kIsrFont),
      instructionLabel(*this, 16, 10,
                       QStringLiteral("Нажмите «Старт» и запомните восемь колец: через 7 секунд они скроются.\n"
                                      "Впишите в клетки номер направления разрыва каждого кольца по схеме слева\n"
                                      "(1 — вверх, дальше по часовой стрелке) и нажмите «Стоп». "
                                      "ISR — объём памяти, бит/с."),
                       kMemoryInstructionFont),
      legend(new QLabel(Surface())),
      program(program),
      buttons_(*this, program.readingSpeedTest->TestButtons(), [this] { StartTest(); }, [this] { StopTest(); }) {
    ApplyDesign({QStringLiteral("Memory test"), BorderStyle::Dialog, true, 33, 52, 610, 273, false, clBlack});
    showTimer.OnTimer = [this] { OnShowTick(); };
    SetDialogKeys({}, [this] { Close(); });

    // The legend shows the picture's top-left part, not scaled.
    legend->setGeometry(-24, 120, 185, 153);
    legend->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    legend->setAttribute(Qt::WA_TransparentForMouseEvents);
    Bitmap picture;
    program.App.Guard([&] { picture.LoadFromFile(QString::fromLatin1(pictures::kLegend)); });
    legend->setPixmap(QPixmap::fromImage(picture.ImageFor(legend->devicePixelRatioF())));
    legend->show();

    for (int i = 0; i < kMemoryRings; ++i) {
        auto* box = new QLineEdit(Surface());
        box->setGeometry(176 + 48 * i, 136, 41, 37);
        box->setFont(kAnswerFont.ToQFont());
        box->setAlignment(Qt::AlignCenter);
        box->setFrame(false);
        box->setStyleSheet(QStringLiteral("QLineEdit { background: black; color: white; border: 1px solid #805028; }"));
        // One digit a box, 1 to 8 as the legend numbers the directions; a
        // digit typed moves on to the next box.
        box->setMaxLength(1);
        box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[1-8]")), box));
        box->setAccessibleName(QStringLiteral("Кольцо %1").arg(i + 1));
        box->show();
        answerBoxes[static_cast<std::size_t>(i)] = box;
    }
    for (int i = 0; i + 1 < kMemoryRings; ++i) {
        QLineEdit* next = answerBoxes[static_cast<std::size_t>(i + 1)];
        QObject::connect(answerBoxes[static_cast<std::size_t>(i)], &QLineEdit::textEdited, next,
                         [next](const QString& text) {
                             if (text.isEmpty()) return;
                             next->setFocus(Qt::TabFocusReason);
                             next->selectAll();
                         });
    }
    // Tab goes from «Старт» through the answers to «Стоп».
    QWidget::setTabOrder(answerBoxes.back(), &buttons_.Focus(kTestStop));
}

void MemoryTestWindow::FormPaint() {
    FillStrip();
    buttons_.Draw();
    // Rings still within their seven seconds are drawn again.
    if (Run.RingsShown()) DrawRings();
}

void MemoryTestWindow::FormMouseMove(int x, int y) { buttons_.TrackHover(x, y); }

void MemoryTestWindow::FormMouseDown(MouseButton, int x, int y) {
    if (buttons_.Clicked(kTestStart, x, y)) StartTest();
    if (buttons_.Clicked(kTestStop, x, y)) StopTest();
}

void MemoryTestWindow::FillStrip() {
    Canvas.Pen.Color = clBlack;
    Canvas.Brush = {clWhite, BrushStyle::Solid};
    Canvas.Rectangle(-1, kStripTop, ClientWidth() + 1, kStripBottom);
}

void MemoryTestWindow::DrawRings() {
    const IpsTestWindow& rings = *program.ipsTest;
    for (int i = 1; i <= kMemoryRings; ++i) {
        const QPoint at = RingPlace(i);
        Canvas.Draw(at.x(), at.y(), rings.Ring(Run.ShownRing(i)));
    }
}

void MemoryTestWindow::StartTest() {
    App().Random().Randomize();
    Run.Start(App().Random());
    recorded_ = false;
    DrawRings();
    showTimer.SetEnabled(true);
}

void MemoryTestWindow::OnShowTick() {
    if (!Run.Tick()) return;
    FillStrip();
    showTimer.SetEnabled(false);
    for (QLineEdit* box : answerBoxes) box->clear();
}

void MemoryTestWindow::StopTest() {
    if (!Run.Started()) return;
    QStringList answers;
    for (const QLineEdit* box : answerBoxes) answers.append(box->text());
    const int score = Run.Score(answers);
    resultLabel.SetFontColor(clAccent);
    resultLabel.SetCaption(IsrLine(score));
    // The first stop scores the run; later ones only show it again.
    if (!recorded_ && program.Writer) {
        recorded_ = true;
        program.Writer->Record(MemoryTestResult{QDateTime::currentDateTime(), score, score / 7.0});
    }
}

}  // namespace vistorel
