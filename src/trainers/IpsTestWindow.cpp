#include "trainers/IpsTestWindow.h"

#include "app/Program.h"
#include "history/ResultsWriter.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QLabel>

namespace vistorel {
namespace {

const Font kResultFont{QStringLiteral("MS Sans Serif"), 11, true, false, false, false, clGray};
constexpr int kResultTop = 360;
const Font kInstructionFont{QStringLiteral("MS Sans Serif"), 11, false, false, false, false, clSilver};

const QString kFiguresMeaning = QStringLiteral(
    "IPS — скорость переработки зрительной информации, бит в секунду: чем больше, тем лучше.\n"
    "MI — потерянная информация, бит: ошибочные щелчки и пропущенные кольца (каждое — 7 бит).\n"
    "IPI — число ошибочных щелчков.");

}  // namespace

IpsTestWindow::IpsTestWindow(Program& program)
    : Form(program.App),
      clockTimer(program.App, 100),
      clockLabel(*this, 568, 0, QStringLiteral("0:0"), ClockFont()),
      resultLabel(*this, 16, kResultTop, QString(), kResultFont),
      instructionLabel(*this, 80, 3,
                       QStringLiteral("«Старт» — новое поле. Щёлкните все кольца, такие же, как два слева,\n"
                                      "затем «Стоп». Итог: IPS — скорость, MI — потери, IPI — ошибки."),
                       kInstructionFont),
      program(program),
      buttons_(*this, program.readingSpeedTest->TestButtons()) {
    ApplyDesign({QStringLiteral("IPS Test"), BorderStyle::Dialog, true, 0, 31, 634, 391, false, clBlack});
    clockTimer.OnTimer = [this] { OnClockTick(); };
    instructionLabel.Widget()->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    instructionLabel.Widget()->setToolTip(kFiguresMeaning);
    resultLabel.Widget()->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    resultLabel.Widget()->setToolTip(kFiguresMeaning);
    SetDialogKeys({}, [this] { Close(); });
}

void IpsTestWindow::FormCreate() {
    for (int n = 1; n <= 8; ++n) program.LoadImageOrReport(rings_[n], QStringLiteral("images\\Ring%1.bmp").arg(n));
    IpsActive = false;
}

void IpsTestWindow::FormShow() { buttons_.ShowLeftOfStart(resultLabel, QString(), kResultTop); }

void IpsTestWindow::FormPaint() {
    FillField();
    buttons_.Draw();
    // The run on screen is drawn again from its state, so that clicks keep
    // landing on rings the user can see.
    if (Field.HasField()) {
        DrawTargets();
        DrawRings();
    }
}

void IpsTestWindow::FormMouseMove(int x, int y) { buttons_.TrackHover(x, y); }

void IpsTestWindow::FormMouseDown(MouseButton, int x, int y) {
    if (buttons_.Clicked(kTestStart, x, y)) StartTest();
    if (IpsActive && y > kCell && y < BandBottom()) ClickField(x, y);
    if (buttons_.Clicked(kTestStop, x, y)) StopTest();
}

void IpsTestWindow::DrawTargets() {
    Canvas.Pen.Color = clBlack;
    Canvas.Brush = {clWhite, BrushStyle::Solid};
    Canvas.Rectangle(-1, -1, 70, 35);
    Canvas.Draw(0, 0, Ring(Field.TargetA()));
    Canvas.Draw(kCell, 0, Ring(Field.TargetB()));
}

void IpsTestWindow::FillField() {
    Canvas.Pen.Color = clBlack;
    Canvas.Brush = {clWhite, BrushStyle::Solid};
    Canvas.Rectangle(-1, kFieldTop, ClientWidth() + 1, FieldBottom());
}

void IpsTestWindow::DrawRings() {
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows; ++r) Canvas.Draw((c - 1) * kCell, r * kCell + 2, Ring(Field.Ring(c, r)));
    }
    for (const auto& [column, row] : Field.MarkedCells()) DrawFrame(column, row);
}

// Black around a target found, red around a wrong cell.
void IpsTestWindow::DrawFrame(int column, int row) {
    const int k = column - 1;
    Canvas.Pen.Color = Field.IsTarget(column, row) ? clBlack : clRed;
    Canvas.Brush.Style = BrushStyle::Clear;
    Canvas.Rectangle(kCell * k - 3, kCell * row - 2, kCell * k + 32, kCell * row + 32);
}

void IpsTestWindow::StartTest() {
    App().Random().Randomize();
    Field.NewField(App().Random());
    DrawTargets();
    clock_.Reset();
    FillField();
    DrawRings();
    IpsActive = true;
    stopwatch.Start();
    clockTimer.SetEnabled(true);
}

void IpsTestWindow::ClickField(int x, int y) {
    if (x < 0) return;
    const int column = x / kCell + 1;
    const int row = (y - kFieldTop) / kCell + 1;
    if (Field.Click(column, row) != IpsField::ClickResult::AlreadyMarked) DrawFrame(column, row);
}

void IpsTestWindow::OnClockTick() {
    clock_.Tick();
    clockLabel.SetCaption(clock_.Caption());
}

void IpsTestWindow::StopTest() {
    clockTimer.SetEnabled(false);
    // Before the first run there is nothing to score.
    if (!Field.HasField()) return;
    const bool runEnds = IpsActive;
    if (IpsActive) {
        IpsActive = false;
        runTenths_ = stopwatch.ElapsedTenths();
        clockLabel.SetCaption(TenthsCounter::Caption(runTenths_));
    }
    const IpsResult result = IpsResult::From(Field, runTenths_);
    resultLabel.SetFontColor(clAccent);
    buttons_.ShowLeftOfStart(resultLabel, result.Line(), kResultTop);
    // A run too short to measure is no result.
    if (runEnds && result.Measured && program.Writer) {
        program.Writer->Record(IpsTestResult{QDateTime::currentDateTime(), static_cast<double>(runTenths_) / 10.0,
                                             result.Ips, result.Mi, result.Ipi,
                                             Field.TargetsTotal - Field.TargetsLeft, Field.TargetsLeft});
    }
}

}  // namespace vistorel
