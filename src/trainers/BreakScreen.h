#pragma once

#include "platform/Form.h"
#include "platform/Timer.h"

namespace vistorel {

class Program;

// The break screen: a maximised black window on which a new point figure,
// with a new random parameter and a shifted colour, is drawn over the old
// ones every 10 ms until the user closes it: with its close box, a click or
// any key.
class BreakScreen : public Form {
public:
    explicit BreakScreen(Program& program);

    void FormClose() override;
    void FormMouseDown(MouseButton button, int x, int y) override;
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers) override;

    // Shows the screen (maximised) and starts the figures from P = 5.0 and
    // the colour base 50000; also when it is already running.
    void StartBreak();
    void OnFigureTick();
    // One figure for the current parameter and colour base.
    void DrawBreakFigure();

    double BreakParameter = 5.0;
    TColor BreakColorBase = 50000;
    Timer figureTimer;
};

}  // namespace vistorel
