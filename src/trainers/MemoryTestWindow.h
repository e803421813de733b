#pragma once

#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/Timer.h"
#include "trainers/MemoryRun.h"
#include "trainers/TestButtons.h"

#include <array>

class QLabel;
class QLineEdit;

namespace vistorel {

class Program;

// The memory test: eight random rings for seven seconds, then the user types
// the number of each ring (the legend shows the numbering of the eight
// directions) and stop scores the answers as ISR.
class MemoryTestWindow : public Form {
public:
    explicit MemoryTestWindow(Program& program);

    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;

    // Eight new rings and the seven ticks from the start; also during a run.
    void StartTest();
    // Scores the answers as they stand; nothing before the first start.
    void StopTest();
    void OnShowTick();

    const TestButtonRow& Buttons() const { return buttons_; }

    // The white strip the rings are shown in, and ring i's place (1..8).
    static constexpr int kStripTop = 76;
    static constexpr int kStripBottom = 110;
    static QPoint RingPlace(int index) { return {110 + 40 * index, 78}; }

    Timer showTimer;
    Label resultLabel;
    // What to remember and type, above the strip of rings.
    Label instructionLabel;
    QLabel* legend;
    std::array<QLineEdit*, kMemoryRings> answerBoxes{};
    MemoryRun Run;

private:
    void FillStrip();
    void DrawRings();

    Program& program;
    TestButtonRow buttons_;
    bool recorded_ = false;  // the run's score is in the results
};

}  // namespace vistorel
