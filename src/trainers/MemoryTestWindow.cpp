#include "trainers/MemoryTestWindow.h"

#include "VistorelPictures.h"
#include "app/Program.h"
#include "history/ResultsDatabase.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

namespace vistorel {
namespace {

const Font kResultFont{QStringLiteral("MS Sans Serif"), 11, true, false, false, false, clSilver};
const Font kAnswerFont{QStringLiteral("MS Sans Serif"), 24, false, false, false, false, clWhite};

}  // namespace

MemoryTestWindow::MemoryTestWindow(Program& program)
    : Form(program.App),
      showTimer(program.App, 1000),
      resultLabel(*this, 176, 192, QString(), kResultFont),
      legend(new QLabel(Surface())),
      program(program),
      buttons_(*this, program.readingSpeedTest->TestButtons()) {
    ApplyDesign({QStringLiteral("Memory test"), BorderStyle::Dialog, true, 33, 52, 610, 273, false, clBlack});
    showTimer.OnTimer = [this] { OnShowTick(); };

    // The legend shows the picture's top-left part, not scaled.
    legend->setGeometry(-24, 120, 185, 153);
    legend->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    legend->setAttribute(Qt::WA_TransparentForMouseEvents);
    Bitmap picture;
    program.App.Guard([&] { picture.LoadFromFile(QString::fromLatin1(pictures::kLegend)); });
    legend->setPixmap(QPixmap::fromImage(picture.Image()));
    legend->show();

    for (int i = 0; i < kMemoryRings; ++i) {
        auto* box = new QLineEdit(Surface());
        box->setGeometry(176 + 48 * i, 136, 41, 37);
        box->setFont(kAnswerFont.ToQFont());
        box->setAlignment(Qt::AlignCenter);
        box->setFrame(false);
        box->setStyleSheet(QStringLiteral("QLineEdit { background: black; color: white; border: 1px solid #805028; }"));
        box->show();
        answerBoxes[static_cast<std::size_t>(i)] = box;
    }
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
    if (!recorded_ && program.Results) {
        recorded_ = true;
        program.Results->Record(MemoryTestResult{QDateTime::currentDateTime(), score, score / 7.0});
    }
}

}  // namespace vistorel
