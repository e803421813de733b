#pragma once

#include "platform/Bitmap.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/Timer.h"
#include "skin/DesignedFrame.h"
#include "trainers/IpsField.h"
#include "trainers/TestButtons.h"
#include "trainers/TestClock.h"

#include <array>
#include <cstdint>

namespace vistorel {

class Program;

// The IPS test: a visual search among ring pictures. Start shows two target
// rings and a field of 18 x 9 rings; the user clicks every ring equal to a
// target while a clock runs; stop shows IPS, MI and IPI. The window keeps the
// eight ring pictures, which the memory test draws too.
class IpsTestWindow : public Form {
public:
    explicit IpsTestWindow(Program& program);

    void FormCreate() override;
    void FormShow() override;
    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;

    // New targets and field, counts and clock from 0; also during a run.
    void StartTest();
    // A press at (x, y) in the field band while a run is on.
    void ClickField(int x, int y);
    // Ends the run and shows its scores; after a run, shows them again.
    void StopTest();
    void OnClockTick();

    // Ring picture 1..8.
    const Bitmap& Ring(int number) const { return rings_.at(static_cast<std::size_t>(number)); }
    const TestButtonRow& Buttons() const { return buttons_; }

    static constexpr int kCell = 35;
    static constexpr int kFieldTop = 36;
    // The bottom edge of the white field and of the band where presses count.
    int FieldBottom() const { return DesignedOuterHeight(*this) - 65; }
    int BandBottom() const { return DesignedOuterHeight(*this) - 60; }

    Timer clockTimer;
    Label clockLabel;
    Label resultLabel;
    // What to do and what the figures mean, above the field beside the targets.
    Label instructionLabel;
    Stopwatch stopwatch;
    IpsField Field;
    bool IpsActive = false;

private:
    void DrawTargets();
    void FillField();
    void DrawRings();
    void DrawFrame(int column, int row);

    Program& program;
    std::array<Bitmap, 9> rings_;  // entries 1..8
    TestButtonRow buttons_;
    TenthsCounter clock_;
    std::int64_t runTenths_ = 0;  // the length of the last run, fixed at its stop
};

}  // namespace vistorel
